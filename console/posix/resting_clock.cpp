#include "console/posix/resting_clock.h"

#include <cerrno>
#include <ctime>

namespace vantrel {

namespace {

std::uint64_t monotonicUs(void*) {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::uint64_t>(t.tv_sec) * 1000000u + static_cast<std::uint64_t>(t.tv_nsec) / 1000u;
}

// A signal's handler may cut the sleep short; then it goes on.
void sleepUntil(std::uint64_t us, void*) {
    const timespec until{static_cast<time_t>(us / 1000000), static_cast<long>(us % 1000000 * 1000)};
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

}  // namespace

RestingClock::RestingClock() : source{monotonicUs, sleepUntil, nullptr} {}

RestingClock::RestingClock(Source s) : source(s) {}

std::uint32_t RestingClock::tickCount() {
    std::uint64_t ms = nowMs();
    if (ms == last) {
        if (!waiting) {
            // A new wait. It follows the rhythm when the one before was a
            // wait too (a program that did not have to wait is behind, and
            // any reading may end this one), unless it is time to walk one.
            waiting = true;
            follow = period != 0 && lastRested && ++waitsSinceWalk < checkEvery;
            if (!follow) waitsSinceWalk = 0;
        }
        std::uint64_t wake = ms + 1;
        if (follow) {
            // The rhythm's next millisecond after this one (its last end is
            // never later than the time now). Should the wait go on past
            // it, it goes on millisecond by millisecond.
            wake = ends[0] + ((ms - ends[0]) / period + 1) * period;
            follow = false;
        }
        source.sleepUntilUs(wake * 1000, source.context);
        ms = nowMs();
    }
    last = ms;
    readSinceAct = true;
    return static_cast<std::uint32_t>(ms);
}

void RestingClock::programActed() {
    if (!readSinceAct) return;
    readSinceAct = false;
    lastRested = waiting;
    if (!waiting) return;
    waiting = false;
    ends[2] = ends[1];
    ends[1] = ends[0];
    ends[0] = last;
    if (period != 0 && (ends[0] - ends[1]) % period != 0) period = 0;
    if (period == 0 && ends[2] != none) {
        const std::uint64_t step = ends[0] - ends[1];
        if (step == ends[1] - ends[2] && step >= 2 && step <= longestRhythm) period = step;
    }
}

}  // namespace vantrel
