// The menu styler: defaults, indexed colours and their error, assignment
// of every part, glyphs, and the notification of the attached menu.
#include "widgets/buttons/KelMenuStyler.h"

#include <gtest/gtest.h>

#include <functional>

#include "widgets/buttons/KelPopupMenu.h"

namespace kel::menus {
namespace {

// Counts the item rebuilds the styler asks of its menu.
class CountingMenu : public TKelPopupMenu {
public:
    using TKelPopupMenu::TKelPopupMenu;
    void UpdateItems() override { ++updates; }
    int updates = 0;
};

TEST(MenuStyler, Defaults) {
    TKelMenuStyler styler(nullptr);
    struct Row {
        const char* name;
        fw::TColor got, expected;
    } rows[] = {
        {"IconBar.Color", styler.IconBar().Color(), 0xFFF9F9},
        {"IconBar.ColorTo", styler.IconBar().ColorTo(), 0xBBA0A1},
        {"IconBar.CheckColor", styler.IconBar().Check().Color, 0x6FC0FF},
        {"IconBar.SeparatorColor", styler.IconBar().SeparatorColor(), fw::clNone},
        {"SelectedItem.Color", styler.SelectedItem().Color(), 0xC2EEFF},
        {"SelectedItem.CheckColor", styler.SelectedItem().Check().Color, 0x3E80FE},
        {"RootItem.SelectedColorTo", styler.RootItem().GetSelectedColorByIndex(1), 0xCDB8B9},
        {"RootItem.HoverColor", styler.RootItem().GetHoverColorByIndex(0), 0xCFF6FF},
        {"Background.Color", styler.Background().Color(), 0xFFFAFD},
        {"Separator.Color", styler.Separator().Color(), 0x8F6D6E},
        {"SideBar.SplitterColor", styler.SideBar().SplitterColor(), fw::clGray},
        {"SideBar.SplitterColorTo", styler.SideBar().SplitterColorTo(), fw::clBlack},
        {"SideBar.BorderColor", styler.SideBar().BorderColor(), 0xA19D9D},
        {"MenuBorderColor", styler.MenuBorderColor(), 0x7C7C94},
        {"ButtonAppearance.HoverColor", styler.ButtonAppearance().HoverColor(), 0xD2BDB6},
        {"NotesFont.Color", styler.NotesFont().Color(), fw::clGray},
        {"SelectedItem.NotesFont.Color", styler.SelectedItem().NotesFont().Color(), fw::clWindowText},
    };
    for (const Row& row : rows) EXPECT_EQ(row.got, row.expected) << row.name;
    EXPECT_EQ(styler.IconBar().Size(), 24);
    EXPECT_EQ(styler.IconBar().GradientDirection(), gdHorizontal);
    EXPECT_EQ(styler.Separator().Width(), 1);
    EXPECT_EQ(styler.Separator().Margin(), 2);
    EXPECT_EQ(styler.Separator().GradientType(), gtBoth);
    EXPECT_EQ(styler.Background().Position(), bpCenter);
    EXPECT_FALSE(styler.SideBar().Visible());
    EXPECT_EQ(styler.SideBar().Font().Name(), L"Tahoma");
    EXPECT_EQ(styler.SideBar().Font().Size(), 14);
    EXPECT_EQ(styler.AntiAlias(), aaNone);
    EXPECT_EQ(styler.NotesFont().Size(), fw::MenuFont().Size() - 2);
    EXPECT_EQ(styler.SelectedItem().NotesFont().Size(), fw::MenuFont().Size() - 2);
    // A new background has an empty picture, not none.
    ASSERT_NE(styler.Background().Image(), nullptr);
    EXPECT_FALSE(styler.Background().HasPicture());
}

TEST(MenuStyler, IndexedColoursRejectIndicesOutsideTheirRange) {
    TKelMenuStyler styler(nullptr);
    styler.IconBar().SetColorByIndex(1, 0x123456);
    EXPECT_EQ(styler.IconBar().ColorTo(), 0x123456);
    auto expectError = [](const auto& call, int index) {
        try {
            call();
            ADD_FAILURE() << "no error for index " << index;
        } catch (const EInvalidPropertyIndex& e) {
            EXPECT_EQ(e.Message(), L"Invalid property index " + std::to_wstring(index) + L".");
        }
    };
    expectError([&] { styler.IconBar().SetColorByIndex(2, 0); }, 2);
    expectError([&] { styler.Background().GetColorByIndex(-1); }, -1);
    expectError([&] { styler.IconBar().SetCheckColorByIndex(2, 0); }, 2);
    expectError([&] { styler.SelectedItem().SetRadioColorByIndex(5, 0); }, 5);
    expectError([&] { styler.RootItem().SetHoverColorByIndex(4, 0); }, 4);
    EXPECT_EQ(styler.IconBar().ColorTo(), 0x123456);
    styler.RootItem().SetSelectedColorByIndex(3, 0x010203);
    EXPECT_EQ(styler.RootItem().GetSelectedColorByIndex(3), 0x010203);
}

TEST(MenuStyler, ChangesReachTheAttachedMenu) {
    CountingMenu menu(nullptr);
    TKelMenuStyler styler(nullptr);
    menu.SetMenuStyler(&styler);
    EXPECT_EQ(styler.AttachedMenu(), &menu);
    EXPECT_EQ(styler.IconBar().MenuLink(), &menu);
    EXPECT_EQ(styler.SideBar().Background().MenuLink(), nullptr);
    struct Row {
        const char* name;
        std::function<void()> change;
        int updates;
    } rows[] = {
        {"size below 16", [&] { styler.IconBar().SetSize(10); }, 1},
        {"size 30", [&] { styler.IconBar().SetSize(30); }, 1},
        {"plain colour", [&] { styler.IconBar().SetColorByIndex(0, 0); }, 0},
        {"check colour", [&] { styler.IconBar().SetCheckColorByIndex(0, 0); }, 0},
        {"font", [&] { styler.SetFont(fw::MenuFont()); }, 1},
        {"selected system font", [&] { styler.SelectedItem().SetUseSystemFont(false); }, 1},
        {"hover colour", [&] { styler.RootItem().SetHoverColorByIndex(2, 0); }, 1},
        {"anti-alias", [&] { styler.SetAntiAlias(aaClearType); }, 1},
        {"side-bar font", [&] { styler.SideBar().SetFont(fw::MenuFont()); }, 1},
        {"submenu glyph", [&] { styler.Glyphs().SetSubMenu(nullptr); }, 0},
    };
    for (const Row& row : rows) {
        menu.updates = 0;
        row.change();
        EXPECT_EQ(menu.updates, row.updates) << row.name;
    }
    EXPECT_EQ(styler.IconBar().Size(), 30);
    EXPECT_EQ(styler.Glyphs().SubMenu().Width(), 0);
    menu.SetMenuStyler(nullptr);
    EXPECT_EQ(styler.AttachedMenu(), nullptr);
    EXPECT_EQ(styler.IconBar().MenuLink(), nullptr);
}

TEST(MenuStyler, EveryMenuSharingTheStylerHearsChangesAndFontEdits) {
    TKelMenuStyler styler(nullptr);
    CountingMenu first(nullptr), second(nullptr);
    first.SetMenuStyler(&styler);
    second.SetMenuStyler(&styler);
    EXPECT_EQ(styler.AttachedMenu(), &second);
    EXPECT_EQ(styler.IconBar().MenuLink(), &second);
    struct Row {
        const char* name;
        std::function<void()> change;
    } rows[] = {
        {"icon size", [&] { styler.IconBar().SetSize(28); }},
        {"font style", [&] { styler.Font().SetStyle(fw::fsBold); }},
        {"font colour", [&] { styler.Font().SetColor(fw::clRed); }},
        {"notes font size", [&] { styler.NotesFont().SetHeight(styler.NotesFont().Height() - 3); }},
        {"selected font name", [&] { styler.SelectedItem().Font().SetName(L"Courier New"); }},
        {"selected notes font", [&] { styler.SelectedItem().NotesFont().SetStyle(fw::fsItalic); }},
        {"root font", [&] { styler.RootItem().Font().SetHeight(styler.RootItem().Font().Height() - 3); }},
        {"side-bar font", [&] { styler.SideBar().Font().SetSize(20); }},
        {"font setter", [&] { styler.SetFont(fw::MenuFont()); }},
    };
    for (const Row& row : rows) {
        first.updates = second.updates = 0;
        row.change();
        EXPECT_EQ(first.updates, 1) << row.name;
        EXPECT_EQ(second.updates, 1) << row.name;
    }
    // A menu that leaves the styler hears no more of it.
    first.SetMenuStyler(nullptr);
    first.updates = second.updates = 0;
    styler.IconBar().SetSize(30);
    EXPECT_EQ(first.updates, 0);
    EXPECT_EQ(second.updates, 1);
    EXPECT_EQ(styler.AttachedMenus().size(), 1u);
    {
        CountingMenu third(nullptr);
        third.SetMenuStyler(&styler);
    }
    // A freed menu is gone from the list; the one before it is linked again.
    EXPECT_EQ(styler.AttachedMenu(), &second);
    EXPECT_EQ(styler.IconBar().MenuLink(), &second);
}

TEST(MenuStyler, SizeHasAFloorOf16) {
    TKelMenuStyler styler(nullptr);
    for (auto [given, stored] : {std::pair{10, 16}, {16, 16}, {30, 30}}) {
        styler.IconBar().SetSize(given);
        EXPECT_EQ(styler.IconBar().Size(), stored);
    }
}

TEST(MenuStyler, AssignCopiesEveryPart) {
    TKelMenuStyler source(nullptr), target(nullptr);
    source.IconBar().SetColorByIndex(0, 1);
    source.IconBar().SetColorByIndex(1, 2);
    source.IconBar().SetGradientDirection(gdVertical);
    source.IconBar().SetCheckColorByIndex(1, 3);
    source.IconBar().SetSize(40);
    source.SelectedItem().SetColorByIndex(0, 4);
    source.SelectedItem().SetCheckBorder(5);
    source.SelectedItem().NotesFont().SetSize(20);
    source.RootItem().SetHoverColorByIndex(3, 6);
    source.Background().SetMarginX(7);
    source.Separator().SetGradientWidth(8);
    source.Separator().SetColorByIndex(1, 9);
    source.SideBar().SetSplitterColor(10);
    source.SideBar().SetVisibleIn(viAnyLevel);
    source.SideBar().SetCaption(L"Side");
    source.SetMenuBorderColor(11);
    source.SetAntiAlias(aaAntiAlias);
    source.NotesFont().SetSize(21);
    source.ButtonAppearance().CaptionFont().SetName(L"Courier New");
    target.Assign(source);
    EXPECT_EQ(target.IconBar().Color(), 1);
    EXPECT_EQ(target.IconBar().ColorTo(), 2);
    EXPECT_EQ(target.IconBar().GradientDirection(), gdVertical);
    EXPECT_EQ(target.IconBar().Check().ColorTo, 3);
    EXPECT_EQ(target.IconBar().Size(), 40);
    EXPECT_EQ(target.SelectedItem().Color(), 4);
    EXPECT_EQ(target.SelectedItem().Check().Border, 5);
    EXPECT_EQ(target.SelectedItem().NotesFont().Size(), 20);
    EXPECT_EQ(target.RootItem().GetHoverColorByIndex(3), 6);
    EXPECT_EQ(target.Background().MarginX(), 7);
    EXPECT_EQ(target.Separator().GradientWidth(), 8);
    EXPECT_EQ(target.Separator().ColorTo(), 9);
    EXPECT_EQ(target.SideBar().SplitterColor(), 10);
    EXPECT_EQ(target.SideBar().VisibleIn(), viAnyLevel);
    EXPECT_EQ(target.SideBar().Caption(), L"Side");
    EXPECT_EQ(target.MenuBorderColor(), 11);
    EXPECT_EQ(target.AntiAlias(), aaAntiAlias);
    EXPECT_EQ(target.NotesFont().Size(), 21);
    EXPECT_EQ(target.ButtonAppearance().CaptionFont().Name(), L"Courier New");
    fw::TComponent other(nullptr);
    EXPECT_THROW(target.Assign(other), fw::EConvertError);
}

TEST(MenuStyler, GlyphsAreBuiltInAndCopied) {
    TKelMenuStyler source(nullptr), target(nullptr);
    struct Row {
        fw::TBitmap& glyph;
        int w, h, blackX, blackY, whiteX, whiteY;
    } rows[] = {
        {source.Glyphs().SubMenu(), 4, 7, 0, 3, 3, 0},
        {source.Glyphs().Check(), 16, 16, 6, 11, 0, 15},
        {source.Glyphs().Radio(), 16, 16, 7, 7, 5, 5},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.glyph.Width(), row.w);
        EXPECT_EQ(row.glyph.Height(), row.h);
        EXPECT_EQ(row.glyph.ScanLine(row.blackY)[row.blackX] & 0xFFFFFF, 0u);
        EXPECT_EQ(row.glyph.ScanLine(row.whiteY)[row.whiteX] & 0xFFFFFF, 0xFFFFFFu);
    }
    source.Glyphs().SetCheck(&source.Glyphs().SubMenu());
    target.Glyphs().Assign(source.Glyphs());
    EXPECT_EQ(target.Glyphs().Check().Width(), 4);
    EXPECT_EQ(target.Glyphs().Check().Height(), 7);
    fw::TBitmap probe;
    EXPECT_FALSE(LoadMenuGlyph(L"KELNOTHING", probe));
}

TEST(MenuStyler, BackgroundImageCanBeDropped) {
    TKelMenuStyler styler(nullptr);
    styler.Background().SetImage(nullptr);
    ASSERT_NE(styler.Background().Image(), nullptr);
    EXPECT_FALSE(styler.Background().HasPicture());
}

}  // namespace
}  // namespace kel::menus
