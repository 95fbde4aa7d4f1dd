#include "crashreport/report/XmlReport.h"

#include <algorithm>
#include <cstdio>

#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "crashreport/delivery/Base64.h"
#include "crashreport/delivery/TeaCipher.h"
#include "crashreport/report/LogFile.h"
#include "framework/core/exceptions.h"
#include "framework/core/text_codec.h"

namespace drevnik {

TXMLItems::~TXMLItems() {
    while (!items_.empty()) items_.pop_back();
}

TXMLItem& TXMLItems::AddItem(std::string_view name) {
    items_.push_back(std::make_unique<TXMLItem>(name));
    return *items_.back();
}

void TXMLItem::AddAttribute(std::string_view name, std::string_view value) {
    AttributeText += " ";
    AttributeText += name;
    AttributeText += "=\"";
    AttributeText += EscapeXmlText(value);
    AttributeText += "\"";
}

TXMLItem& TXMLItem::AddChild(std::string_view name) {
    TXMLItem& child = Children.AddItem(name);
    child.ParentItem = this;
    return child;
}

std::string TXMLItem::GetXML() {
    std::string out;
    WriteTo(out);
    return out;
}

void TXMLItem::WriteTo(std::string& out) {
    out += IndentText + "<" + ElementName + AttributeText;
    if (Children.Count() == 0) {
        out += "/>\r\n";
        return;
    }
    out += ">\r\n";
    for (int i = 0; i < Children.Count(); ++i) {
        TXMLItem& child = Children.GetItem(i);
        child.IndentText = IndentText + "  ";
        child.WriteTo(out);
    }
    out += IndentText + "</" + ElementName + ">\r\n";
}

namespace {

void AppendReference(std::string& out, uint32_t codePoint) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "&#%03u;", static_cast<unsigned>(codePoint));
    out += buffer;
}

}  // namespace

std::string EscapeXmlText(std::string_view value) {
    std::string out;
    out.reserve(value.size() + 16);
    const bool ascii = std::all_of(value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) < 128; });
    std::u16string wide;
    if (ascii) {
        wide.assign(value.begin(), value.end());
    } else {
        wide = AnsiToUtf16(value);
    }
    for (std::size_t i = 0; i < wide.size(); ++i) {
        uint32_t c = wide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 32) {
            // Only TAB, LF and CR are characters of XML 1.0.
            AppendReference(out, c == 9 || c == 10 || c == 13 ? c : 0xFFFD);
        } else if (c >= 127 || c == '"' || c == '&' || c == '\'' || c == '<' || c == '>') {
            AppendReference(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// ---- The log's reports as XML ------------------------------------------------------------

namespace {

constexpr std::string_view kTableHeader = "-\r\n|";
constexpr std::size_t npos = std::string::npos;

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t br = text.find("\r\n", start);
        if (br == std::string_view::npos) {
            if (start < text.size()) lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, br - start));
        start = br + 2;
    }
    return lines;
}

std::string TrimRightBreaks(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

std::size_t FindTablePosition(std::string_view text, int n, bool byEmptyLines) {
    std::size_t p = text.find(kTableHeader);
    for (int i = 0; i < n && p != npos; ++i) {
        if (byEmptyLines) {
            p = text.find("\r\n\r\n", p + 4);
            if (p != npos) p += 4;
        } else {
            p = text.find(":\r\n-", p);
            if (p != npos) p += 3;
        }
    }
    return p;
}

// From `from` up to and including the dash of the next "-" CR LF CR LF.
std::string TableFrom(std::string_view text, std::size_t from) {
    const std::size_t end = text.find("-\r\n\r\n", from);
    return end == npos ? std::string() : std::string(text.substr(from, end + 1 - from));
}

// Cells of a table row between its outer bars, trimmed.
std::vector<std::string> RowCells(std::string_view line) {
    std::string_view inner = line;
    if (!inner.empty() && inner.front() == '|') inner.remove_prefix(1);
    if (!inner.empty() && inner.back() == '|') inner.remove_suffix(1);
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = inner.find('|', start);
        cells.push_back(Trim(inner.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start)));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    return cells;
}

// The data rows of a table text: from its fourth line to its last but one.
std::vector<std::string> TableRows(std::string_view table) {
    std::vector<std::string> lines = SplitLines(table);
    if (lines.size() < 4) return {};
    std::vector<std::string> rows(lines.begin() + 3, lines.end() - 1);
    rows.erase(std::remove_if(rows.begin(), rows.end(), [](const std::string& r) { return r.rfind("|-", 0) == 0; }),
               rows.end());
    return rows;
}

std::string Root(TXMLItem& root) { return root.GetXML(); }

bool PlainName(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) {
        return c == '.' || c == '@' || c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
               (c >= 'A' && c <= 'Z');
    });
}

std::string Decipher(std::string_view base64) {
    std::string bytes = Base64DecodeString(base64);
    TeaDecryptBuffer(bytes.data(), bytes.data(), bytes.size());
    const std::size_t nul = bytes.find('\0');
    if (nul != npos) bytes.resize(nul);
    return bytes;
}

// Indents every line but the first and the last by two blanks.
std::string IndentInner(const std::string& first, const std::vector<std::string>& parts, const std::string& last) {
    std::string out = first + "\r\n";
    for (const std::string& part : parts)
        for (const std::string& line : SplitLines(part)) out += "  " + line + "\r\n";
    out += last + "\r\n";
    return out;
}

}  // namespace

std::string TLogFile::GetReportVersion(int32_t index) const {
    const std::string* r = Report(index);
    if (r == nullptr) return std::string();
    const std::string first = r->substr(0, r->find("\r\n"));
    const std::size_t blank = first.find(' ');
    return blank == npos ? std::string() : first.substr(blank + 1);
}

std::string TLogFile::GetGeneralPartText(int32_t index) const {
    const std::string* r = Report(index);
    if (r == nullptr) return std::string();
    const std::size_t p = r->find(kTableHeader);
    if (p == npos) return std::string();
    const std::size_t dashLine = r->rfind("\r\n", p);
    if (dashLine == npos) return std::string();
    const std::size_t captionLine = dashLine == 0 ? npos : r->rfind("\r\n", dashLine - 1);
    if (captionLine == npos) return std::string();
    return TrimRightBreaks(r->substr(0, captionLine));
}

std::string TLogFile::GetCallStackTableText(int32_t index) const {
    const std::string* r = Report(index);
    if (r == nullptr) return std::string();
    const std::size_t p = r->find(kTableHeader);
    if (p == npos) return std::string();
    const std::size_t br = r->rfind("\r\n", p);
    return TableFrom(*r, br == npos ? 0 : br + 2);
}

namespace {

std::string NthTable(const std::string& r, int n) {
    const std::size_t p = FindTablePosition(r, n, false);
    if (p == npos) return std::string();
    const std::size_t br = r.find("\r\n", p);
    if (br == npos || br + 2 >= r.size() || r[br + 2] != '|') return std::string();
    return TableFrom(r, p);
}

}  // namespace

std::string TLogFile::GetModulesTableText(int32_t index) const {
    const std::string* r = Report(index);
    return r == nullptr ? std::string() : NthTable(*r, 1);
}

std::string TLogFile::GetProcessesTableText(int32_t index) const {
    const std::string* r = Report(index);
    if (r == nullptr || GetReportVersion(index) < "6.0") return std::string();
    return NthTable(*r, 2);
}

std::string TLogFile::GetAssemblerText(int32_t index) const {
    const std::string* r = Report(index);
    if (r == nullptr || GetReportVersion(index) < "6.0") return std::string();
    const std::size_t p = FindTablePosition(*r, 3, false);
    if (p == npos) return std::string();
    const std::size_t br = r->find("\r\n", p);
    if (br == npos) return std::string();
    const std::size_t from = br + 2;
    if (r->compare(from, 2, "\r\n") == 0) return std::string();
    const std::size_t end = r->find("\r\n\r\n", from);
    return end == npos ? std::string() : r->substr(from, end - from);
}

std::string TLogFile::GetCpuText(int32_t index) const {
    const std::string* r = Report(index);
    if (r == nullptr) return std::string();
    const std::size_t p = FindTablePosition(*r, GetReportVersion(index) < "6.0" ? 2 : 4, true);
    if (p == npos) return std::string();
    const std::size_t lineStart = r->rfind("\r\n", p == 0 ? 0 : p - 1);
    const std::size_t from = p;
    (void)lineStart;
    const std::size_t first = r->find("\r\n\r\n", from);
    const std::size_t second = first == npos ? npos : r->find("\r\n\r\n", first + 4);
    if (second == npos) return std::string();
    std::string text = r->substr(from, second - from);
    return text.find("EAX") == npos ? std::string() : text;
}

std::string TLogFile::GetOldReproduceText(int32_t index) const {
    const std::string* r = Report(index);
    if (r == nullptr || GetReportVersion(index) >= "5.0") return std::string();
    std::size_t p = r->find(kTableHeader);
    for (int i = 0; i < 2 && p != npos; ++i) p = r->find(kTableHeader, p + 1);
    for (int i = 0; i < 3 && p != npos; ++i) {
        p = r->find(":\r\n-", p);
        if (p != npos) p += 3;
    }
    if (p == npos) return std::string();
    const std::size_t br = r->find("\r\n", p);
    if (br == npos) return std::string();
    const std::size_t end = r->find("\r\n\r\n", br + 2);
    return end == npos ? std::string() : r->substr(br + 2, end - br - 2);
}

std::string TLogFile::GeneralPartToXML(int32_t index) const {
    TXMLItem root("General");
    const std::vector<std::string> lines = SplitLines(GetGeneralPartText(index));
    TXMLItem* group = nullptr;
    TXMLItem* line = nullptr;
    std::string caption;
    std::string value;
    bool groupHasAttributes = false;
    const auto finish = [&] {
        if (line == nullptr) return;
        if (value.rfind(".\r\n", 0) == 0) value.erase(0, 1);
        if (value == ".") value.clear();
        if (value.size() >= 3 && value.compare(value.size() - 3, 3, "\r\n.") == 0) value.resize(value.size() - 1);
        value = ReplaceAll(value, ":_", ": ");
        value = ReplaceAll(value, "\n.\r", "\n\r");
        line->AddAttribute("Value", value);
        line = nullptr;
        value.clear();
    };
    bool expectCaption = true;
    for (std::size_t i = 2; i < lines.size(); ++i) {
        const std::string& raw = lines[i];
        if (expectCaption) {
            if (raw.empty()) continue;
            caption = raw.back() == ':' ? raw.substr(0, raw.size() - 1) : raw;
            group = &root.AddChild("Group");
            groupHasAttributes = false;
            expectCaption = false;
            ++i;  // the dash line
            continue;
        }
        const std::string t = Trim(raw);
        if (t.empty()) {
            finish();
            group = nullptr;
            expectCaption = true;
            continue;
        }
        // An item line starts with two blanks and its number; continuation
        // lines are indented further, so one ending with ":" stays a value line.
        const bool isItem = raw.size() > 2 && raw[0] == ' ' && raw[1] == ' ' && raw[2] != ' ' &&
                            (t.find(": ") != npos || t.back() == ':');
        if (isItem && group != nullptr) {
            finish();
            const std::size_t blank = t.find(' ');
            const std::string id = t.substr(0, blank);
            const std::size_t colon = t.find(": ");
            const std::size_t labelEnd = colon == npos ? t.size() - 1 : colon;
            const std::string label = blank == npos || blank >= labelEnd ? std::string() : Trim(t.substr(blank, labelEnd - blank));
            value = colon == npos ? std::string() : t.substr(colon + 2);
            if (!groupHasAttributes) {
                group->AddAttribute("ID", id.substr(0, id.find('.')));
                group->AddAttribute("Label", caption);
                groupHasAttributes = true;
            }
            line = &group->AddChild("Line");
            line->AddAttribute("ID", id);
            line->AddAttribute("Label", label);
        } else if (line != nullptr) {
            value += "\r\n" + t;
        }
    }
    finish();
    return Root(root);
}

std::string TLogFile::CallStackToXML(int32_t index) const {
    TXMLItem root("CallStack");
    TXMLItem* top = nullptr;
    TXMLItem* current = nullptr;
    if (GetReportVersion(index) < "5.0") top = current = &root.AddChild("ExceptionThread");
    bool emptyBefore = false;
    bool first = top == nullptr;
    for (const std::string& row : TableRows(GetCallStackTableText(index))) {
        const std::vector<std::string> cells = RowCells(row);
        if (cells.size() <= 5) {
            if (cells[0].empty()) {
                emptyBefore = true;
                continue;
            }
            const std::size_t colon = cells[0].find(':');
            const std::string rest = colon == npos || colon + 2 > cells[0].size() ? std::string() : cells[0].substr(colon + 2);
            std::vector<std::string> pieces;
            SplitText(rest, pieces, ";", false, true);
            if (first || top == nullptr) {
                top = current = &root.AddChild("ExceptionThread");
                first = false;
            } else if (emptyBefore) {
                top = current = &root.AddChild("RunningThread");
            } else {
                current = &top->AddChild("CallingThread");
            }
            emptyBefore = false;
            static const char* const kNames[] = {"ID", "Priority", "Class"};
            for (std::size_t k = 0; k < 3 && k < pieces.size(); ++k) {
                const std::size_t eq = pieces[k].find('=');
                current->AddAttribute(kNames[k], eq == npos ? std::string() : pieces[k].substr(eq + 1));
            }
            current->AddAttribute("MainThread", pieces.size() > 3 ? "True" : "False");
            continue;
        }
        if (current == nullptr) top = current = &root.AddChild("ExceptionThread");
        std::string unit = cells[2], cls = cells[3], proc = cells[4];
        if (!unit.empty() && unit[0] == '?' && unit.size() > 2 && !DataPassword.empty()) {
            SetTeaKeyFromPassword(DataPassword);
            std::string u = Decipher(std::string_view(unit).substr(2));
            if (ExtractFileExt(u).empty()) u += unit[1] == 'p' ? ".pas" : ".cpp";
            std::string p = proc.empty() ? std::string() : Decipher(std::string_view(proc).substr(1));
            std::string c;
            const std::size_t dot = p.find('.');
            if (dot != npos) {
                c = p.substr(0, dot);
                p = p.substr(dot + 1);
            } else if (!cls.empty()) {
                c = Decipher(std::string_view(cls).substr(1));
            }
            if (PlainName(u) && PlainName(c) && PlainName(p)) {
                unit = u;
                cls = c;
                proc = p;
            }
        }
        if (!proc.empty() && proc[0] == '@') proc[0] = '_';
        TXMLItem& line = current->AddChild("Line");
        line.AddAttribute("Address", cells[0]);
        line.AddAttribute("Module", cells[1]);
        line.AddAttribute("Unit", unit);
        line.AddAttribute("Class", cls);
        line.AddAttribute("Procedure", proc);
        const std::string& at = cells[5];
        const std::size_t bracket = at.find('[');
        if (bracket == npos) {
            line.AddAttribute("Number", at);
            line.AddAttribute("Offset", "");
        } else {
            std::string offset = at.substr(bracket + 1);
            if (!offset.empty() && offset.back() == ']') offset.pop_back();
            line.AddAttribute("Number", at.substr(0, bracket));
            line.AddAttribute("Offset", offset);
        }
    }
    return Root(root);
}

std::string TLogFile::ModulesToXML(int32_t index) const {
    TXMLItem root("Modules");
    for (const std::string& row : TableRows(GetModulesTableText(index))) {
        std::vector<std::string> cells = RowCells(row);
        cells.resize(std::max<std::size_t>(cells.size(), 7));
        TXMLItem& m = root.AddChild("Module");
        static const char* const kNames[] = {"Handle", "Name", "Description", "Version", "Size"};
        for (std::size_t k = 0; k < 5; ++k) m.AddAttribute(kNames[k], cells[k]);
        if (RowCells(row).size() > 6) {
            m.AddAttribute("Modified", cells[5]);
            m.AddAttribute("Path", cells[6]);
        } else {
            m.AddAttribute("Path", cells[5]);
        }
    }
    return Root(root);
}

std::string TLogFile::ProcessesToXML(int32_t index) const {
    TXMLItem root("Processes");
    for (const std::string& row : TableRows(GetProcessesTableText(index))) {
        std::vector<std::string> cells = RowCells(row);
        cells.resize(std::max<std::size_t>(cells.size(), 8));
        TXMLItem& p = root.AddChild("Process");
        static const char* const kNames[] = {"ID", "Name", "Description", "Version", "Memory", "Priority", "Threads", "Path"};
        for (std::size_t k = 0; k < 8; ++k) p.AddAttribute(kNames[k], cells[k]);
    }
    return Root(root);
}

std::string TLogFile::AssemblerToXML(int32_t index) const {
    TXMLItem root("Assembler");
    for (const std::string& raw : SplitLines(GetAssemblerText(index))) {
        const std::string line = Trim(raw);
        TXMLItem& item = root.AddChild("Line");
        if (!line.empty() && line[0] == ';') {
            item.AddAttribute("Address", "");
            item.AddAttribute("Command", "");
            item.AddAttribute("Comment", line.substr(1));
            continue;
        }
        const std::size_t semi = line.find(';');
        item.AddAttribute("Address", line.substr(0, 8));
        const std::string code = semi == npos ? line : line.substr(0, semi);
        item.AddAttribute("Command", code.size() > 10 ? code.substr(10) : std::string());
        item.AddAttribute("Comment", semi == npos ? std::string() : line.substr(semi + 1));
    }
    return Root(root);
}

std::string TLogFile::CpuToXML(int32_t index) const {
    TXMLItem root("CPU");
    const std::string cpu = GetCpuText(index);
    if (Trim(cpu).empty()) return Root(root);
    const std::vector<std::string> lines = SplitLines(cpu);
    const auto field = [](const std::string& line, std::size_t pos, std::size_t n) {
        return pos - 1 < line.size() ? line.substr(pos - 1, n) : std::string();
    };
    TXMLItem& regs = root.AddChild("Registers");
    static const char* const kLeft[] = {"EAX", "EBX", "ECX", "EDX"};
    static const char* const kRight[] = {"EDI", "ESI", "ESP", "EIP"};
    for (int side = 0; side < 2; ++side)
        for (std::size_t k = 0; k < 4; ++k) {
            const std::string v = 2 + k < lines.size() ? field(lines[2 + k], side == 0 ? 6 : 22, 8) : std::string();
            if (!v.empty() && v != "????    ") regs.AddAttribute(side == 0 ? kLeft[k] : kRight[k], v);
        }
    TXMLItem& stack = root.AddChild("Stack");
    for (std::size_t i = 9; i < lines.size(); ++i) {
        TXMLItem& l = stack.AddChild("Line");
        l.AddAttribute("Address", field(lines[i], 1, 8));
        l.AddAttribute("Value", field(lines[i], 11, 8));
    }
    TXMLItem& dump = root.AddChild("MemoryDump");
    for (std::size_t i = 9; i < lines.size(); ++i) {
        TXMLItem& l = dump.AddChild("Line");
        l.AddAttribute("Address", field(lines[i], 22, 8));
        l.AddAttribute("Bytes", field(lines[i], 32, 47));
        l.AddAttribute("Chars", field(lines[i], 81, 16));
    }
    return Root(root);
}

std::string TLogFile::ReproduceToXML(int32_t index) const {
    if (GetReportVersion(index) >= "5.0") return std::string();
    TXMLItem root("HoToReproduce");
    root.AddAttribute("Text", GetOldReproduceText(index));
    return Root(root);
}

std::string TLogFile::ReportToXML(int32_t index) const {
    return IndentInner("<Log Version=\"" + EscapeXmlText(GetReportVersion(index)) + "\">",
                       {GeneralPartToXML(index), CallStackToXML(index), ModulesToXML(index), ProcessesToXML(index),
                        AssemblerToXML(index), CpuToXML(index), ReproduceToXML(index)},
                       "</Log>");
}

std::string TLogFile::GetXMLText() const {
    std::vector<std::string> reports;
    reports.reserve(Reports.size());
    for (int32_t i = 0; i < GetCount(); ++i) reports.push_back(ReportToXML(i));
    return IndentInner("<Doc>", reports, "</Doc>");
}

void TLogFile::SaveXMLToFile(std::string_view path) const {
    if (!WriteWholeFile(path, GetXMLText()))
        throw fw::EInOutError(fw::AnsiToWide("The XML file " + std::string(path) + " cannot be written."));
}

}  // namespace drevnik
