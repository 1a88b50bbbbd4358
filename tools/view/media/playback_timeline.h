// When each frame of a video or animation is shown, against a monotonic
// clock that the caller reads (microseconds), so that it runs as well
// against a fake clock in the tests.
//
// The first frame shown anchors the timeline: a frame presented at time t is
// due at anchor + t. A frame is never shown before it is due. A frame whose
// whole display interval has passed by the time it is ready is dropped, so
// that a slow decoder, converter or terminal never makes playback drift;
// except that when nothing has been shown for `longestHold`, a late frame is
// shown anyway, so the screen still moves when everything is hopelessly
// behind. Pausing stops the timeline and resuming moves the anchor by the
// pause; a seek re-anchors it on the first frame shown after it; each loop
// of an animation moves it by the loop's length.
#pragma once

#include <cstdint>
#include <optional>

namespace vantrel {

using Microseconds = std::int64_t;

struct PlaybackStats {
    std::int64_t decoded = 0;
    std::int64_t shown = 0;
    std::int64_t dropped = 0;
    std::int64_t late = 0;           // shown more than lateAfter after their time
    Microseconds largestLateness = 0;
    Microseconds elapsed = 0;        // from the first frame shown to the end (set by the player)
};

class PlaybackTimeline {
public:
    enum class Verdict { wait, show, drop };

    // A frame shown more than this after its time counts as late.
    static constexpr Microseconds lateAfter = 10'000;
    // With nothing shown for this long, a late frame is shown, not dropped.
    static constexpr Microseconds longestHold = 250'000;

    // A frame presented at `time` lasting `duration` (0: unknown, never
    // dropped for lateness), judged at `now`.
    Verdict judge(Microseconds time, Microseconds duration, Microseconds now) const;
    // When the frame at `time` is due; empty while paused or not anchored.
    std::optional<Microseconds> dueAt(Microseconds time) const;

    // What became of each frame, for the counts.
    void decoded() { ++stats_.decoded; }
    void dropped() { ++stats_.dropped; }
    void shown(Microseconds time, Microseconds now);

    void pause(Microseconds now);
    void resume(Microseconds now);
    bool paused() const { return paused_; }
    // The next frame shown is anchored anew (after a seek): shown at once,
    // even while paused.
    void reanchor() { anchored_ = false; }
    // The animation starts over: its frames' times start again at 0.
    void loop(Microseconds length) { anchor_ += length; }

    // The clock's reading when the first frame was shown; 0 before.
    Microseconds firstShown() const { return firstShown_; }
    const PlaybackStats& stats() const { return stats_; }

private:
    bool anchored_ = false;
    bool paused_ = false;
    Microseconds anchor_ = 0;    // the clock's reading at which time 0 is due
    Microseconds pausedAt_ = 0;
    Microseconds lastShown_ = 0;
    Microseconds firstShown_ = 0;
    PlaybackStats stats_;
};

}  // namespace vantrel
