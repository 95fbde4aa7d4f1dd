// The styled popup menu: stylers in use, handler installation, placement,
// and a live menu on the screen: its "#32768" window subclassed, clipped,
// framed in two rings, and items chosen by keyboard and mouse.
#include "widgets/buttons/KelPopupMenu.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "framework/gui/actions.h"
#include "framework/gui/image_list.h"
#include "tests/support/win_test_app.h"
#include "widgets/buttons/KelMenuDraw.h"

namespace kel::menus {
namespace {

using fw::test::FindOwnWindow;
using fw::test::PumpUntil;
using fw::test::TestApplication;

fw::TMenuItem* AddItem(TKelPopupMenu& menu, fw::TMenuItem* parent, const std::wstring& caption) {
    auto* item = new fw::TMenuItem(&menu);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

TEST(KelPopupMenu, StylerInUse) {
    TKelPopupMenu menu(nullptr);
    TCustomKelMenuStyler* internal = menu.GetCurrentStyler();
    ASSERT_NE(internal, nullptr);
    EXPECT_EQ(internal->Name(), L"InternalMenuStyler");
    EXPECT_EQ(menu.MenuStyler(), nullptr);
    EXPECT_EQ(menu.GetVersion(), L"2.5.3.3");
    auto* styler = new TKelMenuStyler(nullptr);
    styler->IconBar().SetColorByIndex(0, fw::clRed);
    menu.SetMenuStyler(styler);
    EXPECT_EQ(menu.GetCurrentStyler(), styler);
    EXPECT_EQ(styler->AttachedMenu(), &menu);
    // Freeing the user's styler falls back to a new default one.
    delete styler;
    ASSERT_NE(menu.GetCurrentStyler(), nullptr);
    EXPECT_EQ(menu.MenuStyler(), nullptr);
    EXPECT_EQ(menu.GetCurrentStyler()->IconBar().Color(), 0xFFF9F9);
    // Setting none at run time gives a fresh default styler, attached.
    TKelMenuStyler other(nullptr);
    menu.SetMenuStyler(&other);
    menu.SetMenuStyler(nullptr);
    EXPECT_EQ(menu.GetCurrentStyler()->AttachedMenu(), &menu);
    EXPECT_EQ(other.AttachedMenu(), nullptr);
}

TEST(KelPopupMenu, UserHandlersStay) {
    TestApplication();
    TKelPopupMenu menu(nullptr);
    fw::TMenuItem* own = AddItem(menu, menu.Items(), L"Own");
    fw::TMenuItem* plain = AddItem(menu, menu.Items(), L"Plain");
    int ownDraws = 0;
    own->OnAdvancedDrawItem = [&](fw::TComponent*, fw::TCanvas&, RECT, fw::TOwnerDrawState) { ++ownDraws; };
    AddItem(menu, plain, L"Inner");
    menu.UpdateItems();
    EXPECT_TRUE(own->OnMeasureItem);
    EXPECT_TRUE(plain->OnMeasureItem);
    EXPECT_TRUE(plain->Items(0)->OnAdvancedDrawItem);
    fw::TBitmap bmp(50, 20);
    own->DrawItem(bmp.Canvas(), RECT{0, 0, 50, 20}, 0);
    EXPECT_EQ(ownDraws, 1);
}

TEST(KelPopupMenu, PlacementCorrection) {
    using A = fw::TPopupAlignment;
    struct Row {
        int x;
        A align;
        int expected;
    } rows[] = {
        // Width 100 measured, desktop 1000.
        {849, A::paLeft, 866}, {848, A::paLeft, 848},  {134, A::paRight, 151}, {133, A::paRight, 133},
        {500, A::paCenter, 508}, {995, A::paCenter, 999}, {999, A::paLeft, 999},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TKelPopupMenu::CorrectedPopupX(row.x, 100, 1000, row.align), row.expected) << row.x;
}

// ---- the live menu

struct LiveState {
    std::function<void(HWND)> onOpen;
    bool done = false;
};
LiveState* g_live = nullptr;

void CALLBACK OnMenuOpen(HWND owner, UINT, UINT_PTR id, DWORD) {
    HWND window = FindOwnWindow(L"#32768");
    if (!window || !IsWindowVisible(window)) return;
    KillTimer(owner, id);
    g_live->onOpen(window);
    g_live->done = true;
}

// Pops the menu up at (x, y); `onOpen` runs inside the menu loop.
void PopupAndRun(TKelPopupMenu& menu, int x, int y, std::function<void(HWND)> onOpen) {
    LiveState state{std::move(onOpen)};
    g_live = &state;
    SetTimer(fw::PopupListWindow(), 0x4B45, 50, OnMenuOpen);
    menu.Popup(x, y);
    KillTimer(fw::PopupListWindow(), 0x4B45);
    g_live = nullptr;
    EXPECT_TRUE(state.done);
}

void SaveBmp(const std::string& path, fw::TBitmap& bmp) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = bmp.Width();
    info.biHeight = -bmp.Height();
    info.biPlanes = 1;
    info.biBitCount = 32;
    const DWORD bytes = static_cast<DWORD>(bmp.Width() * bmp.Height() * 4);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + bytes;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&file, sizeof(file), 1, f);
        std::fwrite(&info, sizeof(info), 1, f);
        std::fwrite(bmp.Bits(), bytes, 1, f);
        std::fclose(f);
    }
}

uint32_t Rgb(fw::TColor c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

class LiveMenu : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        styler.SetMenuBorderColor(0x0000C0);
        styler.Background().SetColorByIndex(0, 0x00C000);
        menu.SetMenuStyler(&styler);
        first = AddItem(menu, menu.Items(), L"First");
        second = AddItem(menu, menu.Items(), L"Second");
        AddItem(menu, menu.Items(), L"-");
        AddItem(menu, AddItem(menu, menu.Items(), L"Third"), L"Inner");
        first->SetShortCut(fw::scCtrl | 'F');
        second->SetChecked(true);
        first->OnClick = [this](fw::TComponent*) { ++firstClicks; };
        second->OnClick = [this](fw::TComponent*) { ++secondClicks; };
    }
    TKelMenuStyler styler{nullptr};
    TKelPopupMenu menu{nullptr};
    fw::TMenuItem* first = nullptr;
    fw::TMenuItem* second = nullptr;
    int firstClicks = 0;
    int secondClicks = 0;
};

TEST_F(LiveMenu, WindowIsClippedFramedAndChosenFromTheKeyboard) {
    BOOL animationBefore = FALSE, animationAfter = FALSE;
    SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &animationBefore, 0);
    RECT region{}, window{};
    bool subclassed = false;
    std::vector<uint32_t> ring;
    PopupAndRun(menu, 100, 100, [&](HWND hwnd) {
        PumpUntil([] { return false; }, 300);  // let every item paint
        GetWindowRect(hwnd, &window);
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        GetWindowRgn(hwnd, rgn);
        GetRgnBox(rgn, &region);
        DeleteObject(rgn);
        subclassed = GetPropW(hwnd, L"KelMenuWindowProc") != nullptr;
        const int w = window.right - window.left, h = window.bottom - window.top;
        fw::TBitmap shot(w, h);
        HDC screen = GetDC(nullptr);
        BitBlt(shot.Canvas().Handle(), 0, 0, w, h, screen, window.left, window.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
        GdiFlush();
        SaveBmp("kel_popup_menu.bmp", shot);
        // Left edge inwards at mid height: hidden column, border ring, background ring.
        for (int x = 1; x <= 2; ++x) ring.push_back(shot.ScanLine(h / 2)[x] & 0xFFFFFF);
        ring.push_back(shot.ScanLine(1)[w / 2] & 0xFFFFFF);
        PostMessageW(hwnd, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
    });
    EXPECT_TRUE(subclassed);
    const int w = window.right - window.left, h = window.bottom - window.top;
    EXPECT_EQ(region.left, 1);
    EXPECT_EQ(region.top, 1);
    EXPECT_EQ(region.right, w - 1 - 17);
    EXPECT_EQ(region.bottom, h - 1);
    ASSERT_EQ(ring.size(), 3u);
    EXPECT_EQ(ring[0], Rgb(0x0000C0));
    EXPECT_EQ(ring[1], Rgb(0x00C000));
    EXPECT_EQ(ring[2], Rgb(0x0000C0));
    EXPECT_TRUE(PumpUntil([&] { return firstClicks == 1; }, 3000));
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(firstClicks, 1);
    EXPECT_EQ(secondClicks, 0);
    SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &animationAfter, 0);
    EXPECT_EQ(animationBefore, animationAfter);
}

TEST_F(LiveMenu, ChosenWithTheMouse) {
    PopupAndRun(menu, 120, 120, [&](HWND hwnd) {
        PumpUntil([] { return false; }, 200);
        RECT item{};
        ASSERT_TRUE(GetMenuItemRect(hwnd, menu.Handle(), 1, &item));
        const int x = (item.left + item.right) / 2 - 17, y = (item.top + item.bottom) / 2;
        const int sw = GetSystemMetrics(SM_CXSCREEN) - 1, sh = GetSystemMetrics(SM_CYSCREEN) - 1;
        INPUT in[3] = {};
        for (INPUT& i : in) {
            i.type = INPUT_MOUSE;
            i.mi.dx = x * 65535 / sw;
            i.mi.dy = y * 65535 / sh;
        }
        in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
        in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
        SendInput(3, in, sizeof(INPUT));
    });
    EXPECT_TRUE(PumpUntil([&] { return secondClicks == 1; }, 3000));
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(secondClicks, 1);
    EXPECT_EQ(firstClicks, 0);
}

TEST_F(LiveMenu, AnActionItemShowsTheActionsImageAndRunsItOnce) {
    fw::TImageList images(nullptr, 16, 16);
    fw::TBitmap red(16, 16);
    red.Canvas().Brush().SetColor(fw::clRed);
    red.Canvas().FillRect(RECT{0, 0, 16, 16});
    images.AddMasked(red, fw::clWhite);
    fw::TActionList list(nullptr);
    list.SetImages(&images);
    fw::TAction action(nullptr);
    action.SetActionList(&list);
    action.SetCaption(L"Run action");
    action.SetImageIndex(0);
    int executed = 0, itemClicks = 0;
    action.OnExecute = [&](fw::TComponent*) { ++executed; };
    fw::TMenuItem* item = AddItem(menu, menu.Items(), L"");
    item->OnClick = [&](fw::TComponent*) { ++itemClicks; };
    item->SetAction(&action);
    bool redShown = false;
    PopupAndRun(menu, 140, 100, [&](HWND hwnd) {
        PumpUntil([] { return false; }, 300);
        RECT window{};
        GetWindowRect(hwnd, &window);
        const int w = window.right - window.left, h = window.bottom - window.top;
        fw::TBitmap shot(w, h);
        HDC screen = GetDC(nullptr);
        BitBlt(shot.Canvas().Handle(), 0, 0, w, h, screen, window.left, window.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
        GdiFlush();
        SaveBmp("kel_popup_menu_action.bmp", shot);
        for (int y = h / 2; y < h && !redShown; ++y)
            for (int x = 0; x < 30 && !redShown; ++x) redShown = (shot.ScanLine(y)[x] & 0xFFFFFF) == 0xFF0000;
        // Up from no selection picks the last item.
        PostMessageW(hwnd, WM_KEYDOWN, VK_UP, 0);
        PostMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
    });
    EXPECT_TRUE(redShown);
    EXPECT_TRUE(PumpUntil([&] { return executed == 1; }, 3000));
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(executed, 1);
    EXPECT_EQ(itemClicks, 0);
    EXPECT_EQ(firstClicks + secondClicks, 0);
    item->SetAction(nullptr);
}

}  // namespace
}  // namespace kel::menus
