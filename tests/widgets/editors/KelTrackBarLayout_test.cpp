// The trackbar's layout, value mapping and value rules as tables.
#include "widgets/editors/KelTrackBarLayout.h"

#include <gtest/gtest.h>

#include <climits>

namespace kel::trackbar {
namespace {

// A new 150 by 26 trackbar (or 26 by 150 when vertical).
TTrackBarMetrics Bar(bool vertical = false) {
    TTrackBarMetrics m;
    m.Vertical = vertical;
    if (vertical) std::swap(m.ClientWidth, m.ClientHeight);
    return m;
}

TEST(TrackBarLayout, RectanglesOfANewTrackBarInBothOrientations) {
    const TTrackBarLayout h(Bar());
    EXPECT_EQ(h.Inner(), (TRect{3, 3, 147, 23}));
    EXPECT_EQ(h.Track(), (TRect{3, 13, 147, 23}));
    EXPECT_EQ(h.Slider(), (TRect{3, 13, 147, 15}));
    EXPECT_TRUE(IsNone(h.TopLeftTicks()));
    // Below the slider (less its 3D edge) plus the spacing, inset by the
    // pointer offset along.
    EXPECT_EQ(h.BottomRightTicks(), (TRect{8, 22, 142, 26}));
    EXPECT_EQ(h.Thumb(), (TRect{3, 7, 13, 22}));
    EXPECT_EQ(h.MinButton(), (TRect{3, 3, 23, 23}));
    EXPECT_EQ(h.MaxButton(), (TRect{127, 3, 147, 23}));
    EXPECT_TRUE(IsNone(h.Label(false)));

    const TTrackBarLayout v(Bar(true));
    EXPECT_EQ(v.Track(), (TRect{13, 3, 23, 147}));
    EXPECT_EQ(v.Slider(), (TRect{13, 3, 15, 147}));
    EXPECT_EQ(v.BottomRightTicks(), (TRect{22, 8, 26, 142}));
    // Min at the bottom, Max at the top.
    EXPECT_EQ(v.Thumb(), (TRect{7, 137, 22, 147}));
    EXPECT_EQ(v.ThumbAt(10), (TRect{7, 3, 22, 13}));
    EXPECT_EQ(v.MinButton(), (TRect{3, 127, 23, 147}));
    EXPECT_EQ(v.MaxButton(), (TRect{3, 3, 23, 23}));
}

TEST(TrackBarLayout, TickBandsSliderAndThumbFollowTheTickSettings) {
    struct Row {
        const char* what;
        TTickStyle style;
        TTickMark position;
        bool slider;
        bool showText;
        TRect topLeft, bottomRight, slider_, thumb;
    } rows[] = {
        {"both bands", tsAuto, tmBoth, true, false, {8, 13, 142, 17}, {8, 34, 142, 38}, {3, 25, 147, 27}, {3, 19, 13, 34}},
        {"top band", tsAuto, tmTopLeft, true, false, {8, 13, 142, 17}, kNoRect, {3, 25, 147, 27}, {3, 19, 13, 34}},
        {"no ticks", tsNone, tmBoth, true, false, kNoRect, kNoRect, {3, 13, 147, 15}, {3, 7, 13, 22}},
        {"texts widen the band", tsAuto, tmTopLeft, true, true, {8, 13, 142, 30}, kNoRect, {3, 38, 147, 40}, {3, 32, 13, 47}},
        // Without a slider the thumb sits on the band it points at.
        {"no slider, bottom", tsAuto, tmBottomRight, false, false, kNoRect, {8, 13, 142, 17}, kNoRect, {3, 13, 13, 28}},
        {"no slider, both", tsAuto, tmBoth, false, false, {8, 13, 142, 17}, {8, 33, 142, 37}, kNoRect, {3, 14, 13, 29}},
        {"no slider, no ticks", tsNone, tmBoth, false, false, kNoRect, kNoRect, kNoRect, {3, 13, 13, 28}},
    };
    for (const Row& r : rows) {
        TTrackBarMetrics m = Bar();
        m.ClientHeight = 60;
        m.Tick.Style = r.style;
        m.Tick.Position = r.position;
        m.Slider.Visible = r.slider;
        m.Tick.ShowText = r.showText;
        m.TickTextHeight = 13;
        const TTrackBarLayout l(m);
        EXPECT_EQ(l.TopLeftTicks(), r.topLeft) << r.what;
        EXPECT_EQ(l.BottomRightTicks(), r.bottomRight) << r.what;
        EXPECT_EQ(l.Slider(), r.slider_) << r.what;
        EXPECT_EQ(l.Thumb(), r.thumb) << r.what;
    }
}

TEST(TrackBarLayout, ButtonsLabelAndLineThumbShapeTheTrack) {
    TTrackBarMetrics m = Bar();
    m.Buttons.Visible = true;
    m.Buttons.Size = 16;
    EXPECT_EQ(TTrackBarLayout(m).Track(), (TRect{21, 13, 129, 23}));
    m.Vertical = true;
    std::swap(m.ClientWidth, m.ClientHeight);
    EXPECT_EQ(TTrackBarLayout(m).Track(), (TRect{13, 21, 23, 129}));

    // A label at the top pushes the track down by its height plus one.
    m = Bar();
    m.ClientHeight = 60;
    m.Label = {true, lpTopCenter, 4, 40, 13};
    TTrackBarLayout top(m);
    EXPECT_EQ(top.Label(false), (TRect{3, 13, 147, 30}));
    EXPECT_EQ(top.Label(true), (TRect{55, 13, 100, 30}));
    EXPECT_EQ(top.Track().Top, 31);
    m.Label.Position = lpTopLeft;
    EXPECT_EQ(TTrackBarLayout(m).Label(true), (TRect{3, 13, 48, 30}));
    m.Label.Position = lpTopRight;
    EXPECT_EQ(TTrackBarLayout(m).Label(true), (TRect{102, 13, 147, 30}));
    // Below the bottom band; without that band it starts at pixel 0.
    m.Label.Position = lpBottomCenter;
    EXPECT_EQ(TTrackBarLayout(m).Label(false), (TRect{3, 27, 147, 44}));
    m.Tick.Style = tsNone;
    EXPECT_EQ(TTrackBarLayout(m).Label(false), (TRect{3, 0, 147, 17}));

    // Vertically the aligned label is stored from its lower (starting) end;
    // its repaint area is upright.
    m = Bar(true);
    m.Label = {true, lpTopCenter, 4, 40, 13};
    TTrackBarLayout vertical(m);
    EXPECT_EQ(vertical.Label(true), (TRect{13, 100, 30, 55}));
    EXPECT_EQ(vertical.LabelRepaintArea(true), (TRect{13, 45, 30, 110}));
    EXPECT_EQ(vertical.Track().Left, 31);
    EXPECT_EQ(TTrackBarLayout(Bar()).LabelRepaintArea(true), kNoRect);

    // The line thumb spans the inner height whatever its size says.
    m = Bar();
    m.Thumb.Shape = tsLine;
    EXPECT_EQ(TTrackBarLayout(m).Thumb(), (TRect{3, 3, 13, 25}));
    m.Thumb.PictureEmpty = false;
    EXPECT_EQ(TTrackBarLayout(m).Thumb(), (TRect{3, 7, 13, 22}));
}

TEST(TrackBarLayout, PixelsAndValuesMapBothWays) {
    struct Row {
        bool vertical;
        int min, max;
        int x, y;
        int value;
    } rows[] = {
        {false, 0, 10, 8, 15, 0},     {false, 0, 10, 75, 15, 5},   {false, 0, 10, 142, 15, 10},
        {false, 0, 10, 14, 15, 0},    {false, 0, 10, 15, 15, 1},   {false, 0, 10, -100, 15, 0},
        {false, 0, 10, 1000, 15, 10}, {false, -5, 5, 75, 15, 0},   {true, 0, 10, 15, 137, 0},
        {true, 0, 10, 15, 3, 10},     {true, 0, 10, 15, 70, 5},    {true, 0, 10, 15, 500, 0},
        // The whole int range.
        {false, INT_MIN, INT_MAX, 8, 15, INT_MIN}, {false, INT_MIN, INT_MAX, 142, 15, INT_MAX},
        {false, INT_MIN, INT_MAX, 75, 15, 0},
    };
    for (const Row& r : rows) {
        TTrackBarMetrics m = Bar(r.vertical);
        m.Min = r.min;
        m.Max = r.max;
        m.Position = r.min;
        const int v = TTrackBarLayout(m).ValueFromPoint(r.x, r.y);
        EXPECT_EQ(v, r.value) << r.vertical << " " << r.min << ".." << r.max << " at " << r.x << "," << r.y;
        // The inverse: the thumb for that value lies under the pointer
        // (within the rounding of one pixel).
        if (r.x >= 8 && r.x <= 142 && r.y >= 3 && r.y <= 137) {
            m.Position = v;
            const TTrackBarLayout l(m);
            const TRect t = l.Thumb();
            if (r.vertical) {
                EXPECT_NEAR(t.Top, r.y, 7) << v;
            } else {
                EXPECT_NEAR(t.Left + l.PointerOffset(), r.x, 7) << v;
            }
        }
    }
    // Thumb offsets over the whole int range do not overflow.
    TTrackBarMetrics wide = Bar();
    wide.Min = INT_MIN;
    wide.Max = INT_MAX;
    const TTrackBarLayout l(wide);
    EXPECT_EQ(l.ThumbAt(INT_MIN).Left, 3);
    EXPECT_EQ(l.ThumbAt(0).Left, 3 + 67);
    EXPECT_EQ(l.ThumbAt(INT_MAX).Left, 3 + 134);
}

TEST(TrackBarLayout, ATrackNoLongerThanTheThumbKeepsThePosition) {
    for (int clientWidth : {16, 12, 6, 0}) {  // track of 10 (the thumb's width), 6, 0, -6 pixels
        TTrackBarMetrics m = Bar();
        m.ClientWidth = clientWidth;
        m.Position = 4;
        const TTrackBarLayout l(m);
        EXPECT_EQ(l.ValueFromPoint(0, 15), 4) << clientWidth;
        EXPECT_EQ(l.ValueFromPoint(500, 15), 4) << clientWidth;
        EXPECT_LE(l.ThumbOffset(4), 0) << clientWidth;
        // Paging still goes ahead one page at a time (and stops at the ends).
        EXPECT_NE(l.PageStepToward(500, 15), 0) << clientWidth;
    }
    TTrackBarMetrics same = Bar();
    same.Max = same.Min = 7;
    same.Position = 7;
    const TTrackBarLayout l(same);
    EXPECT_EQ(l.ThumbOffset(7), 0);
    EXPECT_EQ(l.ValueFromPoint(75, 15), 7);
}

TEST(TrackBarLayout, PagingStepsTowardTheClickUntilTheThumbArrives) {
    struct Row {
        bool vertical;
        int position;
        int x, y;
        int step;
    } rows[] = {
        {false, 0, 100, 15, 1}, {false, 5, 75, 15, 0}, {false, 5, 50, 15, -1}, {false, 10, 143, 15, 0},
        {false, 10, 20, 15, -1}, {true, 0, 15, 50, 1}, {true, 5, 15, 75, 0}, {true, 5, 15, 130, -1},
    };
    for (const Row& r : rows) {
        TTrackBarMetrics m = Bar(r.vertical);
        m.Position = r.position;
        EXPECT_EQ(TTrackBarLayout(m).PageStepToward(r.x, r.y), r.step) << r.vertical << " " << r.position;
    }
}

TEST(TrackBarLayout, CompletedPartEndsInTheMiddleOfTheThumb) {
    struct Row {
        bool vertical;
        int position;
        TRect completed, rest;
    } rows[] = {
        {false, 5, {3, 13, 75, 15}, {74, 13, 147, 15}},
        {false, 0, kNoRect, {3, 13, 147, 15}},
        {false, 10, {3, 13, 147, 15}, kNoRect},
        {true, 5, {13, 75, 15, 147}, {13, 3, 15, 76}},
    };
    for (const Row& r : rows) {
        TTrackBarMetrics m = Bar(r.vertical);
        m.Position = r.position;
        const TTrackBarLayout l(m);
        const TSliderParts p = l.SliderParts(true, l.Thumb());
        EXPECT_EQ(p.Completed, r.completed) << r.position;
        EXPECT_EQ(p.Rest, r.rest) << r.position;
        EXPECT_EQ(l.SliderParts(false, l.Thumb()).Rest, l.Slider());
    }
}

TEST(TrackBarLayout, TicksAreAtLeastTwoPixelsApart) {
    TTrackBarMetrics m = Bar();
    m.Max = 1000;
    const TTrackBarLayout capped(m);
    // Without texts or a draw event the last value is capped at half the
    // longer side less the band start: (150 - 2 x 8) / 2 = 67.
    auto ticks = capped.TickMarks(false);
    ASSERT_EQ(ticks.size(), 68u);
    EXPECT_EQ(ticks.front(), (TTickPlacement{0, 0}));
    EXPECT_EQ(ticks.back(), (TTickPlacement{67, 134}));
    // A draw event sees every value.
    EXPECT_EQ(capped.TickMarks(true).size(), 1001u);

    // With texts the whole range is spread over the track, and values
    // whose tick would come within a pixel of the last one are skipped; on
    // the whole int range too.
    for (auto [min, max] : {std::pair{0, 1000}, {INT_MIN, INT_MAX}, {-3, 3}}) {
        m.Min = min;
        m.Max = max;
        m.Tick.ShowText = true;
        const TTrackBarLayout l(m);
        ticks = l.TickMarks(false);
        ASSERT_FALSE(ticks.empty());
        EXPECT_EQ(ticks.front().Value, min);
        const double scale = 134.0 / (double(max) - min);
        for (size_t i = 1; i < ticks.size(); ++i) {
            EXPECT_GE(ticks[i].Offset, ticks[i - 1].Offset + 2);
            // The value before each tick was too close.
            EXPECT_LE(int64_t((ticks[i].Value - 1 - int64_t(min)) * scale), ticks[i - 1].Offset + 1);
        }
        EXPECT_LE(ticks.back().Offset, 134);
        EXPECT_GE(ticks.back().Offset, 132);
    }
    m = Bar();
    m.Tick.Style = tsManual;
    EXPECT_TRUE(TTrackBarLayout(m).TickMarks(true).empty());
}

TEST(TrackBarLayout, RateCellsWrapIntoRowsAndAnswerClicks) {
    // Room for three 20 by 10 cells per row.
    TTrackBarMetrics m = Bar();
    m.ClientWidth = 76;
    m.Max = 5;
    const TTrackBarLayout l(m);
    struct Row {
        int value;
        TRect cell;
    } rows[] = {{0, kNoRect},
                {1, {3, 13, 23, 23}},
                {3, {43, 13, 63, 23}},
                {4, {3, 23, 23, 33}},
                {5, {23, 23, 43, 33}},
                {12, kNoRect}};
    for (const Row& r : rows) EXPECT_EQ(l.RateCell(r.value, 20, 10), r.cell) << r.value;

    struct Click {
        int x, y;
        std::optional<int> value;
    } clicks[] = {{30, 25, 5}, {3, 13, 1}, {62, 22, 3}, {2, 15, 0}, {-1, 15, 0}, {-2, 15, std::nullopt},
                  {50, 30, std::nullopt}, {2, 40, std::nullopt}};
    for (const Click& c : clicks) EXPECT_EQ(l.RateClickValue(c.x, c.y, 20, 10), c.value) << c.x << "," << c.y;

    // Pictures of no size give no cells, even on the widest range.
    m.Max = INT_MAX;
    const TTrackBarLayout wide(m);
    EXPECT_TRUE(IsNone(wide.RateCell(INT_MAX, 0, 10)));
    EXPECT_TRUE(IsNone(wide.RateCell(7, 20, 0)));
    EXPECT_EQ(wide.RateClickValue(5, 15, 0, 0), std::nullopt);
    EXPECT_TRUE(IsNone(wide.RateCell(INT_MAX, 20, 10)));
    EXPECT_EQ(l.LastRateValue(20, 10), 5);
    EXPECT_EQ(wide.LastRateValue(20, 10), 6);  // three per row, two rows fit
    EXPECT_EQ(wide.LastRateValue(0, 10), 0);
}

TEST(TrackBarLayout, APositionChangeRepaintsBothThumbsAndWhatShowsThePosition) {
    TTrackBarMetrics m = Bar();
    const TTrackBarLayout l(m);
    const TRect from = l.ThumbAt(0), to = l.ThumbAt(5);
    EXPECT_EQ(l.PositionChangeAreas(from, to, false, false), (std::vector<TRect>{{2, 6, 81, 23}}));
    EXPECT_EQ(l.PositionChangeAreas(from, to, true, true),
              (std::vector<TRect>{{2, 6, 81, 23}, {3, 13, 147, 15}, {69, 13, 81, 23}, {2, 13, 14, 23}}));
}

TEST(TrackBarRules, PositionWritesClampAndSkipTheCurrentValue) {
    struct Row {
        int64_t requested;
        int current;
        std::optional<int> result;
    } rows[] = {{5, 5, std::nullopt}, {7, 5, 7}, {15, 10, 10}, {-3, 2, 0}, {int64_t(INT_MAX) + 5, 3, 10}};
    for (const Row& r : rows) EXPECT_EQ(ResolvePosition(r.requested, r.current, 0, 10), r.result) << r.requested;
    EXPECT_EQ(OffsetPosition(INT_MAX, 1), INT_MAX);
    EXPECT_EQ(OffsetPosition(INT_MIN, -1), INT_MIN);
}

TEST(TrackBarRules, KeysMoveByOrientation) {
    struct Row {
        uint16_t key;
        bool shift, vertical;
        int position;
        std::optional<int> target;
    } rows[] = {
        {vk::Prior, false, false, 5, 8},   {vk::Prior, false, true, 5, 8},    {vk::Next, false, false, 5, 2},
        {vk::Home, false, false, 5, 0},    {vk::End, false, false, 5, 10},    {vk::Home, false, true, 5, 10},
        {vk::End, false, true, 5, 0},      {vk::Left, false, false, 5, 4},    {vk::Down, false, true, 5, 4},
        {vk::Up, false, true, 5, 6},       {vk::Right, false, false, 5, 6},   {vk::Left, false, false, 0, std::nullopt},
        {vk::Right, false, false, 10, std::nullopt}, {vk::Prior, true, false, 5, std::nullopt},
        {vk::Home, true, true, 5, std::nullopt},     {0x41, false, false, 5, std::nullopt},
    };
    for (const Row& r : rows)
        EXPECT_EQ(KeyTarget(r.key, r.shift, r.vertical, r.position, 0, 10, 3), r.target) << std::hex << r.key;
    EXPECT_EQ(KeyTarget(vk::Prior, false, false, INT_MAX - 1, 0, INT_MAX, 3), INT_MAX);
}

TEST(TrackBarRules, HintStaysOnTheMonitor) {
    const TRect monitor{0, 0, 1280, 1024};
    EXPECT_EQ(PlaceTrackHint(100, 100, 30, 13, monitor), (TRect{100, 100, 146, 117}));
    EXPECT_EQ(PlaceTrackHint(1270, 1020, 30, 13, monitor), (TRect{1232, 1005, 1278, 1022}));
    const TRect second{1280, 0, 2560, 1024};
    EXPECT_EQ(PlaceTrackHint(2550, 10, 30, 13, second), (TRect{2512, 10, 2558, 27}));
}

TEST(TrackBarRules, LabelFormatTakesOnlyIntegers) {
    struct Row {
        const wchar_t* format;
        int value;
        const wchar_t* text;
    } rows[] = {
        {L"Pos: %d", 5, L"Pos: 5"}, {L"%3d%%", 7, L"  7%"},   {L"%s %d", 1, L"%s 1"},  {L"%-4d|", -2, L"-2  |"},
        {L"%05d", -42, L"-0042"},   {L"100%", 3, L"100%"},    {L"%", 1, L"%"},         {L"%d/%d", 4, L"4/4"},
        {L"", 9, L""},              {L"%x", 9, L"%x"},
    };
    for (const Row& r : rows) EXPECT_EQ(FormatTrackLabel(r.format, r.value), r.text) << r.format;
    EXPECT_EQ(FormatTrackLabel(L"%d", INT_MIN), L"-2147483648");
}

}  // namespace
}  // namespace kel::trackbar
