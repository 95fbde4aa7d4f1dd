#include "crashreport/report/ReportListRows.h"

#include "crashreport/capture/DrevnikUtils.h"
#include "crashreport/debuginfo/DrevnikCallStack.h"
#include "crashreport/debuginfo/DrevnikSystemFacts.h"
#include "crashreport/report/ReportDialogText.h"
#include "crashreport/report/ReportText.h"

namespace drevnik {

void TListRows::AddRow(std::vector<std::string> cells, const std::string& caption, bool head, int32_t userValue,
                       int32_t image) {
    TListRow row;
    row.Cells = std::move(cells);
    row.Image = image;
    row.UserValue = userValue;
    row.Head = head;
    std::string joined;
    for (const std::string& cell : row.Cells) joined += cell;
    row.Separator = !head && Trim(joined).empty();
    if (head) ++level_;
    if (row.Separator) level_ = 0;
    if (!row.Separator && level_ > 1 && !row.Cells.empty()) {
        row.Cells[0] = indentText_ + row.Cells[0];
        row.Indent = 1;
    }
    row.Caption = caption;
    row.Attach = last_;
    rows_.push_back(std::move(row));
    last_ = rows_.back().Separator ? -1 : static_cast<int>(rows_.size()) - 1;
}

int TListRows::RowOfListItem(int item) const {
    if (item < 0) return -1;
    int seen = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (!rows_[i].Visible) continue;
        if (seen == item) return static_cast<int>(i);
        ++seen;
    }
    return -1;
}

int TListRows::VisibleCount() const {
    int n = 0;
    for (const TListRow& row : rows_) n += row.Visible ? 1 : 0;
    return n;
}

std::vector<TListChange> TListRows::ToggleGroup(int item) {
    std::vector<TListChange> changes;
    const int headIndex = RowOfListItem(item);
    if (headIndex < 0 || !rows_[static_cast<std::size_t>(headIndex)].Head) return changes;
    TListRow& head = rows_[static_cast<std::size_t>(headIndex)];
    head.Expanded = !head.Expanded;
    int position = item + 1;
    for (std::size_t i = static_cast<std::size_t>(headIndex) + 1; i < rows_.size(); ++i) {
        TListRow& row = rows_[i];
        if (row.Separator) break;
        const bool was = row.Visible;
        row.Visible = head.Expanded;
        if (row.Visible && !was) {
            changes.push_back({true, position++, static_cast<int>(i)});
            if (row.Head && !row.Expanded) {
                // Its own rows stay folded; the walk ends here.
                break;
            }
        } else if (!row.Visible && was) {
            changes.push_back({false, position, static_cast<int>(i)});
        } else if (row.Visible) {
            ++position;
        }
    }
    return changes;
}

bool HitsExpandSign(const TListRow& row, int x, int y, int indentStep) {
    if (!row.Head) return false;
    const int s = row.Attach < 0 ? 0 : indentStep;
    return x >= s + 2 && x <= s + 12 && y > 1 && y < 13;
}

std::vector<TRowSpec> CallStackRows(const TDrevnikStackList& stack, uint8_t stackFlags, const TGroupCaption& caption) {
    std::vector<TRowSpec> rows;
    const TStackKindSet kinds = StackEntryKindsFromOptions(stackFlags);
    const TCallStackEntry* previous = nullptr;
    for (int i = 0; i < stack.Count(); ++i) {
        const TCallStackEntry& e = stack[i];
        if (!StackKindInSet(kinds, e.EntryKind)) continue;
        const uint8_t moduleKind = e.ModuleRecord != nullptr ? e.ModuleRecord->ModuleKind : uint8_t{mkUnknown};
        if (moduleKind == mkProgram && e.EntryKind == 3) continue;
        const bool newGroup = previous == nullptr || e.ThreadId != previous->ThreadId ||
                              e.OwnStack != previous->OwnStack || e.IsFaultAddress != 0;
        if (newGroup) {
            if (previous != nullptr && e.OwnStack != 0)
                rows.push_back({std::vector<std::string>(6), {}, false, 0, -1});
            rows.push_back({std::vector<std::string>(6), caption ? caption(e) : std::string(), true,
                            static_cast<int32_t>(e.OwnStack + 2 * e.IsFaultAddress), -1});
        }
        TRowSpec row;
        row.Cells = {HexText(e.CodeAddress, 8),
                     e.EntryKind == 0 || e.ModuleRecord == nullptr ? std::string()
                                                                    : ExtractFileName(e.ModuleRecord->FilePath),
                     e.UnitFile,
                     e.ClassPart,
                     e.RoutineName,
                     e.SourceLine == 0 ? std::string()
                                       : std::to_string(e.SourceLine) + "[" + std::to_string(e.LineInRoutine) + "]"};
        if (e.EntryKind == 4)
            row.Image = 3;
        else
            row.Image = moduleKind == mkProgram ? 2 : moduleKind == mkRuntimePackage ? 1 : moduleKind <= mkLibrary ? 0 : 3;
        rows.push_back(std::move(row));
        previous = &e;
    }
    return rows;
}

int ModuleImageIndex(const std::string& filePath) {
    const std::string ext = UpperCase(ExtractFileExt(filePath));
    if (ext == ".BPL" || ext == ".DPL") return 1;
    if (ext == ".EXE") return 2;
    return 0;
}

std::vector<TRowSpec> ModuleRows(const TDrevnikModulesList& modules) {
    std::vector<TRowSpec> rows;
    for (int i = 0; i < modules.Count(); ++i) {
        const TDrevnikModuleInfo& m = modules[i];
        TRowSpec row;
        row.Cells = {HexText(m.ModuleHandle, 8),
                     ExtractFileName(m.FilePath),
                     m.FileDescription,
                     ShortenVersion(m.FileVersionText),
                     FormatKb(m.FileSizeBytes),
                     FormatReportDateTime(m.FileDate),
                     CleanProcessPath(m.FilePath)};
        row.Image = ModuleImageIndex(m.FilePath);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<TRowSpec> ProcessRows(const TDrevnikProcessesList& processes) {
    std::vector<TRowSpec> rows;
    for (int i = 0; i < processes.Count(); ++i) {
        const TDrevnikProcessInfo& p = processes[i];
        TRowSpec row;
        row.Cells = {std::to_string(p.ProcId),
                     ExtractFileName(p.ExePath),
                     p.ExeDescription,
                     ShortenVersion(p.ExeVersion),
                     FormatKb(p.WorkingSetBytes),
                     PriorityClassName(p.PriorityClass),
                     CountOrUnknown(p.ThreadCount),
                     CleanProcessPath(ExtractFilePath(p.ExePath))};
        row.Image = 2;
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace drevnik
