#include "tools/view/media/frame_feed.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

namespace vantrel {

FrameFeed::FrameFeed(MediaSource& source, const std::uint8_t background[3], int width, int height)
    : source_(source), outputWidth_(width), outputHeight_(height) {
    std::memcpy(background_, background, 3);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        readyRead_ = fds[0];
        readyWrite_ = fds[1];
    }
    thread_ = std::thread([this] { run(); });
}

FrameFeed::~FrameFeed() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
    if (readyRead_ >= 0) ::close(readyRead_);
    if (readyWrite_ >= 0) ::close(readyWrite_);
}

void FrameFeed::setOutputSize(int width, int height) {
    std::lock_guard lock(mutex_);
    outputWidth_ = width;
    outputHeight_ = height;
}

void FrameFeed::seek(Microseconds time) {
    {
        std::lock_guard lock(mutex_);
        seekPending_ = true;
        seekTime_ = time;
        full_ = false;
        finished_ = false;
    }
    wake_.notify_all();
}

bool FrameFeed::take(FeedFrame& out) {
    char drain[64];
    while (::read(readyRead_, drain, sizeof drain) > 0) {
    }
    {
        std::lock_guard lock(mutex_);
        if (!full_) return false;
        std::swap(out, waiting_);
        full_ = false;
    }
    wake_.notify_all();
    return true;
}

void FrameFeed::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stop_ || seekPending_ || (!full_ && !finished_); });
        if (stop_) return;
        if (seekPending_) {
            seekPending_ = false;
            const Microseconds time = seekTime_;
            lock.unlock();
            source_.seek(time);
            lock.lock();
            continue;
        }
        const int width = outputWidth_, height = outputHeight_;
        lock.unlock();
        source_.setOutputSize(width, height);
        source_.setHurry(hurry_.load(std::memory_order_relaxed));
        decoding_.result = source_.decode();
        if (decoding_.result == DecodeResult::frame) {
            decoding_.time = source_.frameTime();
            decoding_.duration = source_.frameDuration();
            flattenFrame(source_.convert(), background_, decoding_);
        }
        lock.lock();
        if (stop_ || seekPending_) continue;  // made stale meanwhile
        std::swap(decoding_, waiting_);
        full_ = true;
        finished_ = waiting_.result != DecodeResult::frame;
        const char ready = 1;
        [[maybe_unused]] const ssize_t written = ::write(readyWrite_, &ready, 1);  // full pipe: already readable
    }
}

void flattenFrame(const MediaFrame& frame, const std::uint8_t background[3], FeedFrame& out) {
    out.width = frame.width;
    out.height = frame.height;
    const std::size_t rowBytes = static_cast<std::size_t>(frame.width) * 3;
    const std::size_t bytes = rowBytes * static_cast<std::size_t>(frame.height);
    if (out.rgb.size() < bytes) out.rgb.resize(bytes);  // grows with the output size only
    for (int y = 0; y < frame.height; ++y) {
        const std::uint8_t* in = frame.pixels + y * frame.rowBytes;
        std::uint8_t* to = out.rgb.data() + y * rowBytes;
        if (frame.channels == 3) {
            std::memcpy(to, in, rowBytes);
            continue;
        }
        // Straight alpha over the background, as browsers composite (in sRGB).
        for (int x = 0; x < frame.width; ++x, in += 4, to += 3) {
            const unsigned alpha = in[3];
            for (int c = 0; c < 3; ++c) to[c] = static_cast<std::uint8_t>((in[c] * alpha + background[c] * (255 - alpha) + 127) / 255);
        }
    }
}

}  // namespace vantrel
