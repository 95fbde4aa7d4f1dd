#include "crashreport/report/ReportDialogText.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "crashreport/capture/DrevnikUtils.h"

namespace drevnik {
namespace {

// Inserts before the 1-based position `pos`; past the end it appends.
void InsertAt(std::string& line, std::size_t pos, std::string_view text) {
    const std::size_t at = pos == 0 ? 0 : std::min(pos - 1, line.size());
    line.insert(at, text);
}

void ReplaceAt(std::string& line, std::size_t pos, std::size_t count, std::string_view text) {
    const std::size_t at = pos == 0 ? 0 : std::min(pos - 1, line.size());
    line.replace(at, std::min(count, line.size() - at), text);
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string Document(const std::vector<std::string>& lines, const TRtfFont& font) {
    std::string out = RtfHeader(font.Charset, font.Face);
    out += "\\f0\\fs" + std::to_string(2 * font.PointSize) + "\r\n";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += "\r\n";
        out += lines[i];
    }
    out += "}";
    return out;
}

bool IsWordSeparator(unsigned char c) {
    static constexpr unsigned char kSeparators[] = {32, 33, 37, 40, 41, 45, 63, 91, 93, 123, 125, 167, 176};
    return std::find(std::begin(kSeparators), std::end(kSeparators), c) != std::end(kSeparators);
}

// The line split at CR LF or a lone LF.
std::vector<std::string_view> TextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return lines;
}

}  // namespace

std::string EscapeRtf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += c;
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += "\\par\r\n";
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string RtfHeader(int charset, std::string_view fixedFace) {
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1040{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset";
    out += std::to_string(charset);
    out += ' ';
    out += fixedFace;
    out += ";}}\r\n";
    out += "{\\colortbl ;\\red0\\green100\\blue100;\\red0\\green0\\blue0;\\red40\\green40\\blue40;"
           "\\red0\\green0\\blue160;\\red160\\green0\\blue0;\\red80\\green80\\blue80;\\red0\\green100\\blue0;}\r\n";
    return out;
}

std::string GeneralPartToRtf(std::string_view text, const TRtfFont& font) {
    std::vector<std::string> lines = SplitLines(EscapeRtf(text));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string& line = lines[i];
        if (i == 0) {
            line = "\\cf1\\b " + line + "\\b0";
            continue;
        }
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos && line.size() >= 5 && colon == line.size() - 5 && line[0] != ' ') {
            line = "\\cf3\\b " + line + "\\b0";
        } else if (!line.empty() && line[0] == '-') {
            line = "\\cf3 " + line;
        } else if (const std::size_t e = line.find(": "); e != std::string::npos) {
            // e is 0-based here: the first e characters end before ": ".
            const std::size_t blank = line.find(' ', 2);
            std::string next = "\\cf5 " + line.substr(0, e) + "\\cf4 " + line.substr(e);
            if (blank != std::string::npos && blank < e) InsertAt(next, blank + 1 + 5, "\\cf2 ");
            line = std::move(next);
        }
    }
    return Document(lines, font);
}

std::string AssemblerPartToRtf(std::string_view text, const TRtfFont& font) {
    std::vector<std::string> lines = SplitLines(EscapeRtf(text));
    for (std::string& line : lines) {
        if (!line.empty() && line[0] == ';') {
            line = "\\cf5 " + line;
            InsertAt(line, 15, "\\cf4\\b ");
            const std::size_t blank = line.size() >= 23 ? line.find(' ', 22) : std::string::npos;
            if (blank != std::string::npos)
                line.insert(blank, "\\b0\\cf7 ");
            else
                line += "\\b0";
        }
        if (const std::size_t semicolon = line.find(';'); semicolon != std::string::npos)
            line.insert(semicolon, "\\cf6 ");
    }
    return Document(lines, font);
}

std::string CpuPartToRtf(std::string_view text, const TRtfFont& font, int tabTwips) {
    std::vector<std::string> lines = SplitLines(EscapeRtf(text));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string& line = lines[i];
        if (i == 0) {
            line = "\\cf3\\b " + line + "\\cf2\\b0";
        } else if (i == 1) {
            line = "\\cf3 " + line + "\\cf2";
        } else if (i >= 2 && i <= 5) {
            for (std::size_t pos : {6u, 19u, 32u, 45u}) InsertAt(line, pos, pos == 6 || pos == 32 ? "\\cf4 " : "\\cf2 ");
        } else if (i == 7) {
            const std::string t1 = Trim(std::string_view(line).substr(0, std::min<std::size_t>(21, line.size())));
            const std::string t2 = line.size() > 21 ? Trim(std::string_view(line).substr(21)) : std::string();
            line = "\\pard\\tx" + std::to_string(tabTwips) + "\\cf3\\b " + t1 + "\\tab " + t2 + "\\cf2\\b0";
        } else if (i == 8) {
            ReplaceAt(line, 19, 3, "\\tab ");
            line = "\\cf3 " + line + "\\cf2";
        } else if (i >= 9) {
            InsertAt(line, 11, "\\cf4 ");
            InsertAt(line, 24, "\\cf2 ");
            ReplaceAt(line, 29, 3, "\\tab ");
            InsertAt(line, 44, "\\cf4 ");
            InsertAt(line, 96, "\\cf5 ");
            line += "\\cf2 ";
        }
    }
    return Document(lines, font);
}

std::string FormatReportDateTime(double dateTime) {
    const TDateTimeParts p = DecodeDateTime(dateTime);
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", p.Year, p.Month, p.Day, p.Hour, p.Minute,
                  p.Second);
    return buffer;
}

int EstimateWrappedTextHeight(std::string_view text, int width, const TMeasureText& measure) {
    // A box narrower than the margin still wraps word by word instead of dividing by zero.
    const int usable = std::max(1, width - 6);
    int height = 0;
    for (std::string_view line : TextLines(text)) {
        std::vector<std::string> words;
        const std::string lineText = line.empty() ? std::string(" ") : std::string(line);
        std::size_t start = 0;
        for (std::size_t i = 0; i < lineText.size(); ++i) {
            if (IsWordSeparator(static_cast<unsigned char>(lineText[i]))) {
                words.push_back(lineText.substr(start, i + 1 - start));
                start = i + 1;
            }
        }
        if (start < lineText.size()) words.push_back(lineText.substr(start));
        int run = 0;
        for (const std::string& word : words) {
            const TTextSize size = measure(word);
            if (run == 0) height += size.Height;
            run += size.Width;
            const int q = run / usable;
            if (q > 0) {
                height += q * size.Height;
                run = size.Width;
            }
        }
    }
    return height;
}

TCompactLayout CompactMessageLayout(std::string_view message, std::string_view extraLine, int frame,
                                    int lineHeight, const std::function<int(std::string_view)>& widthOf) {
    const int limit = std::max(1, 640 - frame);
    int widest = 0;
    int height = 0;
    std::vector<std::string_view> lines = TextLines(message);
    lines.push_back(extraLine);
    for (std::string_view line : lines) {
        const int width = widthOf(line.empty() ? std::string_view(" ") : line);
        if (width > widest) {
            widest = width + 16;
            if (widest > limit) {
                height += ((widest - limit) / limit + 1) * lineHeight;
                widest = limit;
            }
        }
        height += lineHeight;
    }
    return {std::max(widest + frame, 340), height};
}

int BottomBandHeight(bool sendCheck, bool screenshotCheck, bool copyCheck, bool supportLink) {
    if (!sendCheck && !screenshotCheck && !copyCheck && !supportLink) return 0;
    if ((sendCheck && screenshotCheck) || (copyCheck && supportLink)) return 34;
    return 20;
}

int PageOfTab(int n, bool modulesAndProcesses, bool assemblerAndCpu) {
    if (n < 0) return -n;
    if (!modulesAndProcesses && (n == 2 || n == 3)) n += 2;
    if (!assemblerAndCpu && (n == 4 || n == 5)) n += 2;
    return n;
}

int TabOfPage(int page, bool modulesAndProcesses, bool assemblerAndCpu) {
    for (int tab = 0; tab < 6; ++tab)
        if (PageOfTab(tab, modulesAndProcesses, assemblerAndCpu) == page) {
            const int tabs = 2 + (modulesAndProcesses ? 2 : 0) + (assemblerAndCpu ? 2 : 0);
            return tab < tabs ? tab : -1;
        }
    return -1;
}

int NormalizeStartPage(int page, bool modulesAndProcesses, bool assemblerAndCpu) {
    if (page < 0 || page > 5) return 0;
    if ((page == 2 || page == 3) && !modulesAndProcesses) return 0;
    if ((page == 4 || page == 5) && !assemblerAndCpu) return 0;
    return page;
}

bool IsPlausibleEmail(std::string_view text) {
    if (text.find('@') == std::string_view::npos || text.find('.') == std::string_view::npos) return false;
    for (unsigned char c : text)
        if (c < 32 || c == 127 || c == ' ' || c == '<' || c == '>') return false;
    return true;
}

bool ReplaceReportEmailItem(std::string& text, std::string_view address) {
    const std::size_t item = text.find("\r\n  3.3 ");
    if (item == std::string::npos) return false;
    const std::size_t colon = text.find(": ", item + 2);
    if (colon == std::string::npos) return false;
    const std::size_t start = colon + 2;
    const std::size_t end = text.find("\r\n", start);
    // The ": " must stand on the item's own line.
    if (end == std::string::npos || text.find("\r\n", item + 2) < colon) return false;
    text.replace(start, end - start, address);
    return true;
}

int ParseStoredInt(std::string_view text, int fallback) {
    const std::string t = Trim(text);
    if (t.empty() || t.size() > 10) return fallback;
    std::size_t i = 0;
    const bool negative = t[0] == '-';
    if (negative) i = 1;
    if (i == t.size()) return fallback;
    long long value = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9') return fallback;
        value = value * 10 + (t[i] - '0');
    }
    return static_cast<int>(negative ? -value : value);
}

TLineCell SplitLineCell(std::string_view cell) {
    TLineCell out;
    std::size_t digits = 0;
    while (digits < cell.size() && cell[digits] >= '0' && cell[digits] <= '9') ++digits;
    out.Line = std::string(cell.substr(0, digits));
    if (const std::size_t bracket = cell.find('['); bracket != std::string_view::npos) {
        std::size_t end = bracket + 1;
        while (end < cell.size() && cell[end] >= '0' && cell[end] <= '9') ++end;
        if (end < cell.size()) out.Offset = std::string(cell.substr(bracket + 1, end - bracket - 1));
        if (out.Offset.empty()) out.Offset = "-1";
    }
    return out;
}

std::array<uint8_t, kIdeRecordSize> BuildIdeSourceRecord(std::string_view unit, std::string_view className,
                                                        std::string_view routine, int32_t line, int32_t offset,
                                                        double buildTime) {
    std::array<uint8_t, kIdeRecordSize> record{};
    const auto put = [&](std::size_t at, std::string_view text) {
        const std::size_t n = std::min<std::size_t>(text.size(), 89);
        std::memcpy(record.data() + at, text.data(), n);
    };
    put(90, unit);
    put(180, className);
    put(270, routine);
    std::memcpy(record.data() + 360, &line, 4);
    std::memcpy(record.data() + 364, &offset, 4);
    std::memcpy(record.data() + 368, &buildTime, 8);
    return record;
}

}  // namespace drevnik
