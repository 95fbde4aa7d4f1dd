// Measuring owner-drawn menu items and the short-cut texts, with a fixed
// text measure: every character 5 pixels wide, lines 13 high (notes 10).
#include "widgets/buttons/KelMenuLayout.h"

#include <gtest/gtest.h>

#include <map>

namespace kel::menus {
namespace {

TTextSize Caption(const std::wstring& s) { return {5 * int(s.size()), 13}; }
TTextSize Notes(const std::wstring& s) { return {4 * int(s.size()), 10}; }

TItemMeasureInput Item(const std::wstring& caption, const std::function<void(TItemMeasureInput&)>& change = {}) {
    TItemMeasureInput in;
    in.Caption = caption;
    if (change) change(in);
    return in;
}

TEST(MenuLayout, MeasureItem) {
    struct Row {
        const char* name;
        TItemMeasureInput in;
        TTextSize initial, expected;
    } rows[] = {
        {"hidden", Item(L"Open", [](auto& i) { i.Visible = false; }), {40, 20}, {0, 0}},
        {"separator", Item(L"-", [](auto& i) { i.IsLine = true; }), {40, 20}, {-2, 3}},
        // 24 + 15 + 50 + 7 + 17; no images: 20 - 3 + 2 = 19, even 20.
        {"caption", Item(L"0123456789"), {40, 20}, {113, 20}},
        // The text height + 6 bounds the height from below.
        {"low", Item(L"0123456789"), {40, 8}, {113, 19}},
        {"image list", Item(L"0123456789", [](auto& i) { i.HasImageList = true, i.ImageListHeight = 24; }), {40, 20},
         {113, 26}},
        {"bitmap", Item(L"0123456789", [](auto& i) { i.BitmapHeight = 21; }), {40, 20}, {113, 24}},
        {"short-cut", Item(L"Open", [](auto& i) { i.ShortCutText = L"Ctrl+O"; }), {40, 20}, {113, 20}},
        {"win key", Item(L"Open", [](auto& i) { i.ShortCutText = L"Win+Ctrl+O", i.WinKey = true; }), {40, 20},
         {153, 20}},
        {"side bar", Item(L"0123456789", [](auto& i) { i.SideBar = true, i.SideBarSize = 24, i.SplitterWidth = 1; }),
         {40, 20}, {138, 20}},
        // Caption line "Open"; notes 4 pixels a character: the widest line (a
        // 30-character note, 120) + 17 + 24 + 8 = 169; height 19 + 2 notes * 10.
        {"notes", Item(L"Open\\n012345678901234567890123456789\\nab"), {40, 20}, {169, 39}},
        {"notes hidden", Item(L"Ab\\nc", [](auto& i) { i.ShowNotes = false; }), {40, 20}, {24 + 15 + 25 + 7 + 17, 20}},
    };
    for (const Row& row : rows) {
        const TTextSize got = MeasureMenuItem(row.in, row.initial, Caption, Notes);
        EXPECT_EQ(got.Width, row.expected.Width) << row.name;
        EXPECT_EQ(got.Height, row.expected.Height) << row.name;
    }
}

TEST(MenuLayout, CaptionNotes) {
    EXPECT_EQ(SplitCaptionNotes(L"Open\\nfile\\nnow"), (std::vector<std::wstring>{L"Open", L"file", L"now"}));
    EXPECT_EQ(SplitCaptionNotes(L"Plain"), (std::vector<std::wstring>{L"Plain"}));
    EXPECT_FALSE(HasNotes(L"a\\b"));
}

TEST(MenuLayout, ShortCutTexts) {
    const std::map<int, std::wstring> layout = {
        {0x10, L"SHIFT"}, {0x11, L"CONTROL"}, {0x12, L"ALT"}, {'S', L"S"}, {0x2E, L"DELETE (num)"}};
    auto name = [&](int key) { return layout.at(key); };
    struct Row {
        uint16_t shortCut;
        bool intl;
        std::wstring expected;
    } rows[] = {
        {0x4000 | 'S', false, L"Ctrl+S"},
        {0x0200 | 0x4000 | 'S', false, L"Win+Ctrl+S"},
        {0x0200 | 0x4000 | 'S', true, L"Control+S"},
        {0x6000 | 0x74, true, L"Control+Shift+F5"},
        {0xE000 | 0x87, true, L"Alt+Control+Shift+F24"},
        {0x2E, true, L"Delete (Num)"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ShortCutDisplayText(row.shortCut, row.intl, L"Ctrl+S", name), row.expected) << row.shortCut;
}

}  // namespace
}  // namespace kel::menus
