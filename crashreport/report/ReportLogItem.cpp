#include "crashreport/report/ReportLogItem.h"

#include <algorithm>
#include <vector>

namespace drevnik {

namespace {

// Splits at CR LF; a final CR LF adds no empty line.
std::vector<std::string> SplitCrLf(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
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

bool BlankOrControl(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

bool IsCaptionLine(const std::vector<std::string>& lines, std::size_t i) {
    const std::string& line = lines[i];
    if (line.empty() || line.find(':') != line.size() - 1) return false;
    return i == 0 || lines[i - 1].empty();
}

// 1-based position of the first ": ", 0 when none.
std::size_t ColonPos(const std::string& line) {
    const std::size_t p = line.find(": ");
    return p == std::string::npos ? 0 : p + 1;
}

}  // namespace

void TLogItem::Clear() {
    Lines.clear();
    SectionNumber = StartSection;
    ItemNumber = 0;
}

void TLogItem::AddHeader(std::string_view caption) {
    ++SectionNumber;
    ItemNumber = 0;
    if (!Lines.empty()) Lines += "\r\n\r\n";
    Lines += caption;
    Lines += ":\r\n-";
}

void TLogItem::AddItem(std::string_view label, std::string_view value, bool shown) {
    ++ItemNumber;
    if (!shown) return;
    std::string head = "  " + std::to_string(SectionNumber) + "." + std::to_string(ItemNumber) + " ";
    head += label;
    head += ": ";
    const std::string normal = NormalizeLineBreaks(value);
    Lines += "\r\n";
    Lines += head;
    if (normal.find("\r\n") == std::string::npos) {
        Lines += normal;
        return;
    }
    std::string marked;
    marked.reserve(normal.size());
    for (std::size_t i = 0; i < normal.size(); ++i) {
        marked += normal[i];
        if (normal[i] == ':' && i + 1 < normal.size() && normal[i + 1] == ' ') {
            marked += '_';
            ++i;
        }
    }
    const std::vector<std::string> lines = SplitCrLf(marked);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) Lines += "\r\n ";
        Lines += BlankOrControl(lines[i]) ? std::string(".") : lines[i];
    }
}

std::string TLogItem::GetText() const {
    std::vector<std::string> lines = SplitCrLf(Lines);
    // 1. Empty sections go, with one of the empty lines beside them.
    for (std::size_t i = 0; i < lines.size();) {
        if (!IsCaptionLine(lines, i)) {
            ++i;
            continue;
        }
        const bool hasDash = i + 1 < lines.size();
        const bool empty = !hasDash || i + 2 >= lines.size() || lines[i + 2].empty();
        if (!empty) {
            ++i;
            continue;
        }
        std::size_t first = i;
        std::size_t last = hasDash ? i + 1 : i;
        if (last + 1 < lines.size() && lines[last + 1].empty()) {
            ++last;
        } else if (first > 0 && lines[first - 1].empty()) {
            --first;
        }
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(first),
                    lines.begin() + static_cast<std::ptrdiff_t>(last + 1));
        i = first;
    }
    // 2 and 3. Per section: align the ": " of the item lines, widen the dashes.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!IsCaptionLine(lines, i) || i + 1 >= lines.size()) continue;
        const std::size_t dash = i + 1;
        std::size_t end = dash + 1;
        while (end < lines.size() && !lines[end].empty()) ++end;
        std::size_t widest = 0;
        for (std::size_t k = dash + 1; k < end; ++k) widest = std::max(widest, ColonPos(lines[k]));
        std::size_t width = 0;
        for (std::size_t k = dash + 1; k < end; ++k) {
            const std::size_t p = ColonPos(lines[k]);
            const std::size_t at = p == 0 ? 0 : p - 1;
            lines[k].insert(at, widest - p, ' ');
            width = std::max(width, lines[k].size());
        }
        lines[dash] = std::string(width, '-');
        i = end == i ? i : end - 1;
    }
    std::string text;
    std::size_t total = 0;
    for (const std::string& line : lines) total += line.size() + 2;
    text.reserve(total);
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

bool HasUnpairedLineBreaks(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) return true;
        if (text[i] == '\n' && i > 0 && text[i - 1] != '\r') return true;
    }
    return false;
}

std::string NormalizeLineBreaks(std::string_view text) {
    if (!HasUnpairedLineBreaks(text)) return std::string(text);
    std::string out;
    out.reserve(text.size() + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) {
            out += "\r\n";
        } else if (c == '\n' && i > 0 && text[i - 1] != '\r') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace drevnik
