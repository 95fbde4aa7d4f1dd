#include "crashreport/report/ReportText.h"

#include <algorithm>
#include <cstdio>

#include "crashreport/capture/DrevnikUtils.h"
#include "crashreport/capture/InstructionLength.h"
#include "crashreport/debuginfo/DrevnikSystemFacts.h"
#include "crashreport/debuginfo/TDisAsm.h"
#include "crashreport/report/ReportLogItem.h"

namespace drevnik {

namespace {

const char* const kCrLf = "\r\n";

std::string Dashes(std::size_t n) { return std::string(n, '-'); }

std::string ItemId(int section, int item) { return std::to_string(section) + "." + std::to_string(item); }

int IndexOfItem(std::string_view id) {
    const std::vector<TGeneralItemDef>& defs = GeneralItemDefs();
    for (std::size_t i = 0; i < defs.size(); ++i)
        if (ItemId(defs[i].Section, defs[i].Item) == id) return static_cast<int>(i);
    return -1;
}

std::string FileNamePart(std::string_view path) { return ExtractFileName(path); }

std::string FormatTableDateTime(double dateTime) {
    const TDateTimeParts p = DecodeDateTime(dateTime);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", p.Year, p.Month, p.Day, p.Hour, p.Minute,
                  p.Second);
    return buffer;
}

// One table: titles, rows of cells; the rows are written into one buffer
// sized in advance. `extra` holds the call-stack table's block rows.
struct TTable {
    std::vector<std::string> Titles;
    std::vector<std::size_t> Widths;
    std::size_t RowLength() const {
        std::size_t n = Widths.size() + 1;
        for (std::size_t w : Widths) n += w;
        return n;
    }
    void Measure(const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size() && i < Widths.size(); ++i)
            Widths[i] = std::max(Widths[i], cells[i].size());
    }
    std::string Head(std::string_view caption) const {
        const std::string dash = Dashes(RowLength());
        std::string text(caption);
        text += ":\r\n" + dash + kCrLf + "|";
        for (std::size_t i = 0; i < Titles.size(); ++i) text += PadTextRight(Titles[i], Widths[i]) + "|";
        text += kCrLf + dash + kCrLf;
        return text;
    }
    std::string Tail() const { return Dashes(RowLength()) + "\r\n\r\n"; }
};

TTable MakeTable(const TDrevnikModuleOptions& options, std::initializer_list<int> titleTexts) {
    TTable table;
    for (int t : titleTexts) {
        table.Titles.push_back(options.GetText(t));
        table.Widths.push_back(table.Titles.back().size());
    }
    return table;
}

std::vector<std::string_view> Views(const std::vector<std::string>& cells) {
    return std::vector<std::string_view>(cells.begin(), cells.end());
}

std::string QualifiedName(const TCallStackEntry& entry) {
    std::string name;
    const std::string unit = ChangeFileExt(entry.UnitFile, "");
    for (const std::string* part : {&unit, &entry.ClassPart, &entry.RoutineName}) {
        if (part->empty()) continue;
        if (!name.empty()) name += ".";
        name += *part;
    }
    return name;
}

}  // namespace

// ---- General part ----------------------------------------------------------------------

const std::vector<TGeneralItemDef>& GeneralItemDefs() {
    static const std::vector<TGeneralItemDef> defs = [] {
        std::vector<TGeneralItemDef> d;
        for (int i = 1; i <= 6; ++i) d.push_back({1, i, 37 + i, i - 1});
        for (int i = 1; i <= 10; ++i) d.push_back({2, i, 44 + i, 5 + i});
        d.push_back({3, 1, 56, 16});
        d.push_back({3, 2, 57, 17});
        d.push_back({3, 3, 58, 18});
        d.push_back({3, 4, 59, 20});  // 3.4 and 3.5 have their bits crossed
        d.push_back({3, 5, 60, 19});
        for (int i = 1; i <= 4; ++i) d.push_back({4, i, 61 + i, 20 + i});
        for (int i = 1; i <= 11; ++i) d.push_back({5, i, 66 + i, 24 + i});
        for (int i = 1; i <= 5; ++i) d.push_back({6, i, 78 + i, 35 + i});
        for (int i = 1; i <= 6; ++i) d.push_back({7, i, 84 + i, 40 + i});
        return d;
    }();
    return defs;
}

std::string& TGeneralValues::operator[](std::string_view id) {
    const int i = IndexOfItem(id);
    static std::string sink;
    if (i < 0) {
        sink.clear();
        return sink;
    }
    return Values[static_cast<std::size_t>(i)];
}

const std::string& TGeneralValues::operator[](std::string_view id) const {
    static const std::string none;
    const int i = IndexOfItem(id);
    return i < 0 ? none : Values[static_cast<std::size_t>(i)];
}

std::string BuildGeneralPartText(const TDrevnikModuleOptions& options, const TGeneralValues& values) {
    TLogItem log(0);
    const uint64_t mask = options.ReportItemMask();
    const std::vector<TGeneralItemDef>& defs = GeneralItemDefs();
    int section = 0;
    for (std::size_t i = 0; i < defs.size(); ++i) {
        const TGeneralItemDef& d = defs[i];
        if (d.Section != section) {
            section = d.Section;
            log.AddHeader(options.GetText(kGeneralSectionTexts[section - 1]));
        }
        bool shown = (mask & (uint64_t{1} << d.MaskBit)) != 0;
        if (d.Section == 4 && !values.ShowActiveControls) shown = false;
        log.AddItem(options.GetText(d.LabelText), values.Values[i], shown);
    }
    return std::string(kReportVersionLine) + "\r\n\r\n" + log.GetText();
}

std::string ParametersFromCommandLine(std::string_view commandLine, std::string_view programFileName) {
    std::string line = Trim(commandLine);
    if (!line.empty() && line[0] == '"') {
        line.erase(0, 1);
        const std::size_t q = line.find('"');
        if (q != std::string::npos) line.erase(q, 1);
    }
    const std::size_t from = programFileName.size() + 1;  // 0-based: length + 2 in 1-based
    return from < line.size() ? Trim(std::string_view(line).substr(from)) : std::string();
}

std::string ReplaceControlCharsKeepBreaks(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 32 && c != '\r' && c != '\n') c = ' ';
    return out;
}

std::string CustomTextSection(int32_t startSection, std::string_view caption, std::string_view text) {
    if (text.empty()) return std::string();
    TLogItem log(startSection);
    log.AddHeader(caption);
    log.AddItem("", text, true);
    return log.GetText() + kCrLf;
}

std::string CustomDataSection(int32_t startSection, std::string_view caption, const std::vector<std::string>& fields) {
    if (fields.empty()) return std::string();
    TLogItem log(startSection);
    log.AddHeader(caption);
    for (const std::string& field : fields) {
        const std::size_t eq = field.find('=');
        const std::string_view name = eq == std::string::npos ? std::string_view(field) : std::string_view(field).substr(0, eq);
        const std::string_view value = eq == std::string::npos ? std::string_view() : std::string_view(field).substr(eq + 1);
        log.AddItem(Trim(name), Trim(value), true);
    }
    return log.GetText() + kCrLf;
}

void InsertCustomSection(TReportTexts& texts, std::string* reportCopy, std::string_view section) {
    if (section.empty()) return;
    const std::size_t at = std::min(texts.GeneralText.size() + 2, texts.ReportText.size());
    texts.ReportText.insert(at, section);
    if (reportCopy != nullptr) reportCopy->insert(std::min(at, reportCopy->size()), section);
    texts.TextToSend = texts.ReportText;
    texts.GeneralText = texts.ReportText.substr(0, texts.GeneralText.size() + section.size());
}

// ---- Tables ------------------------------------------------------------------------------

void WriteTableRow(std::string& buffer, std::size_t& position, const std::vector<std::string_view>& cells,
                   const std::vector<std::size_t>& widths) {
    for (std::size_t i = 0; i < widths.size(); ++i) {
        buffer[position++] = '|';
        const std::string_view cell = i < cells.size() ? cells[i].substr(0, widths[i]) : std::string_view();
        std::copy(cell.begin(), cell.end(), buffer.begin() + static_cast<std::ptrdiff_t>(position));
        position += widths[i];
    }
    buffer[position++] = '|';
    buffer[position++] = '\r';
    buffer[position++] = '\n';
}

std::string ReplaceTableChars(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\n' || c == '\r' || c == '|') c = '?';
    return out;
}

std::string EmptySectionCaption(std::string_view caption) {
    return std::string(caption) + ":\r\n" + Dashes(caption.size() + 1) + "\r\n\r\n";
}

std::string HexText(uint64_t value, int digits) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%0*llX", digits, static_cast<unsigned long long>(value));
    return buffer;
}

bool IsShownEntryKind(const TDrevnikModuleOptions& options, uint8_t kind) {
    if (kind == ekUnitRoutineLine) return true;
    if (kind == ekRoutine) return (options.StackFlags() & stProcNameEntries) != 0;
    if (kind == ekUnitRoutine) return (options.StackFlags() & stUnitProcEntries) != 0;
    return false;
}

std::string ThreadBlockCaption(const TDrevnikModuleOptions& options, const TCallStackEntry& entry, bool full,
                               const TThreadFactsLookup& threads) {
    std::string caption;
    if (entry.LeakGroupStart != 0) {
        const std::string type = entry.LeakTypeText == "Data" ? options.GetText(106) : entry.LeakTypeText;
        if (full) caption += "+";
        caption += options.GetText(105) + ": " + options.GetText(107) + "=" + type + "; " + options.GetText(108) + "=" +
                   std::to_string(entry.LeakSize) + "; " + options.GetText(109) + "=" + std::to_string(entry.LeakCount);
        return caption;
    }
    if (entry.OwnStack == 0) {
        caption = options.GetText(101);
    } else if (entry.IsFaultAddress != 0) {
        caption = (full ? "*" : "") + options.GetText(99);
    } else {
        caption = options.GetText(100);
    }
    const TThreadFacts facts = threads ? threads(entry.ThreadId) : TThreadFacts{};
    const int32_t id = static_cast<int32_t>(entry.ThreadId);
    caption += ": " + options.GetText(102) + "=" + std::to_string(id < 0 ? 0 : id) + "; " + options.GetText(103) + "=" +
               (facts.Tracked ? std::to_string(facts.Priority) : std::string("??"));
    if (full || !facts.ClassName.empty()) caption += "; " + options.GetText(104) + "=" + facts.ClassName;
    if (facts.IsMain) caption += "; [" + options.GetText(98) + "]";
    return caption;
}

std::string BuildCallStackTable(const TDrevnikModuleOptions& options, const TDrevnikStackList& stack,
                                const TThreadFactsLookup& threads) {
    TTable table = MakeTable(options, {92, 93, 94, 95, 96, 97});
    table.Widths[0] = std::max<std::size_t>(table.Widths[0], 8);
    struct TRow {
        int Index;
        std::vector<std::string> Cells;
    };
    std::vector<TRow> rows;
    for (int i = 0; i < stack.Count(); ++i) {
        const TCallStackEntry& e = stack[i];
        if (!IsShownEntryKind(options, e.EntryKind)) continue;
        std::vector<std::string> cells(6);
        cells[0] = HexText(e.CodeAddress, 8);
        if (e.EntryKind != ekNothing && e.ModuleRecord != nullptr)
            cells[1] = ReplaceTableChars(FileNamePart(e.ModuleRecord->FilePath));
        // Names from debug data may hold "|" or line breaks too: they must not
        // break the row.
        cells[2] = ReplaceTableChars(e.UnitFile);
        cells[3] = ReplaceTableChars(e.ClassPart);
        cells[4] = ReplaceTableChars(e.RoutineName);
        if (e.SourceLine != 0) cells[5] = std::to_string(e.SourceLine) + "[" + std::to_string(e.LineInRoutine) + "]";
        table.Measure(cells);
        rows.push_back({i, std::move(cells)});
    }
    const std::size_t rowLength = table.RowLength();
    const std::size_t inner = rowLength - 2;
    // Count the rows first so the buffer is sized exactly.
    std::size_t rowCount = 0;
    const TCallStackEntry* previous = nullptr;
    std::vector<bool> opens(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const TCallStackEntry& e = stack[rows[r].Index];
        opens[r] = previous == nullptr || e.ThreadId != previous->ThreadId || e.OwnStack != previous->OwnStack ||
                   e.IsFaultAddress != 0;
        if (opens[r]) rowCount += (r == 0 ? 0 : 1 + (e.OwnStack != 0 ? 1 : 0)) + 2;
        ++rowCount;
        previous = &e;
    }
    std::string buffer(rowCount * (rowLength + 2), ' ');
    std::size_t position = 0;
    const std::string dashRow = "|" + Dashes(inner) + "|\r\n";
    const std::string emptyRow = "|" + std::string(inner, ' ') + "|\r\n";
    const auto put = [&](const std::string& row) {
        std::copy(row.begin(), row.end(), buffer.begin() + static_cast<std::ptrdiff_t>(position));
        position += row.size();
    };
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const TCallStackEntry& e = stack[rows[r].Index];
        if (opens[r]) {
            if (r != 0) {
                put(dashRow);
                if (e.OwnStack != 0) put(emptyRow);
            }
            std::string caption = ThreadBlockCaption(options, e, true, threads);
            caption = ReplaceTableChars(caption).substr(0, inner);
            put("|" + PadTextRight(caption, inner) + "|\r\n");
            put(dashRow);
        }
        WriteTableRow(buffer, position, Views(rows[r].Cells), table.Widths);
    }
    buffer.resize(position);
    return table.Head(options.GetText(8)) + buffer + table.Tail();
}

std::string BuildModulesTable(const TDrevnikModuleOptions& options, const TDrevnikModulesList& modules) {
    TTable table = MakeTable(options, {126, 127, 128, 129, 130, 131, 132});
    std::size_t handleDigits = 8;
    std::vector<std::vector<std::string>> rows;
    rows.reserve(static_cast<std::size_t>(modules.Count()));
    for (int i = 0; i < modules.Count(); ++i) {
        const TDrevnikModuleInfo& m = modules[i];
        handleDigits = std::max(handleDigits, HexText(m.ModuleHandle, 1).size());
        std::vector<std::string> cells(7);
        cells[1] = ReplaceTableChars(FileNamePart(m.FilePath));
        cells[2] = ReplaceTableChars(m.FileDescription);
        cells[3] = ReplaceTableChars(m.FileVersionText);
        cells[4] = std::to_string(m.FileSizeBytes);
        cells[5] = FormatTableDateTime(m.FileDate);
        cells[6] = ReplaceTableChars(CleanProcessPath(m.FilePath));
        table.Measure(cells);
        rows.push_back(std::move(cells));
    }
    // Upper-case hexadecimal as wide as the column; a 64-bit handle widens it.
    table.Widths[0] = std::max(table.Widths[0], handleDigits);
    for (int i = 0; i < modules.Count(); ++i)
        rows[static_cast<std::size_t>(i)][0] = HexText(modules[i].ModuleHandle, static_cast<int>(table.Widths[0]));
    const std::size_t rowLength = table.RowLength();
    std::string buffer(rows.size() * (rowLength + 2), ' ');
    std::size_t position = 0;
    for (const auto& cells : rows) WriteTableRow(buffer, position, Views(cells), table.Widths);
    buffer.resize(position);
    return table.Head(options.GetText(10)) + buffer + table.Tail();
}

std::string BuildProcessesTable(const TDrevnikModuleOptions& options, const TDrevnikProcessesList& processes) {
    TTable table = MakeTable(options, {133, 134, 135, 136, 137, 138, 139, 140});
    std::vector<std::vector<std::string>> rows;
    rows.reserve(static_cast<std::size_t>(processes.Count()));
    for (int i = 0; i < processes.Count(); ++i) {
        const TDrevnikProcessInfo& p = processes[i];
        std::vector<std::string> cells(8);
        cells[0] = std::to_string(p.ProcId);
        cells[1] = ReplaceTableChars(FileNamePart(p.ExePath));
        cells[2] = ReplaceTableChars(p.ExeDescription);
        cells[3] = ReplaceTableChars(p.ExeVersion);
        cells[4] = std::to_string(p.WorkingSetBytes);
        cells[5] = PriorityClassName(p.PriorityClass);
        cells[6] = CountOrUnknown(p.ThreadCount);
        cells[7] = ReplaceTableChars(CleanProcessPath(p.ExePath));
        table.Measure(cells);
        rows.push_back(std::move(cells));
    }
    std::string buffer(rows.size() * (table.RowLength() + 2), ' ');
    std::size_t position = 0;
    for (const auto& cells : rows) WriteTableRow(buffer, position, Views(cells), table.Widths);
    buffer.resize(position);
    return table.Head(options.GetText(12)) + buffer + table.Tail();
}

// ---- Assembler and CPU ------------------------------------------------------------------

bool TReportMemory::Readable(uintptr_t address, std::size_t length) const {
    if (!Read || length == 0) return false;
    if (address + length < address) return false;
    uint8_t scratch[256];
    while (length > 0) {
        const std::size_t n = std::min(length, sizeof scratch);
        if (!Read(address, scratch, n)) return false;
        address += n;
        length -= n;
    }
    return true;
}

namespace {

// The readable bytes of [from, to) as far as they go without a gap.
std::vector<uint8_t> ReadPrefix(const TReportMemory& memory, uintptr_t from, uintptr_t to) {
    std::vector<uint8_t> bytes;
    if (to <= from) return bytes;
    bytes.resize(to - from);
    if (memory.Read(from, bytes.data(), bytes.size())) return bytes;
    std::size_t n = 0;
    while (n < bytes.size() && memory.Read(from + n, bytes.data() + n, 1)) ++n;
    bytes.resize(n);
    return bytes;
}

// Steps over instructions from `from` until `target` is reached or passed;
// undecodable bytes advance one byte and are not counted.
uintptr_t StepInstructions(const std::vector<uint8_t>& bytes, uintptr_t base, uintptr_t from, uintptr_t target,
                           int& count, int limit = -1) {
    uintptr_t at = from;
    count = 0;
    while (at < target && (limit < 0 || count < limit)) {
        const std::size_t offset = at - base;
        int length = 0;
        if (offset < bytes.size() &&
            GetInstructionLength(std::span<const uint8_t>(bytes).subspan(offset), length) && length > 0) {
            at += static_cast<uintptr_t>(length);
            ++count;
        } else {
            at += 1;
        }
    }
    return at;
}

}  // namespace

TAssemblerListing BuildAssemblerListing(const TDrevnikModuleOptions& options, uintptr_t address,
                                        const TReportMemory& memory, const TAddressNames& names) {
    TAssemblerListing result;
    if (!memory.Readable(address, 4)) return result;
    constexpr uintptr_t kSpan = 70;
    // 1. The first start from which decoding lands exactly on the address.
    uintptr_t first = address >= kSpan ? address - kSpan : 0;
    while (first < address && !memory.Readable(first, 1)) ++first;
    const uintptr_t last = address + kSpan;
    const std::vector<uint8_t> before = ReadPrefix(memory, first, address + TDisAsm::MaxInstructionLength);
    uintptr_t start = address;
    int count = 0;
    for (uintptr_t candidate = first; candidate < address; ++candidate) {
        int n = 0;
        if (StepInstructions(before, first, candidate, address, n) == address) {
            start = candidate;
            count = n;
            break;
        }
    }
    // 2. At most ten instructions before the address.
    if (count > 10) {
        int skipped = 0;
        start = StepInstructions(before, first, start, address, skipped, count - 10);
    }
    // 3. The end, moved back over unreadable bytes.
    uintptr_t end = last;
    while (end > address && !memory.Readable(end, 1)) --end;
    const std::vector<uint8_t> code = ReadPrefix(memory, start, end + TDisAsm::MaxInstructionLength);

    // 4. The disassembler with the naming and string-comment callbacks.
    const auto lookup = [&](uintptr_t at) {
        TCallStackEntry entry;
        if (names.Lookup) names.Lookup(at, entry);
        return entry;
    };
    const auto nameAddress = [&](uintptr_t, uint32_t, uint32_t target, std::string& text) {
        const uintptr_t x = names.ResolveThunk ? names.ResolveThunk(target) : target;
        const TCallStackEntry entry = lookup(x);
        if (entry.EntryKind >= ekRoutine && entry.EntryKind <= ekUnitRoutineLine) {
            text = QualifiedName(entry);
            if (entry.LineInRoutine > 1) text += " (Line=" + std::to_string(entry.SourceLine) + ")";
        } else if (names.ObjectClassName) {
            const std::string cls = names.ObjectClassName(x);
            if (!cls.empty()) text = cls;
        }
    };
    TDisAsm disasm;
    disasm.OnNameJump = nameAddress;
    disasm.OnNameCall = nameAddress;
    disasm.OnNameValue = nameAddress;
    disasm.OnMemoryOperand = [](uintptr_t, const TEffectiveAddress&, int, std::string&) {};
    disasm.OnImmediate = [&](uintptr_t, uint32_t at, int size, bool isSigned, std::string& text) {
        if (isSigned || size != 4) return;
        uint32_t target = 0;
        if (!memory.Read(at, &target, 4) || !memory.Readable(target, 1)) return;
        std::string chars;
        bool ended = false;
        for (uint32_t i = 0; i < 32; ++i) {
            uint8_t b = 0;
            if (!memory.Read(target + i, &b, 1)) break;
            if (b == 0) {
                ended = true;
                break;
            }
            chars += b < 32 ? '.' : static_cast<char>(b);
        }
        text += "  ; '" + chars + "'" + (ended ? "" : "...");
    };

    // 5 and 6. The lines, with a header wherever the routine or line changes.
    std::vector<std::string> lines;
    std::size_t widest = 0;
    std::size_t cut = 0;
    std::string previousName;
    std::string previousLine;
    int afterCount = 0;
    uintptr_t at = start;
    while (at <= end) {
        const std::size_t offset = at - start;
        if (offset >= code.size()) break;
        int length = 0;
        std::string text;
        disasm.DisassembleInstruction(std::span<const uint8_t>(code).subspan(offset), static_cast<uint32_t>(at), length,
                                      text);
        if (length <= 0) break;
        std::string line = HexText(at, 8) + "  " + text;
        const std::size_t semi = line.find(';');
        widest = std::max(widest, Trim(semi == std::string::npos ? line : line.substr(0, semi)).size());
        if (at == address) line += "  ; <-- EXCEPTION";
        const TCallStackEntry entry = lookup(at);
        if (entry.EntryKind >= ekRoutine && entry.EntryKind <= ekUnitRoutineLine) {
            const std::string name = QualifiedName(entry) + " ";
            const std::string where =
                "Line=" + std::to_string(entry.SourceLine) + " - Offset=" + std::to_string(entry.LineInRoutine);
            std::string header;
            if (name != previousName) {
                header = name;
                if (at <= address) cut = lines.size();
            }
            if (where != previousLine) header = header.empty() ? where : header + "(" + where + ")";
            previousName = name;
            previousLine = where;
            if (!header.empty()) {
                if (!lines.empty()) lines.push_back(";");
                lines.push_back("; " + header);
                lines.push_back("; " + Dashes(header.size()));
            }
        }
        lines.push_back(std::move(line));
        const uint8_t firstByte = code[offset];
        if (at > address) {
            ++afterCount;
            if (afterCount >= 10 || (firstByte >= 0xC2 && firstByte <= 0xCB)) break;
        }
        at += static_cast<uintptr_t>(length);
    }
    // 7. The listing starts with the header of the routine that holds the address.
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(cut, lines.size())));
    if (!lines.empty() && lines.front() == ";") lines.erase(lines.begin());
    // 8. Comments line up.
    std::size_t longest = 0;
    for (std::string& line : lines) {
        const std::size_t semi = line.find(';');
        if (semi != std::string::npos && semi > 0 && semi + 1 < widest + 2) line.insert(semi, widest + 2 - semi, ' ');
        longest = std::max(longest, line.size());
    }
    // 9. Caption and text.
    const std::string caption = options.GetText(14);
    result.Caption = caption + ":\r\n" + Dashes(std::max(caption.size() + 1, longest));
    for (const std::string& line : lines) result.Text += line + kCrLf;
    return result;
}

std::string BuildMemoryDumpText(uintptr_t stackPointer, uintptr_t address, const TReportMemory& memory) {
    uint8_t stack[64];
    uint8_t bytes[256];
    if (!memory.Read(stackPointer, stack, sizeof stack) || !memory.Read(address, bytes, sizeof bytes))
        return std::string();
    std::string text;
    text.reserve(16 * 98);
    for (int i = 0; i < 16; ++i) {
        const uint32_t word = static_cast<uint32_t>(stack[4 * i]) | (static_cast<uint32_t>(stack[4 * i + 1]) << 8) |
                              (static_cast<uint32_t>(stack[4 * i + 2]) << 16) |
                              (static_cast<uint32_t>(stack[4 * i + 3]) << 24);
        text += HexText(stackPointer + 4u * static_cast<unsigned>(i), 8) + ": " + HexText(word, 8) + "   " +
                HexText(address + 16u * static_cast<unsigned>(i), 8) + ": ";
        std::string chars;
        for (int k = 0; k < 16; ++k) {
            const uint8_t b = bytes[16 * i + k];
            text += HexText(b, 2) + " ";
            chars += b < 32 || b > 126 ? '.' : static_cast<char>(b);
        }
        text += " " + chars + kCrLf;
    }
    return text;
}

std::string BuildCpuSection(const TDrevnikModuleOptions& options, const std::optional<TCpuRegisters>& registers,
                            std::string_view memoryDump) {
    const auto reg = [&](uint32_t TCpuRegisters::*field) {
        return registers ? HexText((*registers).*field, 8) : std::string("????    ");
    };
    const std::string stackCaption = PadTextRight(options.GetText(142) + ":", 21);
    std::string text = options.GetText(141) + ":\r\n" + Dashes(29) + kCrLf;
    text += "EAX: " + reg(&TCpuRegisters::Eax) + "   EDI: " + reg(&TCpuRegisters::Edi) + kCrLf;
    text += "EBX: " + reg(&TCpuRegisters::Ebx) + "   ESI: " + reg(&TCpuRegisters::Esi) + kCrLf;
    text += "ECX: " + reg(&TCpuRegisters::Ecx) + "   ESP: " + reg(&TCpuRegisters::Esp) + kCrLf;
    text += "EDX: " + reg(&TCpuRegisters::Edx) + "   EIP: " + reg(&TCpuRegisters::Eip) + kCrLf;
    text += kCrLf + stackCaption + options.GetText(143) + ":\r\n" + Dashes(18) + "   " + Dashes(75) + kCrLf;
    text += memoryDump;
    return text;
}

// ---- The whole report ------------------------------------------------------------------------

TReportTexts BuildReportTexts(const TDrevnikModuleOptions& options, const TReportInputs& inputs,
                              const std::function<void(int32_t)>& step) {
    const auto at = [&](int32_t n) {
        if (step) step(n);
    };
    TReportTexts t;
    at(7021);
    t.ReportHeaderText = options.GetText(4) + "\r\n\r\n";
    at(7022);
    at(702200);
    t.GeneralText = BuildGeneralPartText(options, inputs.General);
    at(702233);
    const uint8_t logFlags = options.LogFlags();
    const std::string emptyAssemblerCaption = options.GetText(14) + ":\r\n" + Dashes(options.GetText(14).size() + 1);
    if ((logFlags & lgAssemblerAndCpu) != 0) {
        at(7023);
        std::string dump;
        if (inputs.CodeIs32Bit) {
            const TAssemblerListing listing =
                BuildAssemblerListing(options, inputs.ExceptionAddress, inputs.Memory, inputs.Names);
            t.AssemblerCaption = listing.Caption;
            t.AssemblerText = listing.Text;
            at(7024);
            if (inputs.Registers) dump = BuildMemoryDumpText(inputs.StackPointer, inputs.ExceptionAddress, inputs.Memory);
        }
        // Without a listing the caption still stands: an empty caption would
        // put four line breaks in a row into the report, which the log
        // reader takes for the report's end, losing the CPU section.
        if (t.AssemblerCaption.empty()) t.AssemblerCaption = emptyAssemblerCaption;
        t.CpuText = BuildCpuSection(options, inputs.CodeIs32Bit ? inputs.Registers : std::nullopt, dump);
    } else {
        t.AssemblerCaption = emptyAssemblerCaption;
        t.CpuText = EmptySectionCaption(options.GetText(141));
    }
    at(7027);
    std::string tables;
    if (inputs.Stack != nullptr) {
        tables = BuildCallStackTable(options, *inputs.Stack, inputs.Threads);
    } else {
        TDrevnikStackList none;
        tables = BuildCallStackTable(options, none, inputs.Threads);
    }
    at(7040);
    if ((logFlags & lgModulesAndProcesses) != 0) {
        TDrevnikModulesList noModules;
        TDrevnikProcessesList noProcesses;
        tables += BuildModulesTable(options, inputs.Modules != nullptr ? *inputs.Modules : noModules);
        tables += BuildProcessesTable(options, inputs.Processes != nullptr ? *inputs.Processes : noProcesses);
    } else {
        tables += EmptySectionCaption(options.GetText(10)) + EmptySectionCaption(options.GetText(12));
    }
    t.ReportText = t.GeneralText + kCrLf + tables + t.AssemblerCaption + kCrLf + t.AssemblerText + kCrLf + t.CpuText;
    t.TextToSend = t.ReportText;
    return t;
}

}  // namespace drevnik
