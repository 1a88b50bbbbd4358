// GetTickCount for a program that polls it until a deadline passes, on a
// grid of frames a known period apart, as the frame loop does. Every
// reading is the true time of a monotonic millisecond clock; what the clock
// adds is rest while the program polls, and never past the program's
// deadline:
//
// - A reading that would repeat the one before first sleeps until the next
//   millisecond begins, so that a waiting program sees each millisecond as
//   it begins without spinning in between.
// - The clock counts the program's frames (a frame is the readings up to
//   the next thing the program does other than read the clock) and expects
//   each frame's wait to end one period after the previous frame's: at the
//   end of the last wait plus a period for every frame since. Once two
//   waits in a row have ended exactly where expected, a repeated reading
//   sleeps straight to the expected millisecond, the one at which the wait
//   ends anyway.
// - A reading at or past the expected millisecond never rests: the program
//   is behind, or its wait is over, and a frame that is behind starts at
//   once, so that catching up after a hold-up takes no sleep at all. Should
//   the program read again in that frame, it is not on the expected grid:
//   the clock goes back to resting a millisecond at a time until waits end
//   where expected again.
#pragma once

#include <cstdint>

#include "vantrel/frame_clock.h"

namespace vantrel {

class RestingClock {
public:
    // Frames `framePeriodMs` apart (at least 1), on the system's monotonic
    // clock or the given one.
    explicit RestingClock(std::uint32_t framePeriodMs, ClockSource source = monotonicClock());

    // The milliseconds, wrapping at 2^32, after any rest.
    std::uint32_t tickCount();
    // The program did something other than read the clock: the frame's
    // readings have ended at the last one.
    void programActed();

    // True while the clock sleeps straight to the expected end of each wait.
    bool following() const { return agreed >= waitsToAgree; }

private:
    static constexpr std::uint64_t none = ~std::uint64_t{0};
    static constexpr int waitsToAgree = 2;

    std::uint64_t nowMs() const { return source.nowUs(source.context) / 1000; }

    ClockSource source;
    std::uint64_t period;
    std::uint64_t last = none;  // the last reading, in milliseconds
    std::uint64_t due = none;   // where this frame's wait is expected to end
    int agreed = 0;             // waits in a row that ended where expected
    bool readSinceAct = false;  // the clock was read since the program last acted
    bool rested = false;        // ... and those readings included a rest
    bool reachedDue = false;    // ... and one of them was at or past `due`
};

}  // namespace vantrel
