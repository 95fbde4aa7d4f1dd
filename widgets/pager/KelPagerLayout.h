// The geometry of the tab strip: where the strip, the tab area and the
// button area lie, where every tab goes for the scroll position and the
// fixed tabs, the scroll range, and the buttons of the button area. Pure
// geometry: the pager hands in its settings and the measured tab contents.
#pragma once

#include <vector>

#include "widgets/pager/KelPagerTypes.h"

namespace kel::pager {

// The rectangle of four -1 values: not shown.
constexpr TPagerRect kNoRect{-1, -1, -1, -1};

// One tab's measured content.
struct TLayoutTab {
    bool TabVisible = true;
    bool Enabled = true;
    bool ShowClose = true;
    bool ShowCheckBox = false;
    int CaptionWidth = 0;                // as the caption drawing measures it
    int LineWidth = 0, LineHeight = 0;   // single line of plain text (side strips)
    int ImageWidth = 0, ImageHeight = 0;
    int FixedCaptionWidth = 0;           // caption width for fixed-width tabs
};

// Where the close button, the image and the caption go along a fixed-width
// tab; -1 where nothing was set.
struct TFixedTabContent {
    int CloseStart = -1, CloseEnd = -1;
    int ImageStart = -1;
    int CaptionStart = -1, CaptionEnd = -1;
};

struct TPagerLayout {
    TPagerRect Client;
    TTabPosition Position = tpTop;
    int TabHeight = 26, PageMargin = 1, StartMargin = 4, EndMargin = 0;
    int LeftMargin = 4, RightMargin = 4, Spacing = 4, TabWidth = 0;
    TImagePosition ImagePosition = ipLeft;
    TKelTabShape Shape = tsRectangle;
    int Rounding = 1;
    bool RotateTabLeftRight = true;
    bool FirstButton = false, LastButton = false, PageListButton = false, CloseButton = false;
    bool ClosedListButton = false, ClosedListEmpty = true, ScrollButtonsAlways = false;
    bool CloseOnTab = false;
    TCloseOnTabPos CloseOnTabPosition = cpRight;
    bool ShowCloseOnNonSelectedTabs = false;
    TPagerAlignment Alignment = taLeftJustify;
    int ActiveIndex = -1;
    int FixedTabs = 0;
    // The scroller and the extended-area flag.
    int ScrollMin = 0, ScrollMax = 0, ScrollPosition = 0;
    bool ScrollVisible = false;
    bool Extended = false;
    std::vector<TLayoutTab> Tabs;

    bool Side() const { return Position == tpLeft || Position == tpRight; }
    TPagerRect StripRect() const;
    TPagerRect TabAreaRect() const;
    TPagerRect ButtonsRect() const;
    // The room the buttons need along the strip.
    int ButtonRoom() const;

    bool IsRectangularTab() const;
    int LeftRampWidth() const;
    int RightRampWidth() const;

    // Tab `index` when the layout starts at page `first`.
    TPagerRect TabRect(int first, int index, bool scrolled) const;
    TPagerRect TabRectByIndex(int index) const { return TabRect(0, index, true); }
    int TabAtPos(int x, int y) const;
    int VisibleTabCount() const;

    struct TScrollRange {
        int Range = 0;
        bool Fitted = false;
        int Counted = 0;
    };
    // May make the scroller visible while it looks for a start that fits.
    TScrollRange ComputeScrollRange();
    // Recomputes the scroller and the extended-area flag.
    void UpdateScroller();

    TPagerRect ScrollButtonsRect() const;
    TPagerRect FirstButtonRect() const;
    TPagerRect PrevButtonRect() const;
    TPagerRect NextButtonRect() const;
    TPagerRect LastButtonRect() const;
    TPagerRect ClosedListButtonRect() const;
    TPagerRect PageListButtonRect() const;
    TPagerRect CloseButtonRect() const;

    // The close button of a tab (on the tab, or the button area's).
    TPagerRect TabCloseButtonRect(int index) const;
    TPagerRect CheckBoxRect(int index) const;
    TFixedTabContent FixedTabContent(int index) const;
    // -1: the nearest visible tab before the active one; +1: after it; else 0.
    int TabNeighbourSide(int index) const;

private:
    int ScrollButtonCount() const { return 2 + (FirstButton ? 1 : 0) + (LastButton ? 1 : 0); }
    // A button `start` pixels along the strip (18 x 18, 5 to 23 in from the
    // button area's inner edge).
    TPagerRect ButtonAt(int start) const;
    int AlongStart(const TPagerRect& r) const { return Side() ? r.Top : r.Left; }
    int AlongEnd(const TPagerRect& r) const { return Side() ? r.Bottom : r.Right; }
    int TabExtent(int index) const;
};

}  // namespace kel::pager
