// Pointer input on the tab strip: the hot tab with its enter and leave
// events, tab clicks and the page switch on a press.
#include "widgets/pager/KelOfficePager.h"

namespace kel::pager {

using namespace fw;

bool TKelOfficePager::InStrip(int x, int y) const {
    const RECT s = StripRect();
    return x >= s.left && x < s.right && y >= s.top && y < s.bottom;
}

void TKelOfficePager::LeaveHotTab() {
    const int h = hotTab_;
    FireEvent(OnTabMouseLeave, this, h);
    hotTab_ = -1;
    InvalidateTab(-1);
}

void TKelOfficePager::MouseMove(TShiftState shift, int x, int y) {
    TCustomControl::MouseMove(shift, x, y);
    const int d = InStrip(x, y) ? TabAtPos(x, y) : -1;
    if (d >= 0 && d != hintTab_) hintTab_ = d;
    if (d >= 0 && d != hotTab_) {
        if (downTab_ >= 0) downTab_ = -1, InvalidateTab(-1);
        if (hotTab_ >= 0) LeaveHotTab();
        DoTabMouseEnter(d);
        if (d < PageCount() && pages_[size_t(d)]->TabEnabled()) {
            hotTab_ = d;
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
    if (switching) {
        ChangeActivePage(a);
        Invalidate();
    } else {
        downTab_ = a;
        InvalidateTab(-1);
    }
}

void TKelOfficePager::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseUp(button, shift, x, y);
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
        default: break;
    }
    TCustomControl::KeyDown(key, shift);
}

}  // namespace kel::pager
