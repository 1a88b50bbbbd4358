// GetTickCount for a program that polls it until a deadline passes, as the
// frame loop does. Every reading is the true time of a monotonic
// millisecond clock; what the clock adds is rest while the program polls:
//
// - A reading that would repeat the one before first sleeps until the next
//   millisecond begins, so that a waiting program sees each millisecond as
//   it begins without spinning in between.
// - Once the program's waits have ended on a steady rhythm (three in a row
//   the same number of milliseconds apart), such a reading sleeps straight
//   to the next millisecond of that rhythm: the one at which the wait would
//   end anyway. A wait that goes on past that millisecond goes on
//   millisecond by millisecond. A wait that ends off the rhythm drops it;
//   every 32nd wait, and every wait after a frame in which the program did
//   not wait (it is behind, and any reading may end the wait), is walked
//   millisecond by millisecond, so that a program whose deadlines come
//   earlier than the rhythm says is followed again within 32 waits.
//
// The clock learns where a wait ends from being told when the program does
// anything else (programActed).
#pragma once

#include <cstdint>

namespace vantrel {

class RestingClock {
public:
    // Where the time comes from: microseconds of a monotonic clock, and a
    // sleep until a given microsecond.
    struct Source {
        std::uint64_t (*nowUs)(void* context);
        void (*sleepUntilUs)(std::uint64_t us, void* context);
        void* context;
    };

    // CLOCK_MONOTONIC.
    RestingClock();
    explicit RestingClock(Source source);

    // The milliseconds, wrapping at 2^32, after any rest.
    std::uint32_t tickCount();
    // The program did something other than read the clock: a wait that was
    // going on has ended at the last reading.
    void programActed();

    // The rhythm followed, in milliseconds; 0 while there is none.
    std::uint64_t rhythm() const { return period; }

private:
    static constexpr std::uint64_t none = ~std::uint64_t{0};
    static constexpr int checkEvery = 32;
    static constexpr std::uint64_t longestRhythm = 1000;

    std::uint64_t nowMs() const { return source.nowUs(source.context) / 1000; }

    Source source;
    std::uint64_t last = none;  // the last reading, in milliseconds
    bool readSinceAct = false;  // the clock was read since the program last acted
    bool waiting = false;       // ... and those readings included a rest
    bool lastRested = false;    // the readings before the program last acted included a rest
    bool follow = false;        // this wait's next rest goes to the rhythm's next millisecond
    std::uint64_t ends[3] = {none, none, none};  // the last wait ends, the latest first
    std::uint64_t period = 0;
    int waitsSinceWalk = 0;  // waits that followed the rhythm since one was walked
};

}  // namespace vantrel
