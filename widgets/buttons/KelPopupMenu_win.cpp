#include "widgets/buttons/KelPopupMenu.h"

#include "framework/gui/application.h"
#include "framework/gui/image_list.h"
#include "widgets/buttons/KelMenuDraw.h"
#include "widgets/buttons/KelMenuItemPainter.h"
#include "widgets/buttons/KelMenuLayout.h"

namespace kel::menus {

namespace {

// The menu window's own procedure, kept while ours is installed.
const wchar_t kOldProcProp[] = L"KelMenuWindowProc";

int VisibleIndex(fw::TMenuItem* item) {
    fw::TMenuItem* parent = item->Parent();
    int index = 0;
    for (int i = 0; parent && i < parent->Count() && parent->Items(i) != item; ++i)
        if (parent->Items(i)->Visible()) ++index;
    return index;
}

void RestoreMenuWindow(HWND hwnd) {
    SetWindowRgn(hwnd, nullptr, TRUE);
    if (HANDLE old = GetPropW(hwnd, kOldProcProp)) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        RemovePropW(hwnd, kOldProcProp);
    }
}

LRESULT CALLBACK MenuWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // The items paint the whole window.
    if (msg == WM_ERASEBKGND) return 1;
    auto old = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kOldProcProp));
    if ((msg == WM_SHOWWINDOW && !wParam) || msg == WM_CLOSE || msg == WM_DESTROY) RestoreMenuWindow(hwnd);
    return old ? CallWindowProcW(old, hwnd, msg, wParam, lParam) : DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int ItemDepth(fw::TMenuItem* item) {
    int depth = -1;
    for (fw::TMenuItem* p = item->Parent(); p; p = p->Parent()) ++depth;
    return depth < 0 ? 0 : depth;
}

bool SubmenuOpensRight(fw::TMenuItem* item) {
    RECT first{};
    HMENU level = NativeMenuOf(item);
    if (!level || !GetMenuItemRect(nullptr, level, 0, &first) || IsRectEmpty(&first)) return true;
    fw::TMenuItem* parent = item->Parent();
    if (!parent || !parent->Visible()) return false;
    RECT owner{};
    HMENU parentLevel = NativeMenuOf(parent);
    if (!parentLevel || !GetMenuItemRect(nullptr, parentLevel, static_cast<UINT>(VisibleIndex(parent)), &owner))
        return true;
    return first.left > owner.left || (first.left == owner.left && first.right > owner.right);
}

struct TKelPopupMenu::MeasureHandler {
    TKelPopupMenu* menu;
    void operator()(fw::TComponent* sender, fw::TCanvas& canvas, int& width, int& height) const {
        auto* item = static_cast<fw::TMenuItem*>(sender);
        MeasureMenuItem(item, canvas, width, height, SideBarShownFor(item));
    }
};

struct TKelPopupMenu::DrawHandler {
    TKelPopupMenu* menu;
    void operator()(fw::TComponent* sender, fw::TCanvas& canvas, RECT rect, fw::TOwnerDrawState state) const {
        auto* item = static_cast<fw::TMenuItem*>(sender);
        RECT r = rect;
        r.right -= kRightReserve;
        DrawMenuItem(item, canvas, r, SideBarShownFor(item), state);
        menu->FrameMenuWindow(item, canvas);
    }
};

TKelPopupMenu::TKelPopupMenu(fw::TComponent* owner) : fw::TPopupMenu(owner) {
    SetOwnerDraw(true);
    SetMenuAnimation(fw::maNone);
    CreateInternalStyler();
}

TKelPopupMenu::~TKelPopupMenu() {
    if (menu_styler_) menu_styler_->DetachMenu(this);
    menu_styler_ = current_styler_ = nullptr;
    delete internal_styler_;
}

void TKelPopupMenu::CreateInternalStyler() {
    menu_styler_ = nullptr;
    delete internal_styler_;
    internal_styler_ = new TCustomKelMenuStyler(this);
    internal_styler_->SetName(L"InternalMenuStyler");
    current_styler_ = internal_styler_;
}

void TKelPopupMenu::SetMenuStyler(TCustomKelMenuStyler* styler) {
    if (styler == menu_styler_) return;
    if (menu_styler_) {
        menu_styler_->DetachMenu(this);
        RemoveFreeNotification(menu_styler_);
    }
    if (!styler) {
        CreateInternalStyler();
    } else {
        delete internal_styler_;
        internal_styler_ = nullptr;
        menu_styler_ = current_styler_ = styler;
        FreeNotification(styler);
    }
    if (!Destroying()) current_styler_->AttachMenu(this);
}

void TKelPopupMenu::SetDisabledImages(fw::TImageList* images) {
    if (disabled_images_) RemoveFreeNotification(disabled_images_);
    disabled_images_ = images;
    if (images) FreeNotification(images);
}

void TKelPopupMenu::Notification(fw::TComponent* component, fw::TOperation operation) {
    fw::TPopupMenu::Notification(component, operation);
    if (operation != fw::TOperation::opRemove) return;
    if (component == internal_styler_) internal_styler_ = nullptr;
    if (component == menu_styler_ && !Destroying() && component->Owner() != this) {
        // The user's styler went away: fall back to a default one.
        menu_styler_ = nullptr;
        CreateInternalStyler();
    }
    if (component == disabled_images_) disabled_images_ = nullptr;
}

void TKelPopupMenu::HookMenuItems(fw::TMenuItem* parent) {
    for (int i = 0; i < parent->Count(); ++i) {
        fw::TMenuItem* item = parent->Items(i);
        if (!item->OnAdvancedDrawItem.target<DrawHandler>()) {
            if (!item->OnMeasureItem) item->OnMeasureItem = MeasureHandler{this};
            if (!item->OnAdvancedDrawItem && !item->OnDrawItem) item->OnAdvancedDrawItem = DrawHandler{this};
        }
        HookMenuItems(item);
    }
}

void TKelPopupMenu::MenuChanged() {
    HookMenuItems(Items());
    fw::TPopupMenu::MenuChanged();
}

int TKelPopupMenu::CorrectedPopupX(int x, int m, int desktopWidth, fw::TPopupAlignment alignment) {
    if (alignment == fw::TPopupAlignment::paRight && x - m - 34 >= 0)
        x += kRightReserve;
    else if (alignment == fw::TPopupAlignment::paLeft && x + m + 51 >= desktopWidth)
        x += kRightReserve;
    else if (alignment == fw::TPopupAlignment::paCenter)
        x += 8;
    return x >= desktopWidth ? desktopWidth - 1 : x;
}

void TKelPopupMenu::Popup(int x, int y) {
    HookMenuItems(Items());
    if (Items()->Count() == 0) {
        fw::TPopupMenu::Popup(x, y);
        return;
    }
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemID = Items()->Items(0)->Command();
    mis.itemWidth = 10;
    mis.itemHeight = 10;
    SendMessageW(WindowHandle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    x = CorrectedPopupX(x, static_cast<int>(mis.itemWidth), GetSystemMetrics(SM_CXVIRTUALSCREEN), Alignment());
    fw::TPopupMenu::Popup(x, y);
}

void TKelPopupMenu::FrameMenuWindow(fw::TMenuItem* item, fw::TCanvas& canvas) {
    HWND hwnd = WindowFromDC(canvas.Handle());
    if (!hwnd || !IsWindow(hwnd) || !GetItemHost(item) || hwnd == WindowHandle()) return;
    const int level = ItemDepth(item) + 1;
    RECT wr;
    GetWindowRect(hwnd, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    const bool opensRight = level > 1 && SubmenuOpensRight(item);
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) != MenuWindowProc) {
        SetPropW(hwnd, kOldProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)));
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MenuWindowProc));
        SetWindowRgn(hwnd, CreateRectRgn(1, 1, w - 1 - kRightReserve, h - 1), TRUE);
        if (level == 1)
            MoveWindow(hwnd, wr.left - 1, wr.top - 2, w, h, TRUE);
        else
            MoveWindow(hwnd, opensRight ? wr.left - kRightReserve + 3 : wr.left + kRightReserve + 3, wr.top, w, h,
                       TRUE);
    }
    RECT frame{1, 1, w - 1, h - 1};
    frame.right -= level == 1 ? kRightReserve : opensRight ? 2 * kRightReserve : 0;
    HDC dc = GetWindowDC(hwnd);
    if (!dc) return;
    {
        fw::TCanvas windowCanvas;
        windowCanvas.SetHandle(dc);
        FrameColor(windowCanvas, frame, current_styler_->MenuBorderColor());
        InflateRect(&frame, -1, -1);
        FrameColor(windowCanvas, frame, current_styler_->Background().Color());
        windowCanvas.SetHandle(nullptr);
    }
    ReleaseDC(hwnd, dc);
}

}  // namespace kel::menus
