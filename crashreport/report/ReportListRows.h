// The rows of the report dialog's lists (call stack, modules, processes):
// what each row holds, the groups that fold under their heads, and the
// list-item insertions and removals a fold or unfold needs. The list view
// itself shows only the visible rows, in order.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "crashreport/capture/DrevnikLists.h"
#include "crashreport/capture/DrevnikOptions.h"

namespace drevnik {

struct TListRow {
    std::vector<std::string> Cells;
    int32_t Image = -1;
    int32_t Indent = 0;  // 0 or 1
    int32_t UserValue = 0;
    bool Head = false;
    bool Expanded = true;
    bool Separator = false;
    bool Visible = true;
    std::string Caption;
    int Attach = -1;  // the row this one hangs under; -1 none
};

// One change of the list view: an item inserted for `Row` or removed, at `Position`.
struct TListChange {
    bool Insert = false;
    int Position = 0;
    int Row = 0;
};

class TListRows {
public:
    explicit TListRows(std::string indentText = "   ") : indentText_(std::move(indentText)) {}

    // Appends a row; true when it is visible (it always is when added).
    void AddRow(std::vector<std::string> cells, const std::string& caption, bool head, int32_t userValue,
                int32_t image);
    // Folds or unfolds the head at list item `item`; the changes to apply in order.
    std::vector<TListChange> ToggleGroup(int item);
    // The row shown at list item `item`; -1 when none.
    int RowOfListItem(int item) const;
    int VisibleCount() const;

    const std::vector<TListRow>& Rows() const { return rows_; }
    const TListRow& Row(int index) const { return rows_.at(static_cast<std::size_t>(index)); }

private:
    std::string indentText_;
    std::vector<TListRow> rows_;
    int level_ = 0;
    int last_ = -1;
};

// Whether a click at (x, y), relative to the item, hits the +/- sign of a head.
bool HitsExpandSign(const TListRow& row, int x, int y, int indentStep);

// Row contents of the three lists.
struct TRowSpec {
    std::vector<std::string> Cells;
    std::string Caption;
    bool Head = false;
    int32_t UserValue = 0;
    int32_t Image = -1;
};
using TGroupCaption = std::function<std::string(const TCallStackEntry& entry)>;
std::vector<TRowSpec> CallStackRows(const TDrevnikStackList& stack, uint8_t stackFlags, const TGroupCaption& caption);
int ModuleImageIndex(const std::string& filePath);
std::vector<TRowSpec> ModuleRows(const TDrevnikModulesList& modules);
std::vector<TRowSpec> ProcessRows(const TDrevnikProcessesList& processes);

}  // namespace drevnik
