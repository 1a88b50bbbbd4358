#include "console/posix/resting_clock.h"

#include <algorithm>

namespace vantrel {

RestingClock::RestingClock(std::uint32_t framePeriodMs, ClockSource s)
    : source(s), period(std::max<std::uint32_t>(framePeriodMs, 1)) {}

std::uint32_t RestingClock::tickCount() {
    std::uint64_t ms = nowMs();
    const bool atDue = due != none && ms >= due;
    if (atDue && reachedDue) {
        // Still reading after the expected end: the program waits for a
        // later deadline than the grid says.
        agreed = 0;
    }
    if (ms == last && !(atDue && !reachedDue)) {
        std::uint64_t wake = ms + 1;
        if (following() && due != none && ms < due) wake = due;
        source.sleepUntilUs(wake * 1000, source.context);
        rested = true;
        ms = nowMs();
    }
    if (due != none && ms >= due) reachedDue = true;
    last = ms;
    readSinceAct = true;
    return static_cast<std::uint32_t>(ms);
}

void RestingClock::programActed() {
    if (!readSinceAct) return;
    readSinceAct = false;
    if (rested) {
        // A wait ended at the last reading: the next one ends a period later.
        agreed = due != none && last == due ? std::min(agreed + 1, waitsToAgree) : 0;
        due = last + period;
    } else if (due != none) {
        // A frame that did not wait: behind, or its deadline had just passed.
        if (last < due) agreed = 0;
        due += period;
    }
    rested = false;
    reachedDue = false;
}

}  // namespace vantrel
