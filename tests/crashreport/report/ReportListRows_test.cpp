#include "crashreport/report/ReportListRows.h"

#include <gtest/gtest.h>

#include <memory>

namespace drevnik {
namespace {

std::vector<std::string> Cells(const char* first) { return {first, "", "", "", "", ""}; }
std::vector<std::string> Empty() { return std::vector<std::string>(6); }

// Exception thread, its rows, the indented group of the thread that started
// it, a separator, then another thread.
TListRows SampleRows() {
    TListRows rows("  ");
    rows.AddRow(Empty(), "Exception Thread", true, 3, -1);  // 0
    rows.AddRow(Cells("00401000"), "", false, 0, 2);         // 1
    rows.AddRow(Empty(), "Calling Thread", true, 0, -1);     // 2
    rows.AddRow(Cells("00402000"), "", false, 0, 2);         // 3
    rows.AddRow(Empty(), "", false, 0, -1);                  // 4 separator
    rows.AddRow(Empty(), "Main", true, 1, -1);               // 5
    rows.AddRow(Cells("00403000"), "", false, 0, 2);         // 6
    return rows;
}

std::vector<int> VisibleRows(const TListRows& rows) {
    std::vector<int> out;
    for (int i = 0; i < rows.VisibleCount(); ++i) out.push_back(rows.RowOfListItem(i));
    return out;
}

TEST(ReportListRows, IndentsTheStartingThreadsGroup) {
    const TListRows rows = SampleRows();
    EXPECT_EQ(rows.Row(1).Indent, 0);
    EXPECT_EQ(rows.Row(2).Indent, 1);
    EXPECT_EQ(rows.Row(3).Indent, 1);
    EXPECT_EQ(rows.Row(3).Cells[0], "  00402000");
    EXPECT_TRUE(rows.Row(4).Separator);
    EXPECT_EQ(rows.Row(6).Indent, 0);
    EXPECT_EQ(rows.Row(5).Attach, -1);
    EXPECT_EQ(rows.Row(2).Attach, 1);
}

TEST(ReportListRows, FoldingHidesUpToTheSeparatorAndUnfoldingStopsAtAFoldedHead) {
    TListRows rows = SampleRows();
    // Fold the starting thread's group first, then the exception thread's.
    auto changes = rows.ToggleGroup(2);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_FALSE(changes[0].Insert);
    EXPECT_EQ(changes[0].Position, 3);
    changes = rows.ToggleGroup(0);
    ASSERT_EQ(changes.size(), 2u);  // row 1 and the head of row 2 go, both at item 1
    EXPECT_EQ(changes[0].Position, 1);
    EXPECT_EQ(changes[1].Position, 1);
    EXPECT_EQ(VisibleRows(rows), (std::vector<int>{0, 4, 5, 6}));
    // Unfold: the folded head comes back, its rows stay hidden.
    changes = rows.ToggleGroup(0);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_TRUE(changes[0].Insert && changes[1].Insert);
    EXPECT_EQ(changes[0].Row, 1);
    EXPECT_EQ(changes[1].Position, 2);
    EXPECT_EQ(VisibleRows(rows), (std::vector<int>{0, 1, 2, 4, 5, 6}));
    // A row that is no head folds nothing.
    EXPECT_TRUE(rows.ToggleGroup(1).empty());
}

TEST(ReportListRows, ExpandSignArea) {
    const TListRows rows = SampleRows();
    EXPECT_TRUE(HitsExpandSign(rows.Row(0), 2, 5, 14));
    EXPECT_FALSE(HitsExpandSign(rows.Row(0), 13, 5, 14));
    EXPECT_FALSE(HitsExpandSign(rows.Row(0), 5, 13, 14));
    EXPECT_TRUE(HitsExpandSign(rows.Row(2), 16, 5, 14));  // attached: one indent step in
    EXPECT_FALSE(HitsExpandSign(rows.Row(2), 2, 5, 14));
    EXPECT_FALSE(HitsExpandSign(rows.Row(1), 2, 5, 14));
}

TEST(ReportListRows, CallStackGroupsAndImages) {
    TDrevnikModuleInfo program;
    program.ModuleKind = mkProgram;
    program.FilePath = "C:\\app\\Quorvex.exe";
    TDrevnikModuleInfo library;
    library.ModuleKind = mkLibrary;
    library.FilePath = "C:\\windows\\system32\\user32.dll";
    TDrevnikStackList stack;
    const auto add = [&](uint32_t thread, uint8_t kind, TDrevnikModuleInfo* module, uint8_t fault, int line) {
        auto e = std::make_unique<TCallStackEntry>();
        e->ThreadId = thread;
        e->EntryKind = kind;
        e->ModuleRecord = module;
        e->IsFaultAddress = fault;
        e->CodeAddress = 0x401000 + stack.Count();
        e->SourceLine = line;
        e->LineInRoutine = 3;
        stack.Add(std::move(e));
    };
    add(7, 4, &program, 0, 12);  // a running thread, no fault
    add(7, 3, &program, 0, 0);   // the program's kind 3: left out
    add(7, 2, &library, 0, 0);
    add(9, 4, &program, 1, 0);   // another thread's group
    const std::vector<TRowSpec> rows = CallStackRows(stack, 0xFF, [](const TCallStackEntry& e) {
        return "thread " + std::to_string(e.ThreadId);
    });
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_TRUE(rows[0].Head);  // no separator before the first group
    EXPECT_EQ(rows[0].Caption, "thread 7");
    EXPECT_EQ(rows[0].UserValue, 1);
    EXPECT_EQ(rows[1].Cells[0], "00401000");
    EXPECT_EQ(rows[1].Cells[1], "Quorvex.exe");
    EXPECT_EQ(rows[1].Cells[5], "12[3]");
    EXPECT_EQ(rows[1].Image, 3);
    EXPECT_EQ(rows[2].Image, 0);
    EXPECT_EQ(rows[2].Cells[5], "");
    EXPECT_FALSE(rows[3].Head);  // separator
    EXPECT_TRUE(rows[4].Head);
    EXPECT_EQ(rows[4].UserValue, 3);

    EXPECT_EQ(ModuleImageIndex("C:\\x\\rtl70.DpL"), 1);
    EXPECT_EQ(ModuleImageIndex("pkg.bpl"), 1);
    EXPECT_EQ(ModuleImageIndex("a.EXE"), 2);
    EXPECT_EQ(ModuleImageIndex("a.dll"), 0);
}

}  // namespace
}  // namespace drevnik
