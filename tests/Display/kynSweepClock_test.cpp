// The sweep clock's step arithmetic on a high-resolution counter.
#include "Display/kynSweepClock.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace kyn {
namespace {

// Counters of 10 MHz and of the 3.579545 MHz ACPI timer, whose ticks are no
// whole number of microseconds.
constexpr std::int64_t kTenMHz = 10'000'000;
constexpr std::int64_t kAcpi = 3'579'545;

std::int64_t AtMs(std::int64_t freq, double ms) { return static_cast<std::int64_t>(ms * freq / 1000.0); }

TEST(SweepClock, CountAfterTIsTDividedByIntervalWithoutDrift) {
    struct Row { std::int64_t freq; unsigned interval; double pollMs; double seconds; };
    const Row rows[] = {
        {kTenMHz, 1, 1.0, 120},  {kTenMHz, 11, 1.0, 120},  {kTenMHz, 101, 0.7, 120}, {kTenMHz, 1000, 3.3, 300},
        {kAcpi, 1, 0.9, 120},    {kAcpi, 11, 1.3, 120},    {kAcpi, 101, 1.0, 120},   {kAcpi, 501, 2.0, 300},
    };
    for (const auto& r : rows) {
        TSweepClock clock(r.freq);
        const std::int64_t t0 = 123'456'789;
        clock.Start(t0, r.interval);
        std::uint64_t steps = 0;
        const std::int64_t end = t0 + static_cast<std::int64_t>(r.seconds * r.freq);
        for (double ms = 0; ms <= r.seconds * 1000; ms += r.pollMs) {
            const std::int64_t now = t0 + AtMs(r.freq, ms);
            steps += clock.Advance(now);
            // Never ahead of the rule, never more than one poll behind it.
            const auto expected = static_cast<std::uint64_t>((now - t0) * 1000 / (r.interval * r.freq));
            ASSERT_EQ(steps, expected) << r.freq << " " << r.interval << " at " << ms;
        }
        steps += clock.Advance(end);
        EXPECT_EQ(steps, static_cast<std::uint64_t>(r.seconds * 1000 / r.interval)) << r.freq << " " << r.interval;
        EXPECT_EQ(clock.Steps(), steps);
    }
}

TEST(SweepClock, FirstStepFallsOneIntervalAfterTheStartAndNextStepAtIsExact) {
    for (std::int64_t freq : {kTenMHz, kAcpi}) {
        TSweepClock clock(freq);
        clock.Start(1000, 11);
        EXPECT_EQ(clock.Advance(1000), 0u);
        for (int k = 0; k < 50; ++k) {
            const std::int64_t next = clock.NextStepAt();
            EXPECT_EQ(clock.Advance(next - 1), 0u) << freq << " step " << k;
            EXPECT_EQ(clock.Advance(next), 1u) << freq << " step " << k;
        }
        // Step 51 falls at 561 ms, rounded up to a whole count.
        EXPECT_EQ(clock.NextStepAt() - 1000, (51 * 11 * freq + 999) / 1000);
    }
}

TEST(SweepClock, LateReaderCatchesUpButAStallGivesOneStepAndStartsOver) {
    TSweepClock clock(kTenMHz);
    clock.Start(0, 1);
    // 40 ms late: every step due, at once.
    EXPECT_EQ(clock.Advance(AtMs(kTenMHz, 40.5)), 40u);
    EXPECT_EQ(clock.Advance(AtMs(kTenMHz, 41)), 1u);
    // Half a second without a reader: one step, then one interval on.
    EXPECT_EQ(clock.Advance(AtMs(kTenMHz, 541)), 1u);
    EXPECT_EQ(clock.Advance(AtMs(kTenMHz, 541.9)), 0u);
    EXPECT_EQ(clock.Advance(AtMs(kTenMHz, 542)), 1u);
    // Exactly at the lag limit is still a catch-up.
    TSweepClock slow(kTenMHz);
    slow.Start(0, 10);
    EXPECT_EQ(slow.Advance(AtMs(kTenMHz, 10 + TSweepClock::kMaxLagMs)), 11u);
}

TEST(SweepClock, StoppedGivesNothingAndANewIntervalCountsFromNow) {
    TSweepClock clock(kTenMHz);
    EXPECT_EQ(clock.Advance(AtMs(kTenMHz, 5000)), 0u);
    clock.Start(0, 100);
    EXPECT_EQ(clock.Advance(AtMs(kTenMHz, 150)), 1u);
    EXPECT_EQ(clock.Advance(AtMs(kTenMHz, 250)), 1u);
    clock.SetInterval(AtMs(kTenMHz, 260), 1);
    EXPECT_TRUE(clock.Running());
    EXPECT_EQ(clock.Advance(AtMs(kTenMHz, 260.9)), 0u);
    EXPECT_EQ(clock.Advance(AtMs(kTenMHz, 265)), 5u);
    clock.Stop();
    EXPECT_EQ(clock.Advance(AtMs(kTenMHz, 300)), 0u);
    clock.SetInterval(AtMs(kTenMHz, 300), 50);
    EXPECT_FALSE(clock.Running());
    // An interval of 0 is taken as 1 ms.
    clock.Start(0, 0);
    EXPECT_EQ(clock.IntervalMs(), 1u);
    EXPECT_EQ(clock.Advance(AtMs(kTenMHz, 3)), 3u);
}

}  // namespace
}  // namespace kyn
