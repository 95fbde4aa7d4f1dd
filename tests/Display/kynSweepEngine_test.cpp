// Rounding, edges, sweep and step rules and the frame's line lists.
#include "Display/kynSweepEngine.h"

#include <gtest/gtest.h>

namespace kyn {
namespace {

TEST(SweepEngine, RoundHalfUpTruncatesNegatives) {
    struct Row { double x; int expected; };
    const Row rows[] = {{0.0, 0}, {0.49, 0}, {0.5, 1}, {120.5, 121}, {-160.5, -160}, {-1.7, -1}, {-0.5, 0}, {2.999, 3}};
    for (const auto& r : rows) EXPECT_EQ(RoundHalfUp(r.x), r.expected) << r.x;
}

TEST(SweepEngine, EdgesForEvenAndOddExtents) {
    struct Row { int extent; int s; int f; };
    const Row rows[] = {{240, -120, 120}, {241, -120, 121}, {321, -160, 161}, {1, 0, 1}};
    for (const auto& r : rows) {
        EXPECT_EQ(StartEdge(r.extent), r.s) << r.extent;
        EXPECT_EQ(FarEdge(r.extent), r.f) << r.extent;
    }
}

TEST(SweepEngine, TopDownSweepShowsZeroTo239ThenWraps) {
    TSweepState s;
    const int e = SweepExtent(1, 320, 240);
    ResetScanLine(s, e);
    EXPECT_EQ(PositionText(s, e), L"Position 0");
    for (int i = 1; i < 240; ++i) SweepTick(s, e);
    EXPECT_EQ(PositionNumber(s, e), 239);
    SweepTick(s, e);
    EXPECT_EQ(PositionNumber(s, e), 0);
}

TEST(SweepEngine, OddWidthLeftRightRunsFromMinus160To160) {
    TSweepState s;
    const int e = SweepExtent(2, 321, 240);
    ResetScanLine(s, e);
    EXPECT_EQ(s.SweepPos, -160);
    EXPECT_EQ(PositionNumber(s, e), 1);
    int highest = s.SweepPos;
    for (int i = 0; i < 320; ++i) {
        SweepTick(s, e);
        highest = std::max(highest, s.SweepPos);
    }
    EXPECT_EQ(highest, 160);
    EXPECT_EQ(PositionNumber(s, e), 321);
    SweepTick(s, e);
    EXPECT_EQ(s.SweepPos, -160);
}

TEST(SweepEngine, StepsWrapBothWaysAndModesExcludeEachOther) {
    const int e = 240;  // S = -120, F = 120
    TSweepState s;
    s.SweepMode = TSweepMode::smStep;
    s.SweepPos = -119;
    s.StepDirection = 2;
    MakeNextStep(s, e);
    EXPECT_EQ(s.SweepPos, 120);  // backward from S + 1 gives F
    s.StepDirection = 1;
    s.SweepPos = 119;
    MakeNextStep(s, e);
    EXPECT_EQ(s.SweepPos, -120);  // forward from F - 1 gives S
    SweepTick(s, e);
    EXPECT_EQ(s.SweepPos, -120);  // the timer changes nothing in step mode
    s.SweepMode = TSweepMode::smContinuous;
    MakeNextStep(s, e);
    EXPECT_EQ(s.SweepPos, -120);
}

TEST(SweepEngine, ShrunkWindowRestartsAtTheStartEdge) {
    TSweepState s;
    s.SweepPos = 200;
    SweepTick(s, 240);
    EXPECT_EQ(s.SweepPos, -120);
}

TEST(SweepEngine, GridWithSpacing128In320By240) {
    auto lines = GridLines(320, 240, 128);
    std::vector<double> xs, ys;
    for (const auto& l : lines) {
        if (l.x1 == l.x2) {
            xs.push_back(l.x1);
            EXPECT_EQ(l.y1, -120);
            EXPECT_EQ(l.y2, 120);
        } else {
            ys.push_back(l.y1);
        }
    }
    EXPECT_EQ(xs, (std::vector<double>{-160, -32, 96}));
    EXPECT_EQ(ys, (std::vector<double>{-120, 8}));
    // A spacing below 1 cannot make the list endless.
    EXPECT_EQ(GridLines(4, 2, 0).size(), 4u + 2u);
}

TEST(SweepEngine, FigurePrecedenceAndLines) {
    TSweepState s;
    EXPECT_EQ(FrameFigure(s), TFigure::ScanLine);
    s.CrossHairsOn = true;
    EXPECT_EQ(FrameFigure(s), TFigure::CrossHairs);
    s.GridOn = true;
    EXPECT_EQ(FrameFigure(s), TFigure::Grid);
    s = TSweepState{};
    s.ScanLineVisible = false;
    EXPECT_EQ(FrameFigure(s), TFigure::None);

    TLineSegment td = ScanLine(1, 5, 320, 240);
    EXPECT_EQ(td.y1, -5);
    EXPECT_EQ(td.x1, -160);
    EXPECT_EQ(td.x2, 160);
    TLineSegment lr = ScanLine(2, 5, 320, 240);
    EXPECT_EQ(lr.x1, 5);
    EXPECT_EQ(lr.y1, -120);
    auto ch = CrossHairLines(320, 240);
    ASSERT_EQ(ch.size(), 2u);
    EXPECT_EQ(ch[0].x1, -160);
    EXPECT_EQ(ch[1].y2, 120);
}

TEST(SweepEngine, IntervalsAndLighting) {
    EXPECT_EQ(SweepIntervalMs(1), 1000u);
    EXPECT_EQ(SweepIntervalMs(1000), 1u);
    EXPECT_EQ(SweepIntervalMs(0), 1000u);
    EXPECT_EQ(SweepIntervalMs(5000), 1u);
    EXPECT_DOUBLE_EQ(LitChannel(0), 0.1);
    EXPECT_DOUBLE_EQ(LitChannel(1), 1.0);
    EXPECT_DOUBLE_EQ(LitChannel(0.5), 0.7);
}

}  // namespace
}  // namespace kyn
