// Tab strip geometry.
#include "widgets/pager/KelPagerLayout.h"

#include <algorithm>

namespace kel::pager {

namespace {
constexpr int kInset = 4;         // tab and button area from the outer edge
constexpr int kButtonArea = 26;   // thickness of the button area
constexpr int kButton = 18;       // every button, 18 x 18
constexpr int kScrollPitch = 20;  // room per scroll button
constexpr int kButtonRoom = 21;   // room per further button
}  // namespace

TPagerRect TPagerLayout::StripRect() const {
    TPagerRect r = Client;
    switch (Position) {
        case tpTop: r.Bottom = r.Top + TabHeight; break;
        case tpBottom: r.Top = r.Bottom - TabHeight; break;
        case tpLeft: r.Right = r.Left + TabHeight; break;
        case tpRight: r.Left = r.Right - TabHeight; break;
    }
    return r;
}

int TPagerLayout::ButtonRoom() const {
    int room = ScrollVisible ? kScrollPitch * ScrollButtonCount() : 0;
    if (PageListButton) room += kButtonRoom;
    if (CloseButton && !CloseOnTab) room += kButtonRoom;
    if (ClosedListButton && !ClosedListEmpty) room += kButtonRoom;
    return room;
}

TPagerRect TPagerLayout::ButtonsRect() const {
    const TPagerRect& k = Client;
    const int room = ButtonRoom();
    TPagerRect b;
    if (!Side()) {
        b.Right = k.Right - EndMargin - PageMargin - 3;
        b.Left = b.Right - 3 - room;
        if (Position == tpTop) {
            b.Bottom = k.Top + kInset + TabHeight;
            b.Top = b.Bottom - kButtonArea;
        } else {
            b.Top = k.Bottom - TabHeight - kInset;
            b.Bottom = b.Top + kButtonArea;
        }
    } else {
        b.Bottom = k.Bottom - EndMargin - PageMargin - 3;
        b.Top = b.Bottom - 3 - room;
        if (Position == tpLeft) {
            b.Right = k.Left + kInset + TabHeight;
            b.Left = b.Right - kButtonArea;
        } else {
            b.Left = k.Right - TabHeight - kInset;
            b.Right = b.Left + kButtonArea;
        }
    }
    return b;
}

TPagerRect TPagerLayout::TabAreaRect() const {
    const TPagerRect& k = Client;
    const TPagerRect b = ButtonsRect();
    switch (Position) {
        case tpTop: return {k.Left + StartMargin + PageMargin, k.Top + kInset, b.Left, k.Top + kInset + TabHeight};
        case tpBottom:
            return {k.Left + StartMargin + PageMargin, k.Bottom - TabHeight - kInset, b.Left, k.Bottom - kInset};
        case tpLeft: return {k.Left + kInset, k.Top + StartMargin + PageMargin, k.Left + kInset + TabHeight, b.Top};
        case tpRight: return {k.Right - TabHeight - kInset, k.Top + StartMargin + PageMargin, k.Right - kInset, b.Top};
    }
    return k;
}

bool TPagerLayout::IsRectangularTab() const {
    if (Shape == tsRectangle && Rounding == 1) return true;
    return Side() && !RotateTabLeftRight && Rounding == 1;
}

int TPagerLayout::LeftRampWidth() const {
    const bool ramp = Shape == tsLeftRamp || Shape == tsLeftRightRamp;
    return ramp && !IsRectangularTab() && (!Side() || RotateTabLeftRight) ? Rounding * 2 + 5 : 0;
}

int TPagerLayout::RightRampWidth() const {
    const bool ramp = Shape == tsRightRamp || Shape == tsLeftRightRamp;
    return ramp && !IsRectangularTab() && (!Side() || RotateTabLeftRight) ? Rounding * 2 + 5 : 0;
}

int TPagerLayout::TabExtent(int index) const {
    const TLayoutTab& t = Tabs[size_t(index)];
    const bool imageBeside = ImagePosition == ipLeft || ImagePosition == ipRight;
    int extent;
    const bool unrotatedSide = Side() && !RotateTabLeftRight;
    if (!Side()) {
        extent = LeftRampWidth() + LeftMargin + t.CaptionWidth + RightMargin + RightRampWidth() + 3;
        if (imageBeside) extent += t.ImageWidth + (t.ImageWidth > 0 ? 2 : 0);
    } else {
        int l = LeftMargin + t.LineWidth + 5 + RightMargin;
        int thick = t.LineHeight;
        if (imageBeside) {
            l += t.ImageWidth + 2;
            thick = std::max(thick, t.ImageHeight);
        } else {
            thick += t.ImageHeight + 2;
        }
        thick += 12;
        extent = RotateTabLeftRight ? l + LeftRampWidth() + RightRampWidth() : thick;
    }
    if (!unrotatedSide) {
        if (CloseButton && CloseOnTab && t.ShowClose) extent += 22;
        if (t.ShowCheckBox) extent += 20;
    }
    if (TabWidth > 0) extent = TabWidth;
    return extent;
}

TPagerRect TPagerLayout::TabRect(int first, int index, bool scrolled) const {
    TPagerRect result = kNoRect;
    if (index < 0 || index >= int(Tabs.size()) || !Tabs[size_t(index)].TabVisible) return result;
    TPagerRect a = TabAreaRect();
    const int fixed = FixedTabs;
    int k = 0;
    for (int i = 0; i <= index; ++i) {
        if (!Tabs[size_t(i)].TabVisible || !(i >= first || i < fixed)) continue;
        if (Extended) {
            const TPagerRect strip = StripRect();
            if (Side())
                a.Bottom = strip.Bottom - EndMargin - PageMargin - 3;
            else
                a.Right = strip.Right - EndMargin - PageMargin - 3;
        }
        const int extent = TabExtent(i);
        int& nearEnd = Side() ? a.Top : a.Left;
        const int farEnd = AlongEnd(a);
        const bool fixedAtStart = i < fixed && first == 0;
        if (nearEnd + extent > farEnd - PageMargin) {
            const bool exempt = scrolled && (!ScrollVisible || i != index || ScrollPosition == index);
            if (!exempt && !fixedAtStart) return result;
        }
        const bool shown = !scrolled || !ScrollVisible || k >= ScrollPosition;
        if (shown || fixedAtStart) {
            TPagerRect r = a;
            if (Side())
                r.Bottom = r.Top + extent;
            else
                r.Right = r.Left + extent;
            if (i == index) result = r;
            nearEnd += extent + Spacing;
            if (!shown) continue;  // a fixed tab does not count as scrolled out
        }
        ++k;
    }
    return result;
}

int TPagerLayout::TabAtPos(int x, int y) const {
    for (int i = 0; i < int(Tabs.size()); ++i) {
        const TPagerRect r = TabRectByIndex(i);
        if (r.Left == -1) continue;
        if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return i;
    }
    return -1;
}

int TPagerLayout::VisibleTabCount() const {
    return int(std::count_if(Tabs.begin(), Tabs.end(), [](const TLayoutTab& t) { return t.TabVisible; }));
}

TPagerLayout::TScrollRange TPagerLayout::ComputeScrollRange() {
    TScrollRange out;
    int last = -1;
    for (int i = 0; i < int(Tabs.size()); ++i)
        if (Tabs[size_t(i)].TabVisible) last = i;
    if (last <= 0) return out;
    int before = 0;
    for (int j = 0; j <= last; ++j) {
        const TPagerRect r = TabRect(j, last, false);
        if (r.Left > -1 && r.Right > -1) {
            out.Range = before;
            if (FixedTabs > 0 && out.Range > 0) out.Range -= FixedTabs;
            out.Fitted = true;
            for (int i = j; i <= last; ++i) out.Counted += Tabs[size_t(i)].TabVisible ? 1 : 0;
            return out;
        }
        if (Tabs[size_t(j)].TabVisible) ++before;
        if (j + 1 < int(Tabs.size())) ScrollVisible = true;
    }
    return out;
}

void TPagerLayout::UpdateScroller() {
    auto setMax = [this](int v) {
        if (v >= ScrollMin) ScrollMax = v;
    };
    Extended = false;
    if (!ScrollButtonsAlways) ScrollVisible = false;
    ScrollMin = 0;
    const TScrollRange range = ComputeScrollRange();
    setMax(range.Range);
    const int visible = VisibleTabCount();
    if (ScrollMax == 0 && !range.Fitted) {
        if (FixedTabs > 0) {
            setMax(std::max(0, visible - FixedTabs));
        } else {
            Extended = true;
            setMax(ComputeScrollRange().Range);
            if (ScrollMax == 0) setMax(std::max(0, visible - 1));
        }
    }
    if (range.Fitted) {
        if (ScrollPosition > ScrollMax) ScrollPosition = ScrollMax;
        int probe = 0;
        if (FixedTabs > 0) {
            int count = 0;
            probe = -1;
            for (int i = FixedTabs; i < int(Tabs.size()) && probe < 0; ++i)
                if (Tabs[size_t(i)].TabVisible && ++count == ScrollPosition) probe = i;
            if (probe < 0) probe = count;
        } else if (visible > 0) {
            probe = std::min(std::max(ScrollPosition, 1), visible);
        }
        if (TabRectByIndex(probe).Right == -1 && ScrollPosition > 0 && EndMargin == 0) {
            Extended = true;
            setMax(ComputeScrollRange().Range);
            if (ScrollMax == 0) Extended = false;
        }
    }
    ScrollVisible = ScrollMin < ScrollMax || ScrollButtonsAlways;
    if (ScrollPosition > ScrollMax) ScrollPosition = ScrollMax;
}

TPagerRect TPagerLayout::ButtonAt(int start) const {
    const TPagerRect b = ButtonsRect();
    TPagerRect r;
    if (Side()) {
        r.Top = start, r.Bottom = start + kButton;
        if (Position == tpLeft)
            r.Left = b.Right - 23, r.Right = b.Right - 5;
        else
            r.Left = b.Left + 5, r.Right = b.Left + 23;
    } else {
        r.Left = start, r.Right = start + kButton;
        if (Position == tpTop)
            r.Top = b.Bottom - 23, r.Bottom = b.Bottom - 5;
        else
            r.Top = b.Top + 5, r.Bottom = b.Top + 23;
    }
    return r;
}

TPagerRect TPagerLayout::ScrollButtonsRect() const {
    if (!ScrollVisible) return kNoRect;
    TPagerRect r = ButtonsRect();
    const int length = kButton * ScrollButtonCount() + 8;
    if (Side())
        r.Bottom = r.Top + length;
    else
        r.Right = r.Left + length;
    return r;
}

TPagerRect TPagerLayout::FirstButtonRect() const {
    if (!ScrollVisible || !FirstButton) return kNoRect;
    return ButtonAt(AlongStart(ButtonsRect()) + 3);
}

TPagerRect TPagerLayout::PrevButtonRect() const {
    if (!ScrollVisible) return kNoRect;
    const int gap = Side() ? 3 : 2;
    const int start = FirstButton ? AlongEnd(FirstButtonRect()) + gap : AlongStart(ButtonsRect()) + gap;
    return ButtonAt(start);
}

TPagerRect TPagerLayout::NextButtonRect() const {
    if (!ScrollVisible) return kNoRect;
    return ButtonAt(AlongEnd(PrevButtonRect()) + 2);
}

TPagerRect TPagerLayout::LastButtonRect() const {
    if (!ScrollVisible) return kNoRect;
    return LastButton ? ButtonAt(AlongEnd(NextButtonRect()) + 2) : NextButtonRect();
}

TPagerRect TPagerLayout::ClosedListButtonRect() const {
    if (!ClosedListButton || ClosedListEmpty) return kNoRect;
    return ButtonAt(ScrollVisible ? AlongEnd(LastButtonRect()) + 3 : AlongStart(ButtonsRect()) + 3);
}

TPagerRect TPagerLayout::PageListButtonRect() const {
    if (!PageListButton) return kNoRect;
    const TPagerRect closed = ClosedListButtonRect();
    if (closed.Left != -1) return ButtonAt(AlongEnd(closed) + 3);
    return ButtonAt(ScrollVisible ? AlongEnd(LastButtonRect()) + 3 : AlongStart(ButtonsRect()) + 3);
}

TPagerRect TPagerLayout::CloseButtonRect() const {
    if (!CloseButton || CloseOnTab) return kNoRect;
    const TPagerRect list = PageListButtonRect();
    if (list.Left != -1) return ButtonAt(AlongEnd(list) + 2);
    const TPagerRect closed = ClosedListButtonRect();
    if (closed.Left != -1) return ButtonAt(AlongEnd(closed) + 2);
    return ButtonAt(ScrollVisible ? AlongEnd(LastButtonRect()) + 3 : AlongStart(ButtonsRect()) + 3);
}

}  // namespace kel::pager

namespace kel::pager {

namespace {
bool Valid(const TPagerRect& r) { return r.Left != -1; }
}  // namespace

TFixedTabContent TPagerLayout::FixedTabContent(int index) const {
    TFixedTabContent c;
    if (index < 0 || index >= int(Tabs.size()) || TabHeight <= 0 || TabWidth <= 0) return c;
    TPagerRect r = TabRectByIndex(index);
    if (!Valid(r)) return c;
    const TLayoutTab& t = Tabs[size_t(index)];
    const bool active = index == ActiveIndex;
    const int cb = CloseOnTab ? 18 : 0;
    const bool imageBeside = ImagePosition == ipLeft || ImagePosition == ipRight;
    const int iw = imageBeside ? (Side() && RotateTabLeftRight ? t.ImageHeight : t.ImageWidth) : 0;
    const int cw = t.FixedCaptionWidth;
    const bool closeLeft = active && CloseOnTab && CloseOnTabPosition == cpLeft;
    const bool closeRight = active && CloseOnTab && CloseOnTabPosition == cpRight;
    if (!Side() || !RotateTabLeftRight) {
        if (Alignment != taCenter) return c;
        if (Shape == tsRightRamp || Shape == tsLeftRightRamp) r.Right -= Rounding;
        const int length = r.Right - r.Left;
        const int free = length - (cb > 0 && active ? cb + 4 : 0) - (iw > 0 ? iw + 2 : 0) - cw;
        int x = std::max(r.Left, r.Left + free / 2);
        if (closeLeft) c.CloseStart = x, c.CloseEnd = x + 18, x += 22;
        if (ImagePosition == ipLeft && iw > 0) c.ImageStart = x, x += iw + 2;
        if (cw > 0) {
            c.CaptionStart = x, c.CaptionEnd = x + cw;
            x = std::min(x + cw, r.Right);
        }
        if (ImagePosition == ipRight && iw > 0) c.ImageStart = x + 2, x += iw + 2;
        if (closeRight) c.CloseStart = x + 4, c.CloseEnd = x + 22;
        return c;
    }
    // Rotated side tabs read upward on the left, downward on the right.
    const int length = r.Bottom - r.Top;
    if (Shape == tsLeftRamp || Shape == tsLeftRightRamp) r.Bottom -= Rounding;
    if (Shape == tsRightRamp || Shape == tsLeftRightRamp) r.Top += Rounding;
    const int free = length - (cb > 0 && active ? cb + 4 : 0) - (iw > 0 ? iw + 2 : 0) - cw;
    const int dir = Position == tpLeft ? -1 : 1;
    const int readStart = Position == tpLeft ? r.Bottom : r.Top;
    const int readEnd = Position == tpLeft ? r.Top : r.Bottom;
    // Span [a, a + dir * n) in reading order, stored low to high.
    auto span = [&](int from, int n, int& lo, int& hi) {
        lo = std::min(from, from + dir * n);
        hi = std::max(from, from + dir * n);
    };
    auto beyond = [&](int a, int b) { return dir > 0 ? a > b : a < b; };
    if (Alignment == taCenter) {
        int x = readStart + dir * std::max(0, free / 2);
        int dummy = 0;
        if (closeLeft) span(x, 18, c.CloseStart, c.CloseEnd), x += dir * 22;
        if (ImagePosition == ipLeft && iw > 0) span(x, iw, c.ImageStart, dummy), x += dir * (iw + 2);
        if (cw > 0) {
            int end = x + dir * cw;
            if (beyond(end, readEnd)) end = readEnd;
            c.CaptionStart = std::min(x, end), c.CaptionEnd = std::max(x, end);
            x = end;
        }
        if (ImagePosition == ipRight && iw > 0) span(x + dir * 2, iw, c.ImageStart, dummy), x += dir * (iw + 2);
        if (closeRight) span(x + dir * 4, 18, c.CloseStart, c.CloseEnd);
    } else if (Alignment == taRightJustify) {
        int x = readEnd;
        const int back = -dir;
        int dummy = 0;
        auto spanBack = [&](int from, int n, int& lo, int& hi) {
            lo = std::min(from, from + back * n);
            hi = std::max(from, from + back * n);
        };
        if (closeRight) spanBack(x, 18, c.CloseStart, c.CloseEnd), x += back * 22;
        if (ImagePosition == ipRight && iw > 0) spanBack(x, iw, c.ImageStart, dummy), x += back * (iw + 2);
        if (cw > 0) {
            int end = x + back * cw;
            int limit = readStart;
            if (Position == tpLeft && free > 0) limit = readStart - free / 2;
            if (beyond(limit, end)) end = limit;  // not past the reading start
            c.CaptionStart = std::min(x, end), c.CaptionEnd = std::max(x, end);
            x = end;
        }
        if (ImagePosition == ipLeft && iw > 0) spanBack(x + back * 2, iw, c.ImageStart, dummy), x += back * (iw + 2);
        if (closeLeft) spanBack(x + back * 4, 18, c.CloseStart, c.CloseEnd);
    }
    return c;
}

TPagerRect TPagerLayout::TabCloseButtonRect(int index) const {
    if (index < 0) return CloseButtonRect();
    if (!CloseButton) return kNoRect;
    if (!(CloseOnTab && (ShowCloseOnNonSelectedTabs || index == ActiveIndex))) return CloseButtonRect();
    const TPagerRect r = TabRectByIndex(index);
    if (!Valid(r)) return kNoRect;
    const bool centred = TabWidth > 0 && Alignment == taCenter && index < int(Tabs.size());
    const TFixedTabContent content = centred ? FixedTabContent(index) : TFixedTabContent{};
    const bool left = CloseOnTabPosition == cpLeft;
    TPagerRect b;
    switch (Position) {
        case tpTop:
        case tpBottom:
            b.Left = centred ? content.CloseStart : left ? r.Left + LeftRampWidth() + 4 : r.Right - RightRampWidth() - 22;
            b.Right = b.Left + 18;
            b.Top = Position == tpTop ? r.Bottom - 23 : r.Top + 5;
            b.Bottom = b.Top + 18;
            break;
        case tpLeft:
        case tpRight:
            if (RotateTabLeftRight) {
                if (Position == tpLeft) {
                    b.Top = centred ? content.CloseStart
                                    : left ? r.Bottom - LeftRampWidth() - 22 : r.Top + RightRampWidth() + 4;
                    b.Bottom = b.Top + 18;
                    b.Left = r.Right - 23, b.Right = r.Right - 5;
                } else {
                    b.Bottom = centred ? content.CloseEnd
                                       : left ? r.Top + LeftRampWidth() + 22 : r.Bottom - RightRampWidth() - 4;
                    b.Top = b.Bottom - 18;
                    b.Left = r.Left + 5, b.Right = r.Left + 23;
                }
            } else {
                const int inset = Position == tpLeft ? (left ? 4 : 0) : (left ? 5 : 0);
                b.Left = centred ? content.CloseStart
                                 : left ? r.Left + inset : r.Right - (Position == tpLeft ? 23 : 21);
                b.Right = b.Left + 18;
                b.Top = r.Top + (r.Bottom - r.Top - 18) / 2;
                b.Bottom = b.Top + 18;
            }
            break;
    }
    return b;
}

TPagerRect TPagerLayout::CheckBoxRect(int index) const {
    const TPagerRect r = TabRectByIndex(index);
    if (!Valid(r)) return kNoRect;
    const bool closeOnLeft = CloseOnTab && CloseOnTabPosition == cpLeft &&
                             (ShowCloseOnNonSelectedTabs || index == ActiveIndex);
    int cw = 0, ch = 0;
    if (closeOnLeft) {
        const TPagerRect c = TabCloseButtonRect(index);
        if (Valid(c)) cw = c.Width(), ch = c.Height();
    }
    TPagerRect b;
    switch (Position) {
        case tpTop:
        case tpBottom:
            b.Left = r.Left + cw + 5;
            b.Top = r.Top + (r.Height() - 15) / 2;
            break;
        case tpLeft:
            b.Left = r.Left + (r.Width() - 15) / 2;
            b.Top = r.Bottom - ch - 20;
            break;
        case tpRight:
            b.Left = r.Left + (r.Width() - 15) / 2;
            b.Top = r.Top + 5 + ch;
            break;
    }
    b.Right = b.Left + 15;
    b.Bottom = b.Top + 15;
    return b;
}

int TPagerLayout::TabNeighbourSide(int index) const {
    if (index < 0 || index >= int(Tabs.size()) || index == ActiveIndex || ActiveIndex < 0) return 0;
    int before = -1, after = -1;
    for (int i = ActiveIndex - 1; i >= 0 && before < 0; --i)
        if (Tabs[size_t(i)].TabVisible) before = i;
    for (int i = ActiveIndex + 1; i < int(Tabs.size()) && after < 0; ++i)
        if (Tabs[size_t(i)].TabVisible) after = i;
    return index == before ? -1 : index == after ? 1 : 0;
}

}  // namespace kel::pager
