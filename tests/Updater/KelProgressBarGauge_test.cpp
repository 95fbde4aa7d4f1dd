// The progress bar's paint geometry, range rules, marker and text.
#include "Updater/KelProgressBarGauge.h"

#include <gtest/gtest.h>

namespace oru {
namespace {

// The settings of a plain, square, solid, text-less bar.
TGaugeSettings Plain(int pct) {
    TGaugeSettings s;
    s.Rounded = false;
    s.ShowGradient = false;
    s.ShowPosition = false;
    s.Percentage = pct;
    return s;
}

// The fill rectangles after the frame.
std::vector<TBarRect> Fills(const std::vector<TBarOp>& ops) {
    std::vector<TBarRect> out;
    for (const auto& op : ops)
        if (op.What == TBarOp::Fill) out.push_back(op.Rect);
    return out;
}

TEST(BarGauge, BlocksFollowTheFilledLength) {
    // 102 wide: 100 pixels inside, so the filled length is the percentage.
    const TBarRect r{0, 0, 102, 18};
    struct Row {
        int pct;
        std::vector<TBarRect> blocks;
    } rows[] = {
        {0, {}},
        {1, {}},
        {2, {{2, 2, 3, 16}}},
        {9, {{2, 2, 10, 16}}},
        {10, {{2, 2, 9, 16}}},
        {20, {{2, 2, 9, 16}, {11, 2, 18, 16}}},
        {23, {{2, 2, 9, 16}, {11, 2, 18, 16}, {20, 2, 24, 16}}},
    };
    for (const auto& row : rows) {
        auto ops = BuildBarGauge(r, Plain(row.pct));
        ASSERT_FALSE(ops.empty());
        EXPECT_EQ(ops[0].What, TBarOp::Frame);
        EXPECT_EQ(Fills(ops), row.blocks) << row.pct << "%";
    }
}

TEST(BarGauge, VerticalBlocksGrowUpwardsAndStopInsideTheFrame) {
    auto ops = BuildBarGauge({0, 0, 18, 102}, [] {
        auto s = Plain(23);
        s.Orientation = TGaugeOrientation::goVertical;
        return s;
    }());
    std::vector<TBarRect> want{{2, 93, 16, 100}, {2, 84, 16, 91}, {2, 78, 16, 82}};
    EXPECT_EQ(Fills(ops), want);
    // Nearly full: the last block is cut at top + 2.
    auto s = Plain(100);
    s.Orientation = TGaugeOrientation::goVertical;
    for (const auto& f : Fills(BuildBarGauge({0, 0, 18, 102}, s))) EXPECT_GE(f.Top, 2);
}

TEST(BarGauge, StackedSegmentsCloseTheBarAtExactlyFullOnly) {
    auto stacked = [](int pct, TGaugeOrientation o) {
        auto s = Plain(pct);
        s.Stacked = true;
        s.Orientation = o;
        return s;
    };
    // 126 pixels inside: 70 % = 88, the next 20 % = 25, the rest 13.
    std::vector<TBarRect> full{{2, 1, 88, 17}, {88, 1, 113, 17}, {113, 1, 126, 17}};
    EXPECT_EQ(Fills(BuildBarGauge({0, 0, 128, 18}, stacked(100, TGaugeOrientation::goHorizontal))), full);
    std::vector<TBarRect> almost{{2, 1, 88, 17}, {88, 1, 113, 17}, {113, 1, 124, 17}};
    EXPECT_EQ(Fills(BuildBarGauge({0, 0, 128, 18}, stacked(99, TGaugeOrientation::goHorizontal))), almost);
    std::vector<TBarRect> first{{2, 1, 63, 17}};
    EXPECT_EQ(Fills(BuildBarGauge({0, 0, 128, 18}, stacked(50, TGaugeOrientation::goHorizontal))), first);
    std::vector<TBarRect> vertical{{1, 41, 17, 126}, {1, 16, 17, 41}, {1, 2, 17, 15}};
    EXPECT_EQ(Fills(BuildBarGauge({0, 0, 18, 128}, stacked(100, TGaugeOrientation::goVertical))), vertical);
}

TEST(BarGauge, LevelColourFollowsThePercentage) {
    struct Row {
        int pct;
        uint32_t color;
    } rows[] = {{69, 0x00FF00}, {70, 0x00FFFF}, {89, 0x00FFFF}, {90, 0x53A9FF}, {99, 0x53A9FF}, {100, 0x0000FF}};
    for (const auto& row : rows) {
        auto s = Plain(row.pct);
        s.CompletionSmooth = true;
        auto ops = BuildBarGauge({0, 0, 102, 18}, s);
        ASSERT_EQ(ops.size(), 2u) << row.pct;
        EXPECT_EQ(ops[1].Color, row.color) << row.pct;
        EXPECT_EQ(ops[1].Rect, (TBarRect{2, 2, row.pct, 16})) << row.pct;
    }
}

TEST(BarGauge, EmptyRangeFillsNothingAndRoundedFramesKeepTheirCorners) {
    TBarRange range;
    range.SetMax(0);
    EXPECT_EQ(range.Percentage(), 0);
    auto s = Plain(range.Percentage());
    s.Rounded = true;
    auto ops = BuildBarGauge({0, 0, 128, 18}, s);
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].What, TBarOp::Fill);
    EXPECT_EQ(ops[0].Color, kBarTransparentKey);
    EXPECT_EQ(ops[0].Rect, (TBarRect{0, 0, 128, 18}));
    EXPECT_EQ(ops[1].What, TBarOp::RoundFrame);
    EXPECT_EQ(ops[1].PenColor, 0x808080u);
    s.ShowBorder = false;
    EXPECT_EQ(BuildBarGauge({0, 0, 128, 18}, s)[1].PenColor, s.BackgroundColor);
}

TEST(BarGauge, GradientBandsStepTowardsTheSecondColour) {
    std::vector<TBarOp> ops;
    AddBarGradient(ops, 0x000000, 0x0000FF, false, {0, 0, 20, 10}, 4);
    ASSERT_EQ(ops.size(), 4u);
    const uint32_t colors[] = {0, 64, 128, 191};
    const TBarRect rects[] = {{0, 0, 20, 3}, {0, 2, 20, 5}, {0, 5, 20, 8}, {0, 8, 20, 10}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ops[i].Color, colors[i]) << i;
        EXPECT_EQ(ops[i].Rect, rects[i]) << i;
    }
    ops.clear();
    AddBarGradient(ops, 0x102030, 0xFFFFFF, true, {5, 0, 15, 10}, 0);
    ASSERT_EQ(ops.size(), 1u) << "steps 0 is one band";
    EXPECT_EQ(ops[0].Color, 0x102030u);
    EXPECT_EQ(ops[0].Rect, (TBarRect{5, 0, 15, 10}));
}

TEST(BarGauge, GradientHalvesMeetInTheMiddle) {
    auto s = Plain(50);
    s.CompletionSmooth = true;
    s.ShowGradient = true;
    s.Steps = 2;
    auto ops = BuildBarGauge({0, 0, 102, 18}, s);
    // Top half from ColorTo to Color, bottom half back: ColorTo at both edges.
    ASSERT_EQ(ops.size(), 5u);
    EXPECT_EQ(ops[1].Rect, (TBarRect{2, 2, 50, 6}));
    EXPECT_EQ(ops[1].Color, s.Level0ColorTo);
    EXPECT_EQ(ops[2].Rect, (TBarRect{2, 6, 50, 9}));
    EXPECT_EQ(ops[3].Rect, (TBarRect{2, 9, 50, 13}));
    EXPECT_EQ(ops[3].Color, s.Level0Color);
    EXPECT_EQ(ops[4].Rect.Bottom, 16);
}

TEST(BarGauge, LevelZonesSplitTheInside) {
    auto s = Plain(0);
    s.Level0BkColor = 0x111111;
    s.Level2BkColor = 0x333333;
    std::vector<TBarRect> want{{2, 1, 70, 17}, {90, 1, 100, 17}};
    EXPECT_EQ(Fills(BuildBarGauge({0, 0, 102, 18}, s)), want);
    s.Orientation = TGaugeOrientation::goVertical;
    std::vector<TBarRect> vert{{1, 33, 17, 100}, {1, 2, 17, 12}};
    EXPECT_EQ(Fills(BuildBarGauge({0, 0, 18, 102}, s)), vert);
}

TEST(BarGauge, InfiniteMarkerLeavesAGapAroundItsPlace) {
    auto s = Plain(30);
    s.CompletionSmooth = true;
    s.Infinite = true;
    s.MarkerPosition = 50;
    auto ops = BuildBarGauge({0, 0, 104, 18}, s);
    // The whole bar in level 0, then the background over all but the marker.
    ASSERT_EQ(ops.size(), 4u);
    EXPECT_EQ(ops[1].Rect, (TBarRect{2, 2, 102, 16}));
    EXPECT_EQ(ops[1].Color, s.Level0Color);
    EXPECT_EQ(ops[2].Rect, (TBarRect{2, 1, 40, 17}));
    EXPECT_EQ(ops[3].Rect, (TBarRect{62, 2, 102, 16}));
    EXPECT_EQ(ops[3].Color, s.BackgroundColor);
    s.MarkerPosition = 0;
    ops = BuildBarGauge({0, 0, 104, 18}, s);
    ASSERT_EQ(ops.size(), 3u) << "nothing before the marker at the start";
    EXPECT_EQ(ops[2].Rect, (TBarRect{12, 2, 102, 16}));
}

TEST(BarGauge, TextIsPercentagePositionOrFormat) {
    auto s = Plain(42);
    s.ShowPosition = true;
    s.Position = 21;
    s.Max = 50;
    EXPECT_EQ(BuildBarGauge({0, 0, 128, 18}, s).back().Caption, L"42%");
    s.ShowPercentage = false;
    EXPECT_EQ(BuildBarGauge({0, 0, 128, 18}, s).back().Caption, L"21");
    s.Format = L"%d of %d";
    EXPECT_EQ(BuildBarGauge({0, 0, 128, 18}, s).back().Caption, L"21 of 50");
    int x = 0, y = 0;
    BarTextOrigin({0, 0, 128, 18}, 30, 12, false, x, y);
    EXPECT_EQ(x, 49);
    EXPECT_EQ(y, 3);
    BarTextOrigin({0, 0, 18, 128}, 30, 12, true, x, y);
    EXPECT_EQ(x, 3);
    EXPECT_EQ(y, 79);
}

TEST(BarGauge, FormatTakesOnlyNumbers) {
    struct Row {
        const wchar_t* format;
        const wchar_t* text;
    } rows[] = {
        {L"%d/%d", L"7/9"},        {L"%d %%", L"7 %"},          {L"%s %d", L"%s 7"},
        {L"%d %d %d", L"7 9 %d"},  {L"%04d|%-3d|", L"0007|9  |"}, {L"%x %X", L"7 9"},
        {L"%", L"%"},              {L"%n%p", L"%n%p"},
    };
    for (const auto& row : rows) EXPECT_EQ(FormatBarText(row.format, 7, 9), row.text) << row.format;
    EXPECT_EQ(FormatBarText(L"%X", 255, 0), L"FF");
    EXPECT_EQ(FormatBarText(L"%05d", -42, 0), L"-0042");
}

TEST(BarRange, OutOfRangeClampsWithoutRepaint) {
    TBarRange r;
    EXPECT_FALSE(r.SetPosition(150));
    EXPECT_EQ(r.Position(), 100);
    EXPECT_FALSE(r.SetPosition(-5));
    EXPECT_EQ(r.Position(), 0);
    EXPECT_TRUE(r.SetPosition(37));
}

TEST(BarRange, RangeChangesKeepThePositionInside) {
    TBarRange r;
    ASSERT_TRUE(r.SetPosition(80));
    r.SetMax(60);
    EXPECT_EQ(r.Position(), 60);
    EXPECT_EQ(r.Percentage(), 100);
    r.SetMin(70);
    EXPECT_EQ(r.Position(), 70);
    EXPECT_EQ(r.Percentage(), 0) << "an inverted range paints nothing";
    r.SetMin(0);
    r.SetMax(200);
    EXPECT_EQ(r.Step(), 2);
    EXPECT_EQ(r.Percentage(), 30);
    r.SetMin(100);
    EXPECT_EQ(r.Position(), 100);
    ASSERT_TRUE(r.SetPosition(150));
    EXPECT_EQ(r.Percentage(), 50) << "measured from Min";
    r.SetMin(-2000000000);
    r.SetMax(2000000000);
    EXPECT_EQ(r.Step(), 40000000);
}

TEST(BarRange, WideRangesRepaintOnlyOnANewStepOrPercentage) {
    TBarRange r;
    r.SetMax(100000);  // step 1000
    struct Row {
        int v;
        bool repaint;
    } rows[] = {{1000, true}, {1200, false}, {1499, false}, {1500, true}, {1510, false}, {2000, true}, {2001, false}, {99999, true}};
    for (const auto& row : rows) EXPECT_EQ(r.SetPosition(row.v), row.repaint) << row.v;
}

TEST(BarMarker, SweepsToTheEndAndBack) {
    TBarMarker m;
    m.Tick();
    EXPECT_EQ(m.Position(), 0);
    EXPECT_TRUE(m.Forward());
    for (int i = 0; i < 25; ++i) m.Tick();
    EXPECT_EQ(m.Position(), 100);
    EXPECT_FALSE(m.Forward());
    m.Tick();
    EXPECT_EQ(m.Position(), 96);
}

}  // namespace
}  // namespace oru
