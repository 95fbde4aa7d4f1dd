// The sweep's clock.
#include "Display/kynSweepClock.h"

#include <algorithm>
#include <numeric>

namespace kyn {

TSweepClock::TSweepClock(std::int64_t countsPerSecond) : freq_(std::max<std::int64_t>(countsPerSecond, 1)) {}

void TSweepClock::Start(std::int64_t now, unsigned intervalMs) {
    interval_ms_ = std::max(intervalMs, 1u);
    anchor_ = now;
    done_ = 0;
    // After this many steps the anchor moves by a whole number of counts, so
    // moving it loses nothing and the products below stay small.
    const std::int64_t per = static_cast<std::int64_t>(interval_ms_) * freq_;
    rebase_every_ = 1000 / std::gcd(per, std::int64_t{1000});
    running_ = true;
}

void TSweepClock::SetInterval(std::int64_t now, unsigned intervalMs) {
    const bool running = running_;
    Start(now, intervalMs);
    running_ = running;
}

std::int64_t TSweepClock::StepAt(std::int64_t k) const {
    const std::int64_t scaled = k * interval_ms_ * freq_;
    return anchor_ + (scaled + 999) / 1000;
}

std::int64_t TSweepClock::DueBy(std::int64_t now) const {
    if (now <= anchor_) return 0;
    return (now - anchor_) * 1000 / (static_cast<std::int64_t>(interval_ms_) * freq_);
}

void TSweepClock::Rebase() {
    while (done_ >= rebase_every_) {
        anchor_ += rebase_every_ * interval_ms_ * freq_ / 1000;
        done_ -= rebase_every_;
    }
}

unsigned TSweepClock::Advance(std::int64_t now) {
    if (!running_) return 0;
    const std::int64_t due = DueBy(now);
    if (due <= done_) return 0;
    const std::int64_t maxLag = freq_ * kMaxLagMs / 1000;
    if (now - StepAt(done_ + 1) > maxLag) {
        // A stall: one step now, the next one interval on.
        Start(now, interval_ms_);
        ++total_;
        return 1;
    }
    const std::int64_t steps = due - done_;
    done_ = due;
    total_ += static_cast<std::uint64_t>(steps);
    Rebase();
    return static_cast<unsigned>(steps);
}

std::int64_t TSweepClock::NextStepAt() const { return StepAt(done_ + 1); }

}  // namespace kyn
