#include "crashreport/report/LogFile.h"

#include <algorithm>
#include <cstdio>
#include <functional>

#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "crashreport/report/ReportLogItem.h"
#include "framework/core/exceptions.h"
#include "framework/core/text_codec.h"

namespace drevnik {

std::size_t TLogFile::MaxFileSize = 256u * 1024u * 1024u;

namespace {

constexpr std::string_view kFourBreaks = "\r\n\r\n\r\n\r\n";
constexpr std::string_view kTableHeader = "-\r\n|";

[[noreturn]] void Fail(const std::string& text) { throw fw::EInOutError(fw::AnsiToWide(text)); }

bool IsBlankOrControl(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

}  // namespace

std::size_t FindFourLineBreaks(std::string_view text, std::size_t from) {
    if (from > text.size()) return std::string_view::npos;
    // Reports are full of single line breaks: a skipping search is much
    // faster here than one that stops at every CR.
    static const std::boyer_moore_horspool_searcher searcher(kFourBreaks.begin(), kFourBreaks.end());
    const auto found = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), searcher);
    return found == text.end() ? std::string_view::npos : static_cast<std::size_t>(found - text.begin());
}

TLogFile::TLogFile(std::string fileName, bool readOnly) : FileName(std::move(fileName)), ReadOnly(readOnly) {
    if (FileName.empty()) return;
    EnsureWritableFile(FileName, true, readOnly);
    std::string bytes;
    if (ReadWholeFile(FileName, bytes, MaxFileSize)) {
        LoadFromText(bytes);
    } else if (CanOpenForRead(FileName) || GetFileDateTime(FileName) != 0) {
        LoadFailed = true;
    }
}

void TLogFile::LoadFromText(std::string_view bytes) {
    if (bytes.size() < 8) return;
    if (bytes.size() >= kFourBreaks.size() && bytes.substr(bytes.size() - kFourBreaks.size()) == kFourBreaks) {
        ParseReports(bytes);
        return;
    }
    std::string text;
    text.reserve(bytes.size() + kFourBreaks.size());
    text += bytes;
    text += kFourBreaks;
    ParseReports(text);
}

void TLogFile::ParseReports(std::string_view source) {
    // Copied only when its line breaks need it: a report may run on a small
    // heap of its own.
    std::string normalized;
    std::string_view text = source;
    if (HasUnpairedLineBreaks(source)) {
        normalized = NormalizeLineBreaks(source);
        text = normalized;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t run = FindFourLineBreaks(text, start);
        if (run == std::string_view::npos) break;
        const std::string_view piece = text.substr(start, run - start);
        if (piece.find(kTableHeader) != std::string_view::npos) {
            std::string entry;
            entry.reserve(piece.size() + kReportSeparator.size());
            entry += piece;
            entry += kReportSeparator;
            Reports.push_back(std::move(entry));
        }
        start = run + kFourBreaks.size();
    }
}

std::string TLogFile::GetText() const {
    std::size_t total = 0;
    for (const std::string& r : Reports) total += r.size() + 2;
    std::string text;
    text.reserve(total);
    for (const std::string& r : Reports) {
        text += r;
        text += "\r\n";
    }
    return text;
}

std::string TLogFile::SaveToText() const {
    std::string text = GetText();
    if (text.size() >= 10 && text.compare(text.size() - 10, 10, "\r\n\r\n\r\n\r\n\r\n") == 0) text.resize(text.size() - 2);
    return text;
}

void TLogFile::SaveToFile() {
    if (FileName.empty()) Fail("The log has no file.");
    if (ReadOnly) Fail("The log file " + FileName + " is open for reading only.");
    if (LoadFailed) Fail("The log file " + FileName + " could not be read; it is left as it is.");
    if (!WriteWholeFile(FileName, SaveToText())) Fail("The log file " + FileName + " cannot be written.");
}

void TLogFile::AddReport(std::string_view report, int32_t keepCount) {
    if (keepCount != -1) {
        const std::size_t keep = keepCount > 1 ? static_cast<std::size_t>(keepCount) - 1 : 0;
        if (Reports.size() > keep) Reports.erase(Reports.begin(), Reports.end() - static_cast<std::ptrdiff_t>(keep));
    }
    std::string entry(report);
    entry += kReportSeparator;
    Reports.push_back(std::move(entry));
}

const std::string* TLogFile::Report(int32_t index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return &Reports[static_cast<std::size_t>(index)];
}

// ---- Items ----------------------------------------------------------------------------

bool FindItemValue(std::string_view report, std::string_view itemId, std::size_t& begin, std::size_t& end) {
    if (itemId.empty()) return false;
    const std::string head = "\r\n  " + std::string(itemId) + " ";
    const std::size_t item = report.find(head);
    if (item == std::string_view::npos) return false;
    const std::size_t colon = report.find(": ", item + head.size());
    if (colon == std::string_view::npos) return false;
    begin = colon + 2;
    // The value must begin on the item's own line.
    const std::size_t lineEnd = report.find("\r\n", item + 2);
    if (lineEnd != std::string_view::npos && lineEnd < colon) return false;
    std::size_t at = begin;
    for (;;) {
        const std::size_t br = report.find("\r\n", at);
        if (br == std::string_view::npos) {
            end = report.size();
            return true;
        }
        const std::string_view next = report.substr(br + 2);
        const bool emptyLine = next.empty() || next.substr(0, 2) == "\r\n";
        const bool nextItem = next.size() >= 4 && next[0] == ' ' && next[1] == ' ' && next[3] != ' ';
        if (emptyLine || nextItem) {
            end = br;
            return true;
        }
        at = br + 2;
    }
}

std::string TLogFile::GetItemValue(std::string_view itemId, int32_t index) const {
    const std::string* report = Report(index);
    std::size_t begin = 0, end = 0;
    if (report == nullptr || !FindItemValue(*report, itemId, begin, end)) return std::string();
    std::string raw;
    raw.reserve(end - begin);
    for (std::size_t i = begin; i < end; ++i) {
        raw += (*report)[i];
        if ((*report)[i] == '\n' && i > begin && (*report)[i - 1] == '\r')
            while (i + 1 < end && (*report)[i + 1] == ' ') ++i;
    }
    // Undo the layout: ":_" was ": ", a line "." was empty. Only whole "."
    // lines are emptied, so a sentence's final full stop stays.
    std::string value;
    value.reserve(raw.size());
    std::size_t lineStart = 0;
    for (;;) {
        const std::size_t br = raw.find("\r\n", lineStart);
        std::string line = raw.substr(lineStart, br == std::string::npos ? std::string::npos : br - lineStart);
        if (line == ".") line.clear();
        value += ReplaceAll(line, ":_", ": ");
        if (br == std::string::npos) break;
        value += "\r\n";
        lineStart = br + 2;
    }
    return Trim(value);
}

std::string PadToWidth(std::string_view text, std::size_t width) {
    std::string out(text);
    if (out.size() < width) out.append(width - out.size(), ' ');
    return out;
}

std::string FormatValueForMatch(std::string_view value, std::size_t indent) {
    const std::string normal = NormalizeLineBreaks(value);
    const bool multiLine = normal.find("\r\n") != std::string::npos;
    // The writer marks ": " only in values of several lines.
    const std::string marked = multiLine ? ReplaceAll(normal, ": ", ":_") : normal;
    std::string out;
    std::size_t start = 0;
    bool first = true;
    for (;;) {
        const std::size_t br = marked.find("\r\n", start);
        std::string line = marked.substr(start, br == std::string::npos ? std::string::npos : br - start);
        if (!first) {
            if (IsBlankOrControl(line)) line = ".";
            out.append(indent, ' ');
        } else if (multiLine && IsBlankOrControl(line)) {
            line = ".";
        }
        out += line;
        out += "\r\n";
        first = false;
        if (br == std::string::npos || br + 2 >= marked.size()) break;
        start = br + 2;
    }
    return out;
}

namespace {

// 1-based position of the item line's first ": ", counted from its two blanks.
std::size_t ItemColumn(std::string_view report, std::size_t valueBegin) {
    // Searched from the ": " back: an empty value begins at the line break.
    const std::size_t colon = valueBegin - 2;
    const std::size_t lineStart = report.rfind("\r\n", colon);
    const std::size_t from = lineStart == std::string_view::npos ? 0 : lineStart + 2;
    return colon - from + 1;
}

}  // namespace

bool ReportItemEquals(std::string_view itemId, std::string_view value, std::string_view report) {
    std::size_t begin = 0, end = 0;
    if (!FindItemValue(report, itemId, begin, end)) return false;
    const std::string expected = FormatValueForMatch(value, ItemColumn(report, begin) + 1);
    return report.substr(begin, expected.size()) == expected;
}

int32_t TLogFile::FindReport(const std::vector<std::string>& itemIds, const std::vector<std::string>& values) const {
    int32_t found = -1;
    const std::size_t pairs = std::min(itemIds.size(), values.size());
    for (int32_t i = 0; i < GetCount(); ++i)
        for (std::size_t j = 0; j < pairs; ++j)
            if (ReportItemEquals(itemIds[j], values[j], Reports[static_cast<std::size_t>(i)])) found = i;
    return found;
}

void TLogFile::SetItemValue(std::string_view itemId, std::string_view value, int32_t index, std::string_view label) {
    if (index < 0 || index >= GetCount()) return;
    std::string& report = Reports[static_cast<std::size_t>(index)];
    std::size_t begin = 0, end = 0;
    if (FindItemValue(report, itemId, begin, end)) {
        std::string laid = FormatValueForMatch(value, ItemColumn(report, begin) + 1);
        laid.resize(laid.size() - 2);  // the report's own line break follows
        report.replace(begin, end - begin, laid);
        return;
    }
    const std::size_t dot = itemId.find('.');
    if (dot == std::string_view::npos) return;
    const std::string prefix(itemId.substr(0, dot + 1));
    std::size_t lastBegin = std::string::npos;
    std::size_t lastItem = 0;
    for (int n = 1; n <= 19; ++n) {
        std::size_t b = 0, e = 0;
        if (FindItemValue(report, prefix + std::to_string(n), b, e)) {
            lastBegin = b;
            lastItem = report.find("\r\n  " + prefix + std::to_string(n) + " ") + 4;
        }
    }
    if (lastBegin == std::string::npos) return;
    const std::size_t width = lastBegin - 2 - lastItem;
    const std::size_t sectionEnd = report.find("\r\n\r\n", lastBegin);
    if (sectionEnd == std::string::npos) return;
    const std::string line =
        "  " + PadToWidth(std::string(itemId) + " " + std::string(label), width) + ": " + std::string(value) + "\r\n";
    report.insert(sectionEnd + 2, line);
}

// ---- Names ------------------------------------------------------------------------------

std::string StampFileName(std::string_view path, bool stampComputer, std::string_view computerName, bool stampTime,
                          double reportTime) {
    std::string name = ExtractFileName(path);
    if (stampComputer) {
        const std::string ext = ExtractFileExt(name);
        name = ChangeFileExt(name, "") + "__" + std::string(computerName) + ext;
    }
    if (stampTime) {
        const TDateTimeParts p = DecodeDateTime(reportTime);
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d", p.Year, p.Month, p.Day, p.Hour, p.Minute,
                      p.Second);
        const std::string ext = ExtractFileExt(name);
        name = ChangeFileExt(name, "") + "__" + stamp + ext;
    }
    return name;
}

}  // namespace drevnik
