// The resting clock under the frame loop's own wait, on simulated time:
// every wait ends at the first millisecond past its deadline (never later),
// across a held-up frame, the wrap of the 32-bit count and changes of the
// program's rhythm, while resting about once a frame once the rhythm is
// known.
#include <gtest/gtest.h>

#include <cstdint>

#include "console/posix/resting_clock.h"

using namespace vantrel;

namespace {

// Microseconds that pass by themselves only when asked: each reading costs
// one, a sleep ends 60 after its time, as a timer would.
struct SimulatedTime {
    std::uint64_t us;
    int sleeps = 0;

    static std::uint64_t now(void* self) { return static_cast<SimulatedTime*>(self)->us++; }
    static void sleepUntil(std::uint64_t until, void* self) {
        auto& t = *static_cast<SimulatedTime*>(self);
        if (until > t.us) t.us = until + 60;
        ++t.sleeps;
    }
};

// Runs `frames` frames of the loop's wait (deadline += period, read until a
// reading is past it) with 0.3 ms of work after each; frame `slowFrame`
// takes 25 ms more. Returns the number of waits that ended late: past the
// first millisecond after the deadline, or for a frame that starts behind,
// past the millisecond after the one it starts in.
int runFrames(RestingClock& clock, SimulatedTime& time, std::uint32_t& deadline, int frames, std::uint32_t period,
              int slowFrame = -1) {
    int late = 0;
    for (int f = 0; f < frames; ++f) {
        deadline += period;
        const auto start = static_cast<std::uint32_t>(time.us / 1000);
        std::uint32_t tick = clock.tickCount();
        while (static_cast<std::int32_t>(tick - deadline) <= 0) tick = clock.tickCount();
        const std::uint32_t due = static_cast<std::int32_t>(start - deadline) > 0 ? start + 1 : deadline + 1;
        if (static_cast<std::int32_t>(tick - due) > 0) ++late;
        clock.programActed();
        time.us += f == slowFrame ? 25300 : 300;
    }
    return late;
}

TEST(RestingClock, WaitsEndOnTimeAndRestOnceAFrame) {
    // 300 ms before the 32-bit count wraps.
    SimulatedTime time{(std::uint64_t{1} << 32) * 1000 - 300000};
    RestingClock clock(RestingClock::Source{SimulatedTime::now, SimulatedTime::sleepUntil, &time});
    std::uint32_t deadline = clock.tickCount();
    EXPECT_EQ(runFrames(clock, time, deadline, 20, 10), 0);
    EXPECT_EQ(clock.rhythm(), 10u);
    time.sleeps = 0;
    EXPECT_EQ(runFrames(clock, time, deadline, 400, 10, 150), 0) << "across the wrap and a held-up frame";
    EXPECT_LT(time.sleeps, 400 * 3 / 2) << "rests per frame";
    EXPECT_GT(time.sleeps, 400 - 5);

    // Deadlines that come later than the rhythm says are never missed;
    // earlier ones for a few waits at most, until a walked wait finds them.
    EXPECT_EQ(runFrames(clock, time, deadline, 100, 25), 0);
    EXPECT_EQ(clock.rhythm(), 25u);
    EXPECT_LE(runFrames(clock, time, deadline, 40, 20), 32);
    EXPECT_EQ(runFrames(clock, time, deadline, 100, 20), 0);
    EXPECT_LE(runFrames(clock, time, deadline, 40, 7), 32);
    EXPECT_EQ(runFrames(clock, time, deadline, 100, 7), 0);
    EXPECT_EQ(clock.rhythm(), 7u);
}

}  // namespace
