// Frame pacing: a clock that sleeps until the next frame's time on a fixed
// grid (start + n x period) and never holds a frame that is already late,
// and a wait until an absolute time of the monotonic clock (for the
// timestamps of a video).
//
// A program that falls behind is not slowed further: each late frame
// starts at once, without sleeping, until the grid is caught up. After
// a long hold-up (more than a second behind: a suspend, a stall) the grid
// starts again from the present instead, so that the program does not race
// through the frames it missed.
#pragma once

#include <cstdint>

namespace vantrel {

// Where a clock's time comes from: microseconds of a monotonic clock, and a
// sleep until one of them (which may end late, never early). Tests give a
// simulated one.
struct ClockSource {
    std::uint64_t (*nowUs)(void* context);
    void (*sleepUntilUs)(std::uint64_t us, void* context);
    void* context;
};

// The system's monotonic clock (CLOCK_MONOTONIC on POSIX, the steady clock
// elsewhere); its sleeps go on after a signal's handler interrupts them.
ClockSource monotonicClock();

class FrameClock {
public:
    // Frames `periodUs` microseconds apart (at least 1), the first one a
    // period from now.
    explicit FrameClock(std::uint64_t periodUs, ClockSource source = monotonicClock());
    // Frames at `framesPerSecond` (at least 1) a second.
    static FrameClock perSecond(int framesPerSecond, ClockSource source = monotonicClock());

    // Sleeps until the next frame is due and moves on to the one after it.
    // True when it slept (or the time had just come); false when the frame
    // was already late and it returned at once.
    bool waitForNextFrame();
    // Sleeps until `us` of the clock's source (compare nowUs()). False, at
    // once, when that time has already passed.
    bool waitUntil(std::uint64_t us);
    // The grid starts again: the next frame is due one period from now.
    void restart();

    std::uint64_t nowUs() const { return source_.nowUs(source_.context); }
    // When the next frame is due, and the milliseconds until then (0 when it
    // is due or late; rounded up), for waiting on input meanwhile.
    std::uint64_t nextFrameUs() const { return next_; }
    int millisecondsToNextFrame() const;
    std::uint64_t periodUs() const { return period_; }

private:
    ClockSource source_;
    std::uint64_t period_;
    std::uint64_t next_;
};

}  // namespace vantrel
