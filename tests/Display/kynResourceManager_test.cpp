// Defaults, range helpers and the version text of the display program.
#include "Display/kynResourceManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kyn {
namespace {

TEST(ResourceManager, DefaultsLieInTheRangesTheDisplayNeeds) {
    const TGeneralSettings s;
    EXPECT_EQ(ClampLineThickness(s.LineThickness), s.LineThickness);
    EXPECT_EQ(ClampGridSpacing(s.GridSpacing), s.GridSpacing);
    EXPECT_EQ(ClampSweepRate(s.SweepRate), s.SweepRate);
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

TEST(ResourceManager, BringsFileValuesIntoRange) {
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

TEST(ResourceManager, VersionTextShowsMajorMinorAndBuild) {
    EXPECT_EQ(FormatVersionText(TFileVersion{2, 3, 4, 5}), L"Version 2.3  Build 5");
    EXPECT_EQ(FormatVersionText(TFileVersion{1, 0, 0, 14}), L"Version 1.0  Build 14");
    EXPECT_EQ(FormatVersionText(TFileVersion{65535, 0, 0, 65535}), L"Version 65535.0  Build 65535");
    EXPECT_EQ(FormatVersionText(L"", L"", L""), L"Version .  Build ");
}

TEST(ResourceManager, SettingsFileLiesInTheSettingsFolder) {
    EXPECT_EQ(GeneralSettingsFileIn(L"C:\\Docs\\Quorvex\\"), L"C:\\Docs\\Quorvex\\settings\\gsf");
}

}  // namespace
}  // namespace kyn
