// Decoding on its own thread, one frame ahead of the player, so that a slow
// decode or an input that stalls never holds up the keys, a resize or the
// frame on screen. The thread decodes each frame and converts it to the
// output size, flattening any transparency onto the background colour; the
// player takes it when it is ready, then shows or drops it.
//
// Three frame buffers in all (being decoded, waiting, taken): they grow
// when the output size does, and are otherwise reused, swapped, never
// allocated per frame.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/view/media/media_source.h"

namespace vantrel {

struct FeedFrame {
    DecodeResult result = DecodeResult::end;
    Microseconds time = 0;
    Microseconds duration = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // width * height * 3 bytes when result is frame
};

// Copies `frame` as RGB into `out` (grown to fit), any transparency
// composited over `background` (straight alpha, in sRGB, as browsers do).
void flattenFrame(const MediaFrame& frame, const std::uint8_t background[3], FeedFrame& out);

class FrameFeed {
public:
    // `background`: red, green, blue under transparent pixels; frames
    // converted to width x height until setOutputSize says otherwise.
    FrameFeed(MediaSource& source, const std::uint8_t background[3], int width, int height);
    ~FrameFeed();
    FrameFeed(const FrameFeed&) = delete;
    FrameFeed& operator=(const FrameFeed&) = delete;

    // Readable (a byte written) each time a frame or the end is ready.
    int readyFd() const { return readyRead_; }

    // The size frames are converted to from the next one on.
    void setOutputSize(int width, int height);
    // Frames from the stream's position at `time` on; frames of before are discarded.
    void seek(Microseconds time);
    // How far behind the player is (see MediaSource::setHurry), for the
    // frames decoded from now on.
    void setHurry(int level) { hurry_.store(level, std::memory_order_relaxed); }
    // Swaps the waiting frame (or the end) into `out`; false when none is
    // ready. Drains readyFd.
    bool take(FeedFrame& out);

private:
    void run();

    MediaSource& source_;
    std::uint8_t background_[3];
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    bool seekPending_ = false;
    Microseconds seekTime_ = 0;
    bool full_ = false;      // waiting holds a frame
    bool finished_ = false;  // the end or a failure was handed over
    int outputWidth_ = 1;
    int outputHeight_ = 1;
    FeedFrame waiting_;
    FeedFrame decoding_;
    std::atomic<int> hurry_{0};
    int readyRead_ = -1;
    int readyWrite_ = -1;
    std::thread thread_;
};

}  // namespace vantrel
