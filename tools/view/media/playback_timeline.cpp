#include "tools/view/media/playback_timeline.h"

#include <algorithm>

namespace vantrel {

PlaybackTimeline::Verdict PlaybackTimeline::judge(Microseconds time, Microseconds duration, Microseconds now) const {
    if (!anchored_) return Verdict::show;
    if (paused_) return Verdict::wait;
    const Microseconds due = anchor_ + time;
    if (now < due) return Verdict::wait;
    const bool intervalPassed = duration > 0 && now >= due + duration;
    return intervalPassed && now - lastShown_ < longestHold ? Verdict::drop : Verdict::show;
}

std::optional<Microseconds> PlaybackTimeline::dueAt(Microseconds time) const {
    if (!anchored_ || paused_) return std::nullopt;
    return anchor_ + time;
}

void PlaybackTimeline::shown(Microseconds time, Microseconds now) {
    if (stats_.shown++ == 0) firstShown_ = now;
    lastShown_ = now;
    if (!anchored_) {
        anchored_ = true;
        anchor_ = now - time;
        if (paused_) pausedAt_ = now;
        return;
    }
    const Microseconds lateness = now - (anchor_ + time);
    if (lateness > lateAfter) ++stats_.late;
    stats_.largestLateness = std::max(stats_.largestLateness, lateness);
}

void PlaybackTimeline::pause(Microseconds now) {
    if (paused_) return;
    paused_ = true;
    pausedAt_ = now;
}

void PlaybackTimeline::resume(Microseconds now) {
    if (!paused_) return;
    paused_ = false;
    if (anchored_) anchor_ += now - pausedAt_;
    lastShown_ = now;
}

}  // namespace vantrel
