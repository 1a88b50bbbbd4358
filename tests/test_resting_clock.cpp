// The resting clock under the frame loop's own wait, and the public frame
// clock, on simulated time whose sleeps end late: every wait ends at the
// first millisecond past its deadline and a frame that starts behind
// starts at once, without sleeping, through steady frames, alternating
// overruns, random heavy frames, a long stall and the wrap of the 32-bit
// count; steady frames rest about once a frame.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "console/posix/resting_clock.h"
#include "vantrel/frame_clock.h"

using namespace vantrel;

namespace {

// Microseconds that pass by themselves only when asked: each reading costs
// one, a sleep ends 150 after its time, as a timer would.
struct SimulatedTime {
    std::uint64_t us;
    int sleeps = 0;

    static std::uint64_t now(void* self) { return static_cast<SimulatedTime*>(self)->us++; }
    static void sleepUntil(std::uint64_t until, void* self) {
        auto& t = *static_cast<SimulatedTime*>(self);
        if (until > t.us) t.us = until + 150;
        ++t.sleeps;
    }
    ClockSource source() { return ClockSource{now, sleepUntil, this}; }
};

struct Lateness {
    int worstMs = 0;           // past the first millisecond past the deadline, or the frame's start when behind
    int sleepsWhenBehind = 0;  // rests in frames that started past their deadline
};

// The frame loop's wait (deadline += period, read until a reading is past
// it), then the program acts and works for work[f] microseconds.
Lateness runFrames(RestingClock& clock, SimulatedTime& time, std::uint32_t& deadline,
                   const std::vector<std::uint64_t>& work, std::uint32_t period = 10) {
    Lateness result;
    for (const std::uint64_t w : work) {
        deadline += period;
        const auto start = static_cast<std::uint32_t>(time.us / 1000);
        const bool behind = static_cast<std::int32_t>(start - deadline) > 0;
        const int sleepsBefore = time.sleeps;
        std::uint32_t tick = clock.tickCount();
        while (static_cast<std::int32_t>(tick - deadline) <= 0) tick = clock.tickCount();
        const std::uint32_t due = behind ? start : deadline + 1;
        result.worstMs = std::max(result.worstMs, static_cast<int>(static_cast<std::int32_t>(tick - due)));
        if (behind) result.sleepsWhenBehind += time.sleeps - sleepsBefore;
        clock.programActed();
        time.us += w;
    }
    return result;
}

std::vector<std::uint64_t> light(int frames) { return std::vector<std::uint64_t>(static_cast<std::size_t>(frames), 300); }

TEST(RestingClock, NeverHoldsALateFrame) {
    struct Case {
        const char* name;
        std::vector<std::uint64_t> work;
    };
    std::vector<Case> cases;
    // Frames alternating 12 and 2 ms of work (waits 20 ms apart), then light.
    cases.push_back({"alternating overruns", {}});
    for (int f = 0; f < 100; ++f) cases.back().work.push_back(f % 2 == 0 ? 12000 : 2000);
    for (std::uint64_t w : light(200)) cases.back().work.push_back(w);
    // A quarter of the frames take 14 ms, at random.
    cases.push_back({"random heavy frames", light(50)});
    std::mt19937 random(20);
    for (int f = 0; f < 2000; ++f) cases.back().work.push_back(random() % 4 == 0 ? 14000 : 300);
    // One frame held up for 100 ms: ten frames to catch up.
    cases.push_back({"a 100 ms stall", light(50)});
    cases.back().work.push_back(100000);
    for (std::uint64_t w : light(200)) cases.back().work.push_back(w);

    for (const Case& c : cases) {
        SimulatedTime time{5000000};
        RestingClock clock(10, time.source());
        std::uint32_t deadline = clock.tickCount();
        const Lateness late = runFrames(clock, time, deadline, c.work);
        EXPECT_EQ(late.worstMs, 0) << c.name;
        EXPECT_EQ(late.sleepsWhenBehind, 0) << c.name;
        EXPECT_TRUE(clock.following()) << c.name << ": light frames at the end";
    }
}

TEST(RestingClock, RestsOnceAFrameAcrossTheWrap) {
    // 300 ms before the 32-bit count wraps.
    SimulatedTime time{(std::uint64_t{1} << 32) * 1000 - 300000};
    RestingClock clock(10, time.source());
    std::uint32_t deadline = clock.tickCount();
    EXPECT_EQ(runFrames(clock, time, deadline, light(20)).worstMs, 0);
    EXPECT_TRUE(clock.following());
    time.sleeps = 0;
    EXPECT_EQ(runFrames(clock, time, deadline, light(400)).worstMs, 0);
    EXPECT_EQ(time.sleeps, 400) << "one rest a frame";
}

TEST(RestingClock, AProgramOffTheGridIsWalkedEachMillisecond) {
    // Deadlines 7 and 25 ms apart never agree with a 10 ms grid: waits rest
    // a millisecond at a time and still end on time.
    for (std::uint32_t period : {7u, 25u}) {
        SimulatedTime time{5000000};
        RestingClock clock(10, time.source());
        std::uint32_t deadline = clock.tickCount();
        EXPECT_EQ(runFrames(clock, time, deadline, light(200), period).worstMs, 0) << period;
        EXPECT_FALSE(clock.following()) << period;
        EXPECT_GT(time.sleeps, 200 * (static_cast<int>(period) - 2)) << period;
    }
}

TEST(FrameClock, SleepsOnTheGridAndNeverHoldsALateFrame) {
    SimulatedTime time{1000000};
    FrameClock clock(10000, time.source());
    EXPECT_EQ(clock.nextFrameUs(), 1010000u);
    EXPECT_EQ(clock.millisecondsToNextFrame(), 10);
    // Light frames: each sleep ends (late) at its time on the grid.
    for (int f = 1; f <= 5; ++f) {
        EXPECT_TRUE(clock.waitForNextFrame());
        EXPECT_EQ(time.us, 1000000u + 10000u * static_cast<unsigned>(f) + 150) << f;
        time.us += 300;
    }
    // A 35 ms frame: the three frames it overran start at once.
    time.us += 35000;
    const int sleeps = time.sleeps;
    EXPECT_FALSE(clock.waitForNextFrame());
    EXPECT_FALSE(clock.waitForNextFrame());
    EXPECT_FALSE(clock.waitForNextFrame());
    EXPECT_EQ(time.sleeps, sleeps);
    EXPECT_TRUE(clock.waitForNextFrame());
    EXPECT_EQ(time.us, 1090000u + 150) << "back on the grid";
    // More than a second behind: a new grid from now.
    time.us += 2000000;
    EXPECT_FALSE(clock.waitForNextFrame());
    EXPECT_EQ(clock.nextFrameUs(), time.us + 10000 - 1);

    // An absolute time: sleeps when it is ahead, returns at once when past.
    const std::uint64_t target = time.us + 4000;
    EXPECT_TRUE(clock.waitUntil(target));
    EXPECT_EQ(time.us, target + 150);
    const int before = time.sleeps;
    EXPECT_FALSE(clock.waitUntil(target));
    EXPECT_EQ(time.sleeps, before);
    EXPECT_EQ(FrameClock::perSecond(30, time.source()).periodUs(), 33333u);
}

}  // namespace
