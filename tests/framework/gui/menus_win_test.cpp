// Menus: building the system menu from the items, the routing of the menu
// messages, popping up from a control and the form's menu bar.
#include "framework/gui/menus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/gui/forms.h"
#include "framework/gui/std_edit.h"
#include "tests/support/win_test_app.h"

namespace fw {
namespace {

using test::PumpUntil;
using test::TestApplication;

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const std::wstring& caption) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

struct ItemInfo {
    std::wstring text;
    UINT type, state;
    HMENU sub;
};

ItemInfo Info(HMENU menu, int pos) {
    wchar_t text[64] = {};
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
    mii.dwTypeData = text;
    mii.cch = 64;
    GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &mii);
    return {text, mii.fType, mii.fState, mii.hSubMenu};
}

TEST(Menus, ShortCutTexts) {
    const std::pair<TShortCut, const wchar_t*> rows[] = {
        {ShortCut('S', ssCtrl), L"Ctrl+S"},
        {ShortCut(VK_F5, ssShift), L"Shift+F5"},
        {ShortCut(VK_DELETE, 0), L"Del"},
        {ShortCut('Z', ssCtrl | ssAlt | ssShift), L"Shift+Ctrl+Alt+Z"},
        {scNone, L""},
    };
    for (auto [sc, text] : rows) EXPECT_EQ(ShortCutToText(sc), text) << sc;
}

TEST(Menus, SystemMenuFollowsTheItems) {
    TestApplication();
    TPopupMenu menu(nullptr);
    TMenuItem* root = menu.Items();
    TMenuItem* copy = AddItem(&menu, root, L"Copy");
    copy->SetShortCut(ShortCut('C', ssCtrl));
    copy->SetDefault(true);
    AddItem(&menu, root, L"-");
    TMenuItem* hidden = AddItem(&menu, root, L"Hidden");
    hidden->SetVisible(false);
    TMenuItem* grey = AddItem(&menu, root, L"Grey");
    grey->SetEnabled(false);
    TMenuItem* rate = AddItem(&menu, root, L"Rate");
    std::vector<TMenuItem*> radios;
    for (const wchar_t* caption : {L"Slow", L"Fast", L"Other group"}) {
        TMenuItem* r = AddItem(&menu, rate, caption);
        r->SetRadioItem(true);
        radios.push_back(r);
    }
    radios[2]->SetGroupIndex(1);
    radios[2]->SetChecked(true);
    radios[0]->SetChecked(true);
    radios[1]->SetChecked(true);  // unchecks Slow, not the other group
    EXPECT_FALSE(radios[0]->Checked());
    EXPECT_TRUE(radios[2]->Checked());

    HMENU h = menu.Handle();
    ASSERT_EQ(GetMenuItemCount(h), 4);  // the hidden item is left out
    const ItemInfo c = Info(h, 0), line = Info(h, 1), g = Info(h, 2), r = Info(h, 3);
    EXPECT_EQ(c.text, L"Copy\tCtrl+C");
    EXPECT_TRUE(c.state & MFS_DEFAULT);
    EXPECT_TRUE(line.type & MFT_SEPARATOR);
    EXPECT_TRUE(g.state & MFS_DISABLED);
    ASSERT_EQ(r.sub, rate->Handle());
    ASSERT_NE(r.sub, nullptr);
    EXPECT_FALSE(Info(r.sub, 0).state & MFS_CHECKED);
    EXPECT_TRUE(Info(r.sub, 1).state & MFS_CHECKED);
    EXPECT_TRUE(Info(r.sub, 1).type & MFT_RADIOCHECK);
    EXPECT_TRUE(Info(r.sub, 2).state & MFS_CHECKED);

    // A change builds the menu again.
    copy->SetCaption(L"Copy all");
    EXPECT_EQ(Info(menu.Handle(), 0).text, L"Copy all\tCtrl+C");
    menu.SetOwnerDraw(true);
    EXPECT_TRUE(Info(menu.Handle(), 0).type & MFT_OWNERDRAW);
}

TEST(Menus, PopupListWindowRoutesTheMenuMessagesToTheItems) {
    TestApplication();
    TPopupMenu menu(nullptr);
    menu.SetOwnerDraw(true);
    TMenuItem* item = AddItem(&menu, menu.Items(), L"Item");
    TMenuItem* parent = AddItem(&menu, menu.Items(), L"More");
    AddItem(&menu, parent, L"Inner");
    std::vector<std::wstring> log;
    item->OnClick = [&](TComponent*) { log.push_back(L"click"); };
    item->OnSelect = [&](TComponent*) { log.push_back(L"select"); };
    item->OnMeasureItem = [&](TComponent*, TCanvas&, int& w, int& h) {
        log.push_back(L"measure " + std::to_wstring(w) + L"x" + std::to_wstring(h));
        w = 120;
        h = 24;
    };
    item->OnAdvancedDrawItem = [&](TComponent*, TCanvas& canvas, RECT r, TOwnerDrawState state) {
        log.push_back((state & odSelected) ? L"draw selected" : L"draw");
        canvas.Brush().SetColor(clRed);
        canvas.FillRect(r);
    };
    parent->OnClick = [&](TComponent*) { log.push_back(L"open sub-menu"); };
    HMENU h = menu.Handle();
    HWND list = PopupListWindow();

    MEASUREITEMSTRUCT mis{ODT_MENU, 0, item->Command(), 10, 10, item->Command()};
    EXPECT_EQ(SendMessageW(list, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)), TRUE);
    EXPECT_EQ(mis.itemWidth, 120u);
    EXPECT_EQ(mis.itemHeight, 24u);

    TBitmap bmp(130, 30);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemID = item->Command();
    dis.itemState = ODS_SELECTED;
    dis.hDC = bmp.Canvas().Handle();
    dis.rcItem = RECT{0, 0, 120, 24};
    EXPECT_EQ(SendMessageW(list, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)), TRUE);
    GdiFlush();
    EXPECT_EQ(bmp.ScanLine(5)[5] & 0xFFFFFF, 0xFF0000u);

    SendMessageW(list, WM_MENUSELECT, MAKEWPARAM(item->Command(), MF_HILITE), reinterpret_cast<LPARAM>(h));
    SendMessageW(list, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(parent->Handle()), 1);
    SendMessageW(list, WM_COMMAND, MAKEWPARAM(item->Command(), 0), 0);
    EXPECT_EQ(log, (std::vector<std::wstring>{L"measure 10x10", L"draw selected", L"select", L"open sub-menu",
                                              L"click"}));
    // A command of an item that is gone reaches nobody.
    const UINT gone = item->Command();
    delete item;
    EXPECT_EQ(TMenuItem::FindByCommand(gone), nullptr);
    SendMessageW(list, WM_COMMAND, MAKEWPARAM(gone, 0), 0);
    EXPECT_EQ(log.size(), 5u);
}

TEST(Menus, RightClickPopsUpTheControlsMenu) {
    auto& app = TestApplication();
    auto* form = app.CreateForm<TForm>(std::wstring(L"TFwPopupTestForm"));
    form->SetBounds(0, 0, 200, 150);
    auto* menu = new TPopupMenu(form);
    TMenuItem* first = AddItem(form, menu->Items(), L"First");
    form->SetPopupMenu(menu);
    form->Show();
    int clicks = 0;
    first->OnClick = [&](TComponent*) { ++clicks; };
    TComponent* popped = nullptr;
    // Choose the first item from the keyboard once the menu loop runs.
    menu->OnPopup = [&](TComponent*) {
        popped = menu->PopupComponent();
        PostMessageW(PopupListWindow(), WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(PopupListWindow(), WM_KEYDOWN, VK_RETURN, 0);
    };
    POINT at = form->ClientToScreen(POINT{20, 20});
    SendMessageW(form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form->Handle()), MAKELPARAM(at.x, at.y));
    EXPECT_EQ(popped, form);
    EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }, 3000));
    form->Free();
}

TEST(Menus, FormMenuBarTakesCommandsAndShortcuts) {
    auto& app = TestApplication();
    auto* form = app.CreateForm<TForm>(std::wstring(L"TFwMenuBarForm"));
    auto* bar = new TMainMenu(form);
    TMenuItem* file = AddItem(form, bar->Items(), L"File");
    TMenuItem* save = AddItem(form, file, L"Save");
    save->SetShortCut(ShortCut('S', ssCtrl));
    int saves = 0;
    save->OnClick = [&](TComponent*) { ++saves; };
    form->SetMenu(bar);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    std::vector<WORD> editKeys;
    edit->OnKeyDown = [&](TComponent*, WORD& key, TShiftState) { editKeys.push_back(key); };
    HWND h = form->Handle();
    EXPECT_EQ(GetMenu(h), bar->Handle());
    wchar_t text[32] = {};
    GetMenuStringW(GetMenu(h), 0, text, 32, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(text), L"File");
    file->SetCaption(L"Project");
    GetMenuStringW(GetMenu(h), 0, text, 32, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(text), L"Project");

    SendMessageW(h, WM_COMMAND, MAKEWPARAM(save->Command(), 0), 0);
    EXPECT_EQ(saves, 1);
    // Ctrl+S in the edit is the menu's; Ctrl+A is the edit's.
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = 0x80;
    SetKeyboardState(state);
    SendMessageW(edit->Handle(), WM_KEYDOWN, 'S', 0);
    SendMessageW(edit->Handle(), WM_KEYDOWN, 'A', 0);
    state[VK_CONTROL] = 0;
    SetKeyboardState(state);
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(editKeys, std::vector<WORD>{'A'});
    form->Free();
}

}  // namespace
}  // namespace fw
