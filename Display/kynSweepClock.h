// The sweep's clock: which steps are due on a high-resolution counter. Step k
// after a start falls at start + k * interval, computed from the start each
// time, so rounding never adds up and the count after t is t / interval.
// A late reader gets every step due since the last one it took, unless the
// oldest of them is more than kMaxLagMs late: then it gets one step and the
// clock starts over from that moment, so a stall never turns into a burst.
// Free of the platform; the counter's frequency is given.
#pragma once

#include <cstdint>

namespace kyn {

class TSweepClock {
public:
    static constexpr unsigned kMaxLagMs = 100;

    // countsPerSecond > 0.
    explicit TSweepClock(std::int64_t countsPerSecond);

    // Starts (or starts over) at now: the first step falls one interval later.
    void Start(std::int64_t now, unsigned intervalMs);
    void Stop() { running_ = false; }
    bool Running() const { return running_; }

    // A new interval counts from now; the clock keeps running or stopped.
    void SetInterval(std::int64_t now, unsigned intervalMs);
    unsigned IntervalMs() const { return interval_ms_; }

    // The steps due at now that were not handed out yet (0 when stopped).
    unsigned Advance(std::int64_t now);
    // The counter value at which the next step falls due.
    std::int64_t NextStepAt() const;
    // Steps handed out since the clock was made.
    std::uint64_t Steps() const { return total_; }

private:
    // When step k after the anchor falls (rounded up to a whole count).
    std::int64_t StepAt(std::int64_t k) const;
    // Steps whose time has come by now, counted from the anchor.
    std::int64_t DueBy(std::int64_t now) const;
    void Rebase();

    std::int64_t freq_;
    std::int64_t anchor_ = 0;
    std::int64_t done_ = 0;  // steps handed out since the anchor
    std::int64_t rebase_every_ = 1;
    std::uint64_t total_ = 0;
    unsigned interval_ms_ = 1;
    bool running_ = false;
};

}  // namespace kyn
