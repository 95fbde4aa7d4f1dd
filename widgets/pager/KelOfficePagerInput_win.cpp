// Pointer input on the tab strip: the hot tab with its enter and leave
// events, tab clicks and the page switch on a press.
#include <cstdlib>
#include <cwctype>

#include "widgets/pager/KelOfficePager.h"

#include <commctrl.h>

#include "framework/gui/timer.h"

namespace kel::pager {

using namespace fw;

bool TKelOfficePager::InStrip(int x, int y) const {
    const RECT s = StripRect();
    return x >= s.left && x < s.right && y >= s.top && y < s.bottom;
}

void TKelOfficePager::LeaveHotTab() {
    const int h = hotTab_;
    FireEvent(OnTabMouseLeave, this, h);
    if (h >= 0 && h < PageCount()) StartFade(pages_[size_t(h)], -20, TKelOfficePage::fmHover);
    hotTab_ = -1;
    InvalidateTab(-1);
}

void TKelOfficePager::MouseMove(TShiftState shift, int x, int y) {
    TCustomControl::MouseMove(shift, x, y);
    if (dragTab_ >= 0 && (shift & ssLeft)) {
        if (!dragging_ && (std::abs(x - dragStart_.x) > 4 || std::abs(y - dragStart_.y) > 4)) dragging_ = true;
        if (dragging_) {
            // Over a tab the drop is accepted and the arrow points at it.
            const int c = TabAtPos(x, y);
            if (c >= 0 && reorderIndicator_) {
                const RECT r = TabRect(c);
                const bool side = tabPosition_ == tpLeft || tabPosition_ == tpRight;
                POINT at = side ? POINT{r.left, (r.top + r.bottom) / 2} : POINT{(r.left + r.right) / 2, r.top};
                at = ClientToScreen(at);
                if (side)
                    at.x -= 9;
                else
                    at.y -= 9;
                reorderIndicator_->SetBounds(at.x, at.y, 9, 9);
                reorderIndicator_->SetColor(tabReorderIndicatorColor_);
                reorderIndicator_->SetVisible(true);
            } else if (reorderIndicator_) {
                reorderIndicator_->SetVisible(false);
            }
            return;
        }
    }
    const int d = InStrip(x, y) ? TabAtPos(x, y) : -1;
    if (d >= 0 && d != hintTab_) hintTab_ = d;
    if (d >= 0 && d != hotTab_) {
        if (downTab_ >= 0) downTab_ = -1, InvalidateTab(-1);
        if (hotTab_ >= 0) LeaveHotTab();
        DoTabMouseEnter(d);
        if (d < PageCount() && pages_[size_t(d)]->TabEnabled()) {
            hotTab_ = d;
            StartFade(pages_[size_t(d)], 20, TKelOfficePage::fmHover);
            Invalidate();
        }
    } else if (d < 0 && hotTab_ >= 0) {
        if (downTab_ >= 0) downTab_ = -1, InvalidateTab(-1);
        LeaveHotTab();
    }
    if (d < 0) hintTab_ = -1;
}

void TKelOfficePager::MouseLeave() {
    TCustomControl::MouseLeave();
    hintTab_ = -1;
    if (hotTab_ < 0) return;
    // Still over the tabs (the strip less the band towards the pages).
    POINT p{};
    GetCursorPos(&p);
    p = ScreenToClient(p);
    TPagerRect area = Layout().TabAreaRect();
    switch (tabPosition_) {
        case tpTop: area.Bottom -= 4; break;
        case tpBottom: area.Top += 4; break;
        case tpLeft: area.Right -= 4; break;
        case tpRight: area.Left += 4; break;
    }
    if (p.x >= area.Left && p.x < area.Right && p.y >= area.Top && p.y < area.Bottom) return;
    if (hotTab_ != activeIndex_ && hotTab_ < PageCount())
        StartFade(pages_[size_t(hotTab_)], -20, TKelOfficePage::fmHover);
    hotTab_ = -1;
    Invalidate();
}

void TKelOfficePager::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    downTab_ = -1;
    if (!InStrip(x, y)) return;
    const int a = TabAtPos(x, y);
    if (a < 0) return;
    if (button == TMouseButton::mbLeft) FireEvent(OnTabClick, this, a);
    if (button == TMouseButton::mbRight) FireEvent(OnTabRightClick, this, a);
    // A click handler may have removed the page.
    if (a >= PageCount()) return;
    const bool switching = button != TMouseButton::mbMiddle && a != activeIndex_ && pages_[size_t(a)]->TabEnabled();
    if (button == TMouseButton::mbLeft && pages_[size_t(a)]->TabEnabled() && tabReorder_) {
        // The drag starts after 4 pixels of movement.
        dragTab_ = a;
        dragStart_ = POINT{x, y};
        if (!reorderIndicator_)
            reorderIndicator_ = new TArrowWindow(this, tabPosition_ == tpLeft || tabPosition_ == tpRight ? 2 : 1);
    }
    if (switching) {
        ChangeActivePage(a);
        if (a < PageCount()) StartFade(pages_[size_t(a)], 20, TKelOfficePage::fmPress);
        Invalidate();
    } else {
        downTab_ = a;
        InvalidateTab(-1);
    }
}

void TKelOfficePager::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseUp(button, shift, x, y);
    if (reorderIndicator_) reorderIndicator_->SetVisible(false);
    const bool dropped = dragging_;
    dragging_ = false;
    dragTab_ = -1;
    if (dropped) {
        const int from = activeIndex_, to = TabAtPos(x, y);
        if (from >= 0 && to >= 0 && from != to) {
            MovePage(from, to);
            Invalidate();
            RepaintActivePage();
        }
        return;
    }
    if (downTab_ >= 0) downTab_ = -1, InvalidateTab(-1);
    const int a = InStrip(x, y) ? TabAtPos(x, y) : -1;
    if (a < 0 || !PtInTabCheckBox(a, x, y)) return;
    TKelOfficePage* page = pages_[size_t(a)];
    page->SetChecked(!page->Checked());
    FireEvent(OnTabCheckBoxClick, this, a);
    InvalidateTab(a);
}

void TKelOfficePager::KeyDown(WORD& key, TShiftState shift) {
    switch (key) {
        case VK_ESCAPE: HideShortCutHints(); break;
        case VK_LEFT:
        case VK_UP:
            HideShortCutHints();
            SelectNextPage(false);
            break;
        case VK_RIGHT:
        case VK_DOWN:
            HideShortCutHints();
            SelectNextPage(true);
            break;
        case VK_TAB:
            if (shift & ssCtrl) {
                SelectNextPage(!(shift & ssShift));
                key = 0;
            }
            break;
        default:
            if (shortCutHintMode_ && !TypeShortCutKey(key)) MessageBeep(0);
            break;
    }
    TCustomControl::KeyDown(key, shift);
}

bool TKelOfficePager::TypeShortCutKey(WORD key) {
    // Shift and the like type nothing.
    if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU) return true;
    typedShortCut_ += wchar_t(key);
    auto upper = [](std::wstring v) {
        for (wchar_t& c : v) c = wchar_t(std::towupper(c));
        return v;
    };
    const std::wstring typed = upper(typedShortCut_);
    bool match = false;
    for (int i = 0; i < PageCount(); ++i) {
        TKelOfficePage* page = pages_[size_t(i)];
        const std::wstring hint = upper(page->ShortCutHint());
        if (!hint.empty() && hint == typed) {
            HideShortCutHints();
            SelectPage(i);
            return true;
        }
        // A page without a hint can never be typed: its hint goes too.
        if (hint.empty() || hint.compare(0, typed.size(), typed) != 0)
            page->HideShortCutHint();
        else
            match = true;
    }
    bool anyShown = false;
    for (TKelOfficePage* page : pages_) anyShown = anyShown || page->hintWindow_ != nullptr;
    if (!anyShown) HideShortCutHints();
    return match;
}

void TKelOfficePager::ShowShortCutHints() {
    if (!showShortCutHints_) return;
    for (TKelOfficePage* p : pages_) p->ShowShortCutHint();
    shortCutHintMode_ = true;
    typedShortCut_.clear();
    if (hookedForm_) return;
    TControl* top = TopLevelControl();
    auto* form = dynamic_cast<TWinControl*>(top);
    if (form && form != this && form->HandleAllocated() &&
        SetWindowSubclass(form->Handle(), &TKelOfficePager::HookedFormWndProc, reinterpret_cast<UINT_PTR>(this),
                          reinterpret_cast<DWORD_PTR>(this)))
        hookedForm_ = form->Handle();
}

void TKelOfficePager::UnhookForm() {
    if (!hookedForm_) return;
    RemoveWindowSubclass(hookedForm_, &TKelOfficePager::HookedFormWndProc, reinterpret_cast<UINT_PTR>(this));
    hookedForm_ = nullptr;
}

LRESULT CALLBACK TKelOfficePager::HookedFormWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                   DWORD_PTR data) {
    const LRESULT result = DefSubclassProc(wnd, msg, wParam, lParam);
    auto* pager = reinterpret_cast<TKelOfficePager*>(data);
    const WPARAM command = wParam & 0xFFF0;
    if (msg == WM_SIZE || msg == WM_LBUTTONDOWN || msg == WM_MOVING ||
        (msg == WM_SYSCOMMAND && (command == SC_MINIMIZE || command == SC_MAXIMIZE)))
        pager->HideShortCutHints();
    else if (msg == WM_NCDESTROY)
        pager->UnhookForm();
    return result;
}

bool TKelOfficePager::DialogKeyAction(WORD key, TWinControl* focused) {
    if (key != VK_TAB || !(KeyboardShiftState() & ssCtrl) || !focused || !HandleAllocated()) return false;
    if (focused != this && !(focused->HandleAllocated() && IsChild(Handle(), focused->Handle()))) return false;
    SelectNextPage(!(KeyboardShiftState() & ssShift));
    return true;
}

bool TKelOfficePager::WantsDialogKey(WORD key) {
    return key == VK_TAB && (KeyboardShiftState() & ssCtrl);
}

bool TKelOfficePager::DialogCharAction(wchar_t ch, TShiftState) {
    if (!CanFocus()) return false;
    const wchar_t wanted = wchar_t(std::towupper(ch));
    for (int i = 0; i < PageCount(); ++i) {
        TKelOfficePage* page = pages_[size_t(i)];
        if (!page->TabVisible()) continue;
        const std::wstring& text = page->TabCaption();
        for (size_t k = 0; k + 1 < text.size(); ++k) {
            if (text[k] != L'&') continue;
            if (text[k + 1] == L'&') {
                ++k;
                continue;
            }
            if (wchar_t(std::towupper(text[k + 1])) == wanted) {
                SelectPage(i);
                return true;
            }
            break;
        }
    }
    return false;
}

void TKelOfficePager::DblClick() {
    TCustomControl::DblClick();
    POINT p{};
    GetCursorPos(&p);
    p = ScreenToClient(p);
    const int a = InStrip(p.x, p.y) ? TabAtPos(p.x, p.y) : -1;
    if (a >= 0) FireEvent(OnTabDblClick, this, a);
}

bool TKelOfficePager::HasGlowingPage() const {
    for (TKelOfficePage* p : pages_)
        if (p->TabVisible() && p->Enabled() && p->Glow() && p->GlowColor() != clNone) return true;
    return false;
}

bool TKelOfficePager::GlowRunning() const { return glowTimer_ && glowTimer_->Enabled(); }

void TKelOfficePager::UpdateGlowTimer() {
    if (destroying_) return;
    if (glow_ && HasGlowingPage()) {
        if (!glowTimer_) {
            glowTimer_ = new TTimer(this);
            glowTimer_->SetInterval(70);
            glowTimer_->SetEnabled(false);
            glowTimer_->OnTimer = [this](TComponent*) { GlowTimerTick(); };
        }
        if (!glowTimer_->Enabled()) {
            glowStep_ = 20;
            glowLevel_ = 0;
            glowTimer_->SetEnabled(true);
        }
    } else if (glowTimer_ && glowTimer_->Enabled()) {
        glowTimer_->SetEnabled(false);
    }
}

void TKelOfficePager::GlowTimerTick() {
    glowLevel_ += glowStep_;
    if ((glowLevel_ > 140 && glowStep_ > 0) || (glowLevel_ < 0 && glowStep_ < 0)) glowStep_ = -glowStep_;
    for (int i = 0; i < PageCount(); ++i) {
        TKelOfficePage* p = pages_[size_t(i)];
        if (!(p->TabVisible() && p->Enabled() && p->Glow() && p->GlowColor() != clNone)) continue;
        if (i == activeIndex_ || i == hotTab_ || showNonSelectedTabs_) InvalidateTab(i);
    }
}

void TKelOfficePager::StartFade(TKelOfficePage* page, int step, TKelOfficePage::TFadeMode mode) {
    if (!page->fadeTimer_ && glow_) {
        page->fadeTimer_ = new TTimer(this);
        page->fadeTimer_->SetInterval(50);
        page->fadeTimer_->OnTimer = [this, page](TComponent*) { PageFadeTimerTick(page); };
        page->fadeTimer_->SetEnabled(true);
    }
    page->fadeStep_ = step;
    page->fadeMode_ = mode;
}

void TKelOfficePager::PageFadeTimerTick(TKelOfficePage* p) {
    auto stop = [p] {
        if (p->fadeTimer_) p->fadeTimer_->Free();
        p->fadeTimer_ = nullptr;
        p->fadeMode_ = TKelOfficePage::fmIdle;
    };
    if (p->fadeMode_ == TKelOfficePage::fmPress) {
        p->pressLevel_ += p->fadeStep_;
        if ((p->fadeStep_ > 0 && p->pressLevel_ > 100) || (p->fadeStep_ < 0 && p->pressLevel_ < 0)) {
            stop();
            p->pressLevel_ = 0;
        } else {
            InvalidateTab(-1);
        }
        return;
    }
    if (p->fadeMode_ != TKelOfficePage::fmHover) return;
    p->hoverLevel_ += p->fadeStep_;
    if (p->hoverLevel_ >= 0 && p->hoverLevel_ <= 100) {
        InvalidateTab(-1);
        return;
    }
    if (p->hoverLevel_ > 100 && p->fadeStep_ > 0) {
        p->hoverLevel_ = 120;
        POINT at{};
        GetCursorPos(&at);
        at = ScreenToClient(at);
        const int index = IndexOfPage(p);
        if (index < 0 || TabAtPos(at.x, at.y) != index) {
            p->fadeStep_ = -20;
            if (hotTab_ == index) hotTab_ = -1;
        }
    } else if (p->hoverLevel_ < 0 && p->fadeStep_ < 0) {
        stop();
        InvalidateTab(-1);
    }
    p->pressLevel_ = 0;
    if (p->hoverLevel_ > 100) p->hoverLevel_ = 120;
    if (p->hoverLevel_ < 0) p->hoverLevel_ = -20;
}

namespace {
const POINT kArrows[4][7] = {
    {{5, 0}, {10, 5}, {7, 5}, {7, 9}, {3, 9}, {3, 5}, {0, 5}},
    {{3, 0}, {7, 0}, {7, 4}, {9, 4}, {5, 8}, {1, 4}, {3, 4}},
    {{0, 3}, {0, 7}, {4, 7}, {4, 10}, {8, 5}, {4, 0}, {4, 3}},
    {{0, 5}, {4, 10}, {4, 7}, {8, 7}, {8, 3}, {4, 3}, {4, 0}},
};
}  // namespace

TArrowWindow::TArrowWindow(TComponent* owner, int direction) : TCustomControl(owner), direction_(direction & 3) {
    SetVisible(false);
    SetColor(clBlue);
    SetBounds(0, 0, 9, 9);
}

void TArrowWindow::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.winClassName = L"TArrowWindow";
    params.style = WS_POPUP;
    params.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    params.parent = nullptr;
}

void TArrowWindow::CreateHandleDone() {
    HRGN region = CreatePolygonRgn(kArrows[direction_], 7, WINDING);
    // The window owns the region from here on.
    if (region && !SetWindowRgn(Handle(), region, TRUE)) DeleteObject(region);
}

void TArrowWindow::Paint() {
    RECT r = ClientRect();
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
    FillRect(Canvas().Handle(), &r, brush);
    DeleteObject(brush);
}

}  // namespace kel::pager
