// Defaults and ranges of the general settings.
#include "common/GeneralSettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace common {
namespace {

TEST(GeneralSettings, DefaultsLieInTheRangesTheDisplayNeeds) {
    const TGeneralSettings s;
    TGeneralSettings clamped = s;
    ClampGeneralSettings(clamped);
    EXPECT_EQ(clamped, s);
    EXPECT_EQ(s.StartDelayMs, 3000);
    EXPECT_EQ(s.SweepDirection, sdTopDown);
    EXPECT_GE(s.WindowWidth, 320);
    EXPECT_GE(s.WindowHeight, 240);
    // Each colour is what its choice gives at its contrast: black and white.
    EXPECT_EQ(s.BackgroundColour, (TDisplayColour{0.0, 0.0, 0.0, ccBlack, 0.0}));
    EXPECT_EQ(s.LineColour, (TDisplayColour{1.0, 1.0, 1.0, ccWhite, 0.0}));
    // Meaningful zeros: flag unchanged, light theme, delay and reset off.
    EXPECT_EQ(s.Language, 0);
    EXPECT_EQ(s.Theme, thLight);
    EXPECT_EQ(s.StartDelayOn, 0);
    EXPECT_EQ(s.ResetBeforeRun, 0);
}

TEST(GeneralSettings, BringsFileValuesIntoRange) {
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    struct Row { int in, thickness, spacing, rate, delay; };
    const Row rows[] = {
        {kMin, 1, 1, 1, 0},
        {-1, 1, 1, 1, 0},
        {0, 1, 1, 1, 0},
        {1, 1, 1, 1, 1},
        {8, 8, 8, 8, 8},
        {9, 8, 9, 9, 9},
        {128, 8, 128, 128, 128},
        {1000, 8, 1000, 1000, 1000},
        {1001, 8, 1001, 1000, 1001},
        {kMax, 8, kMaxGridSpacing, 1000, kMaxStartDelayMs},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(ClampLineThickness(r.in), r.thickness) << r.in;
        EXPECT_EQ(ClampGridSpacing(r.in), r.spacing) << r.in;
        EXPECT_EQ(ClampSweepRate(r.in), r.rate) << r.in;
        EXPECT_EQ(ClampStartDelay(r.in), r.delay) << r.in;
    }
    struct Unit { double in, out; };
    const Unit units[] = {{-0.5, 0.0}, {0.0, 0.0}, {0.2, 0.2}, {1.0, 1.0}, {1e300, 1.0},
                          {std::numeric_limits<double>::quiet_NaN(), 0.0}};
    for (const auto& u : units) EXPECT_EQ(ClampUnit(u.in), u.out) << u.in;
}

// The record's clamps come from the settings file's field table: the fields
// with a range are brought into it, every other field keeps any value.
TEST(GeneralSettings, ClampsExactlyTheFieldsWithARange) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    TGeneralSettings s;
    s.Language = -7;
    s.Theme = 99;
    s.WindowTop = -5000;
    s.WindowLeft = 7000;
    s.WindowWidth = 1;
    s.WindowHeight = -1;
    s.LineThickness = 0;
    s.SweepRate = 5000;
    s.StartDelayMs = -1;
    s.SweepDirection = 7;
    s.BackgroundColour = {-1.0, 2.0, nan, 9, -0.5};
    s.LineColour = {0.25, 1e300, -1e-300, -4, 7.0};
    s.GridSpacing = -3;
    s.StartDelayOn = 5;
    s.ResetBeforeRun = -5;
    s.ServerIP = L"not an address";
    s.ServerPort = -70000;

    TGeneralSettings expected = s;
    expected.LineThickness = 1;
    expected.SweepRate = 1000;
    expected.StartDelayMs = 0;
    expected.BackgroundColour = {0.0, 1.0, 0.0, 9, 0.0};
    expected.LineColour = {0.25, 1.0, 0.0, -4, 1.0};
    expected.GridSpacing = 1;
    ClampGeneralSettings(s);
    EXPECT_EQ(s, expected);
}

}  // namespace
}  // namespace common
