// The sweep timer under Wine: it steps and draws while enabled, holds the 1 ms
// timer resolution only then, and a frame follows every batch of steps.
#include "Display/kynSweepTimer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/Display/display_form_fixture.h"
#include "tests/support/win_test_app.h"

namespace kyn {
namespace {

using test::DisplayForm;

double NowMs() {
    LARGE_INTEGER c, f;
    QueryPerformanceCounter(&c);
    QueryPerformanceFrequency(&f);
    return 1000.0 * double(c.QuadPart) / double(f.QuadPart);
}

TEST(SweepTimer, StepsAndFramesOnlyWhileEnabledAndGivesTheResolutionBack) {
    fw::test::TestApplication();
    const int holders0 = TSweepTimer::ResolutionHolders();
    auto* timer = new TSweepTimer(nullptr);
    timer->SetInterval(2);
    std::string events;
    // Milliseconds from the last step of a run to the frame after it.
    std::vector<double> gaps;
    double last_step = -1;
    timer->OnTimer = [&](fw::TComponent*) {
        events += 'T';
        last_step = NowMs();
    };
    timer->OnFrame = [&](fw::TComponent*) {
        events += 'F';
        if (last_step >= 0) gaps.push_back(NowMs() - last_step);
        last_step = -1;
    };
    EXPECT_FALSE(timer->ResolutionHeld());
    timer->SetEnabled(true);
    EXPECT_TRUE(timer->ResolutionHeld());
    EXPECT_EQ(TSweepTimer::ResolutionHolders(), holders0 + 1);
    ASSERT_TRUE(fw::test::PumpUntil([&] { return timer->TickCount() >= 20; }));
    timer->SetEnabled(false);
    EXPECT_FALSE(timer->ResolutionHeld());
    EXPECT_EQ(TSweepTimer::ResolutionHolders(), holders0);
    // A frame follows a run of steps at once, not at the next refresh: the
    // typical gap is far below a refresh period.
    ASSERT_FALSE(gaps.empty());
    std::sort(gaps.begin(), gaps.end());
    EXPECT_LT(gaps[gaps.size() / 2], 2.0);
    // Disabled, nothing more comes.
    const std::string before = events;
    fw::test::PumpUntil([] { return false; }, 50);
    EXPECT_EQ(events, before);
    // Freed while enabled: the resolution is given back.
    timer->SetEnabled(true);
    EXPECT_EQ(TSweepTimer::ResolutionHolders(), holders0 + 1);
    timer->Free();
    EXPECT_EQ(TSweepTimer::ResolutionHolders(), holders0);
}

// While the sweep stands still (step mode), the timer still draws at the
// display's refresh; pausing stops it and gives the resolution back, and the
// repaint timer takes the frames over.
TEST_F(DisplayForm, SweepTimerDrawsAtTheRefreshAndPauseGivesTheResolutionBack) {
    model_.SetSweepMode(TSweepMode::smStep);
    model_.SetSweepRate(1);
    form_->dpLineSweep->SetEnabled(true);
    EXPECT_TRUE(form_->dpLineSweep->ResolutionHeld());
    const unsigned long frames0 = form_->FramesDrawn();
    ASSERT_TRUE(fw::test::PumpUntil([&] { return form_->FramesDrawn() >= frames0 + 5; }));
    EXPECT_EQ(model_.Sweep().SweepPos, 0);
    model_.SetPaused(true);
    EXPECT_FALSE(form_->dpLineSweep->Enabled());
    EXPECT_FALSE(form_->dpLineSweep->ResolutionHeld());
    model_.SetPaused(false);
    EXPECT_TRUE(form_->dpLineSweep->ResolutionHeld());
    form_->dpLineSweep->SetEnabled(false);
    EXPECT_FALSE(form_->dpLineSweep->ResolutionHeld());
}

}  // namespace
}  // namespace kyn
