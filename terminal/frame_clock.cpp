#include "vantrel/frame_clock.h"

#include <algorithm>

#ifdef _WIN32
#include <chrono>
#include <thread>
#else
#include <cerrno>
#include <ctime>
#endif

namespace vantrel {

namespace {

// A frame this late starts a new grid instead of being caught up.
constexpr std::uint64_t longestCatchUpUs = 1000000;

#ifdef _WIN32
std::uint64_t systemNowUs(void*) {
    const auto t = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(t).count());
}

void systemSleepUntilUs(std::uint64_t us, void* context) {
    const std::uint64_t now = systemNowUs(context);
    if (us > now) std::this_thread::sleep_for(std::chrono::microseconds(us - now));
}
#else
std::uint64_t systemNowUs(void*) {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::uint64_t>(t.tv_sec) * 1000000u + static_cast<std::uint64_t>(t.tv_nsec) / 1000u;
}

// A signal's handler may cut the sleep short; then it goes on.
void systemSleepUntilUs(std::uint64_t us, void*) {
    const timespec until{static_cast<time_t>(us / 1000000), static_cast<long>(us % 1000000 * 1000)};
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}
#endif

}  // namespace

ClockSource monotonicClock() { return ClockSource{systemNowUs, systemSleepUntilUs, nullptr}; }

FrameClock::FrameClock(std::uint64_t periodUs, ClockSource source)
    : source_(source), period_(std::max<std::uint64_t>(periodUs, 1)), next_(nowUs() + period_) {}

FrameClock FrameClock::perSecond(int framesPerSecond, ClockSource source) {
    return FrameClock(1000000u / static_cast<std::uint64_t>(std::clamp(framesPerSecond, 1, 1000000)), source);
}

bool FrameClock::waitForNextFrame() {
    const std::uint64_t due = next_;
    const std::uint64_t now = nowUs();
    if (now > due + longestCatchUpUs) {
        next_ = now + period_;
        return false;
    }
    next_ = due + period_;
    if (now >= due) return now == due;
    source_.sleepUntilUs(due, source_.context);
    return true;
}

bool FrameClock::waitUntil(std::uint64_t us) {
    if (nowUs() >= us) return false;
    source_.sleepUntilUs(us, source_.context);
    return true;
}

void FrameClock::restart() { next_ = nowUs() + period_; }

int FrameClock::millisecondsToNextFrame() const {
    const std::uint64_t now = nowUs();
    if (now >= next_) return 0;
    return static_cast<int>(std::min<std::uint64_t>((next_ - now + 999) / 1000, 1u << 30));
}

}  // namespace vantrel
