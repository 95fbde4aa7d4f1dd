// Tab strip geometry: areas, tab walk with hidden, fixed and scrolled tabs,
// the scroll range, and the buttons of the button area.
#include "widgets/pager/KelPagerLayout.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace kel::pager {

std::ostream& operator<<(std::ostream& os, const TPagerRect& r) {
    return os << "(" << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << ")";
}

namespace {

// A 316 x 200 pager with `count` tabs of a 60-pixel caption (71 along).
TPagerLayout Strip(int count, int width = 316) {
    TPagerLayout l;
    l.Client = TPagerRect{0, 0, width, 200};
    for (int i = 0; i < count; ++i) {
        TLayoutTab t;
        t.CaptionWidth = 60;
        t.LineWidth = 60;
        t.LineHeight = 13;
        l.Tabs.push_back(t);
    }
    return l;
}

TEST(PagerLayout, AreasOfATopStrip) {
    TPagerLayout l = Strip(0);
    EXPECT_EQ(l.StripRect(), (TPagerRect{0, 0, 316, 26}));
    EXPECT_EQ(l.TabAreaRect(), (TPagerRect{5, 4, 309, 30}));
    struct Row {
        TTabPosition pos;
        TPagerRect area, buttons;
    } rows[] = {
        {tpTop, {5, 4, 309, 30}, {309, 4, 312, 30}},
        {tpBottom, {5, 170, 309, 196}, {309, 170, 312, 196}},
        {tpLeft, {4, 5, 30, 193}, {4, 193, 30, 196}},
        {tpRight, {286, 5, 312, 193}, {286, 193, 312, 196}},
    };
    for (const Row& r : rows) {
        l.Position = r.pos;
        EXPECT_EQ(l.TabAreaRect(), r.area) << r.pos;
        EXPECT_EQ(l.ButtonsRect(), r.buttons) << r.pos;
    }
}

TEST(PagerLayout, TabWalk) {
    struct Row {
        const char* what;
        std::function<void(TPagerLayout&)> set;
        int index;
        TPagerRect expected;
    } rows[] = {
        {"first tab", nullptr, 0, {5, 4, 76, 30}},
        {"second tab after the spacing", nullptr, 1, {80, 4, 151, 30}},
        {"a hidden tab leaves no gap", [](TPagerLayout& l) { l.Tabs[1].TabVisible = false; }, 2, {80, 4, 151, 30}},
        {"a hidden tab has no rectangle", [](TPagerLayout& l) { l.Tabs[1].TabVisible = false; }, 1, kNoRect},
        {"fixed width", [](TPagerLayout& l) { l.TabWidth = 80; }, 1, {89, 4, 169, 30}},
        {"fixed width wins over close button and check box",
         [](TPagerLayout& l) {
             l.TabWidth = 80, l.CloseButton = true, l.CloseOnTab = true, l.Tabs[0].ShowCheckBox = true;
         },
         0, {5, 4, 85, 30}},
        {"ramps add 11 at each end",
         [](TPagerLayout& l) { l.Shape = tsLeftRightRamp, l.Rounding = 3; }, 0, {5, 4, 5 + 11 + 71 + 11, 30}},
        {"image beside the caption", [](TPagerLayout& l) { l.Tabs[0].ImageWidth = 16; }, 0, {5, 4, 5 + 71 + 18, 30}},
        {"close button and check box on the tab",
         [](TPagerLayout& l) { l.CloseButton = true, l.CloseOnTab = true, l.Tabs[0].ShowCheckBox = true; }, 0,
         {5, 4, 5 + 71 + 42, 30}},
        {"scrolled: the third tab first",
         [](TPagerLayout& l) { l.ScrollVisible = true, l.ScrollPosition = 2; }, 2, {5, 4, 76, 30}},
        {"scrolled with a fixed tab: the first tab stays",
         [](TPagerLayout& l) { l.ScrollVisible = true, l.ScrollPosition = 2, l.FixedTabs = 1; }, 0, {5, 4, 76, 30}},
        {"scrolled with a fixed tab: then the fourth",
         [](TPagerLayout& l) { l.ScrollVisible = true, l.ScrollPosition = 2, l.FixedTabs = 1; }, 3, {80, 4, 151, 30}},
        {"scrolled with a fixed tab: the second is out",
         [](TPagerLayout& l) { l.ScrollVisible = true, l.ScrollPosition = 2, l.FixedTabs = 1; }, 1, kNoRect},
        {"unrotated left tabs: thickness along the strip",
         [](TPagerLayout& l) { l.Position = tpLeft, l.RotateTabLeftRight = false; }, 1, {4, 5 + 25 + 4, 30, 5 + 50 + 4}},
        {"rotated left tabs: caption along the strip (image room counts without an image)",
         [](TPagerLayout& l) { l.Position = tpLeft; }, 0, {4, 5, 30, 5 + 75}},
    };
    for (const Row& r : rows) {
        TPagerLayout l = Strip(5);
        if (r.set) r.set(l);
        EXPECT_EQ(l.TabRectByIndex(r.index), r.expected) << r.what;
    }
}

TEST(PagerLayout, ScrollRangeAndOverflow) {
    TPagerLayout l = Strip(5);
    l.UpdateScroller();
    EXPECT_TRUE(l.ScrollVisible);
    EXPECT_EQ(l.ScrollMax, 2) << "from the third tab on, the rest fits";
    EXPECT_FALSE(l.Extended);
    EXPECT_EQ(l.TabAtPos(10, 10), 0);
    EXPECT_EQ(l.TabRect(0, 4, false), kNoRect) << "the last tab does not fit from the start";
    l.ScrollPosition = 2;
    EXPECT_EQ(l.TabAtPos(10, 10), 2);
    EXPECT_EQ(l.TabRectByIndex(4).Left, 155);
    l.ScrollPosition = 7;
    l.UpdateScroller();
    EXPECT_EQ(l.ScrollPosition, 2) << "never past the range";

    TPagerLayout fits = Strip(3);
    fits.UpdateScroller();
    EXPECT_FALSE(fits.ScrollVisible);
    EXPECT_EQ(fits.ScrollMax, 0);
    fits.ScrollButtonsAlways = true;
    fits.UpdateScroller();
    EXPECT_TRUE(fits.ScrollVisible);
}

TEST(PagerLayout, NoVisibleTabs) {
    TPagerLayout l = Strip(3);
    for (auto& t : l.Tabs) t.TabVisible = false;
    l.UpdateScroller();
    EXPECT_EQ(l.ScrollMax, 0);
    EXPECT_FALSE(l.ScrollVisible);
    EXPECT_TRUE(l.Extended);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(l.TabRectByIndex(i), kNoRect);
    EXPECT_EQ(l.TabAtPos(10, 10), -1);
    EXPECT_EQ(l.TabRectByIndex(-1), kNoRect);
    EXPECT_EQ(l.TabRectByIndex(3), kNoRect);
}

TEST(PagerLayout, ButtonsOfTheButtonArea) {
    TPagerLayout l = Strip(0);
    l.PageListButton = true, l.CloseButton = true;
    EXPECT_EQ(l.ButtonsRect(), (TPagerRect{267, 4, 312, 30}));
    EXPECT_EQ(l.PageListButtonRect(), (TPagerRect{270, 7, 288, 25}));
    EXPECT_EQ(l.CloseButtonRect(), (TPagerRect{290, 7, 308, 25}));
    EXPECT_EQ(l.ClosedListButtonRect(), kNoRect) << "the closed list is empty";
    EXPECT_EQ(l.PrevButtonRect(), kNoRect) << "no scroller";

    TPagerLayout s = Strip(0);
    s.ScrollVisible = true, s.FirstButton = true, s.LastButton = true;
    s.ClosedListButton = true, s.ClosedListEmpty = false;
    EXPECT_EQ(s.ButtonsRect().Left, 312 - 3 - 80 - 21);
    const int b = s.ButtonsRect().Left;
    EXPECT_EQ(s.ScrollButtonsRect().Right, b + 18 * 4 + 8);
    EXPECT_EQ(s.FirstButtonRect().Left, b + 3);
    EXPECT_EQ(s.PrevButtonRect().Left, b + 23);
    EXPECT_EQ(s.NextButtonRect().Left, b + 43);
    EXPECT_EQ(s.LastButtonRect().Left, b + 63);
    EXPECT_EQ(s.ClosedListButtonRect().Left, b + 84);
    s.LastButton = false;
    EXPECT_EQ(s.LastButtonRect(), s.NextButtonRect());

    TPagerLayout side = Strip(0);
    side.Position = tpRight, side.ScrollVisible = true;
    const TPagerRect prev = side.PrevButtonRect();
    EXPECT_EQ(prev.Top, side.ButtonsRect().Top + 3) << "side strips keep 3 before the first scroll button";
    EXPECT_EQ(prev.Left, side.ButtonsRect().Left + 5);
    EXPECT_EQ(prev.Right - prev.Left, 18);
}

TEST(PagerLayout, ShapeFacts) {
    TPagerLayout l = Strip(0);
    EXPECT_TRUE(l.IsRectangularTab());
    EXPECT_EQ(l.LeftRampWidth(), 0);
    l.Shape = tsLeftRamp, l.Rounding = 2;
    EXPECT_EQ(l.LeftRampWidth(), 9);
    EXPECT_EQ(l.RightRampWidth(), 0);
    l.Position = tpLeft, l.RotateTabLeftRight = false;
    EXPECT_EQ(l.LeftRampWidth(), 0) << "no ramps on unrotated side tabs";
}

}  // namespace
}  // namespace kel::pager

namespace kel::pager {
namespace {

TEST(PagerLayout, CloseButtonAndCheckBoxOnTabs) {
    TPagerLayout l = Strip(3);
    l.CloseButton = true, l.CloseOnTab = true, l.ActiveIndex = 0;
    for (auto& t : l.Tabs) t.ShowCheckBox = true;
    const TPagerRect tab = l.TabRectByIndex(0);
    ASSERT_EQ(tab.Right - tab.Left, 71 + 42);
    struct Row {
        const char* what;
        TCloseOnTabPos side;
        TPagerRect close, check;
    } rows[] = {
        {"right", cpRight, {tab.Right - 22, 7, tab.Right - 4, 25}, {tab.Left + 5, 9, tab.Left + 20, 24}},
        {"left", cpLeft, {tab.Left + 4, 7, tab.Left + 22, 25}, {tab.Left + 23, 9, tab.Left + 38, 24}},
    };
    for (const Row& r : rows) {
        l.CloseOnTabPosition = r.side;
        EXPECT_EQ(l.TabCloseButtonRect(0), r.close) << r.what;
        EXPECT_EQ(l.CheckBoxRect(0), r.check) << r.what;
    }
    EXPECT_EQ(l.TabCloseButtonRect(1), kNoRect) << "not on tabs that are not active";
    l.ShowCloseOnNonSelectedTabs = true;
    EXPECT_NE(l.TabCloseButtonRect(1), kNoRect);
    l.CloseOnTab = false;
    EXPECT_EQ(l.TabCloseButtonRect(1), l.CloseButtonRect()) << "the button area's close button";
}

TEST(PagerLayout, FixedWidthContentIsCentred) {
    TPagerLayout l = Strip(2);
    l.TabWidth = 100, l.Alignment = taCenter, l.ActiveIndex = 0, l.CloseOnTab = true;
    l.Tabs[0].FixedCaptionWidth = 40;
    l.Tabs[0].ImageWidth = 16;
    const TFixedTabContent c = l.FixedTabContent(0);
    // Free = 100 - 22 - 18 - 40 = 20: content starts 10 in.
    EXPECT_EQ(c.ImageStart, 5 + 10);
    EXPECT_EQ(c.CaptionStart, 5 + 10 + 18);
    EXPECT_EQ(c.CaptionEnd, 5 + 10 + 18 + 40);
    EXPECT_EQ(c.CloseStart, 5 + 10 + 58 + 4);
    l.Alignment = taLeftJustify;
    EXPECT_EQ(l.FixedTabContent(0).CaptionStart, -1) << "left-justified tabs need no content places";
}

TEST(PagerLayout, NeighbourSides) {
    TPagerLayout l = Strip(5);
    l.ActiveIndex = 2;
    l.Tabs[1].TabVisible = false;
    const int expected[] = {-1, 0, 0, 1, 0};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(l.TabNeighbourSide(i), expected[i]) << i;
    EXPECT_EQ(l.TabNeighbourSide(9), 0);
}

}  // namespace
}  // namespace kel::pager
