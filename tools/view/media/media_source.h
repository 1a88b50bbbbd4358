// A video or animation, decoded frame by frame: FFmpeg's libraries for
// video and GIF, libwebp's demuxer for animated WebP. The caller decodes the
// next frame, learns its time, and converts only the frames it will show.
//
// Frames are whole canvases (an animation's disposal and blending done),
// RGB, or RGBA with straight alpha when the source has transparency. Memory
// is fixed once the output size is set: decoding and converting allocate
// nothing of ours, and each decoder frame is released when the next one is
// decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "tools/view/media/playback_timeline.h"

namespace vantrel {

struct MediaFrame {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int channels = 3;                // 3: RGB; 4: RGBA, straight alpha
    std::ptrdiff_t rowBytes = 0;
};

enum class DecodeResult { frame, end, failed };

class MediaSource {
public:
    virtual ~MediaSource() = default;

    // The frames' size as decoded.
    virtual int width() const = 0;
    virtual int height() const = 0;
    // How many times the file asks to be played: 0 forever, 1 for video.
    virtual int plays() const = 0;
    // How many frames the file holds when its own blocks say (an
    // animation); -1 when not known (video).
    virtual int frameCount() const { return -1; }
    // Whether seeking (and so looping) is possible.
    virtual bool seekable() const = 0;

    // The size convert() should give, at most the decoded size each way;
    // a source may give the decoded size instead (MediaFrame says).
    virtual void setOutputSize(int width, int height) = 0;

    // How far behind the player is: 0 on time; 1 behind, so skip what can be
    // skipped cheaply (frames nothing refers to); 2 far behind, so decode
    // key frames only until caught up. Sources that cannot skip ignore it.
    virtual void setHurry(int /*level*/) {}

    // Decodes the next frame. `failed` leaves the reason in error(); what
    // decoded before it stays valid to show.
    virtual DecodeResult decode() = 0;
    // The last decoded frame's presentation time from the start, and how
    // long it lasts (0 when not known), in microseconds.
    virtual Microseconds frameTime() const = 0;
    virtual Microseconds frameDuration() const = 0;
    // The last decoded frame at the output size; again after a change of
    // the output size, from the decoded frame.
    virtual MediaFrame convert() = 0;

    // Makes the next decode() give the frame shown at `time`: from the
    // nearest earlier key frame, decoding forward. False (and error() says
    // why) when it cannot.
    virtual bool seek(Microseconds time) = 0;

    // Damage met while decoding that did not stop it (reported at the end);
    // the reason for `failed`.
    const std::string& error() const { return error_; }

protected:
    std::string error_;
};

// Where a media file's bytes come from. `head` holds bytes already read from
// the start of the input (to tell its kind); reading continues after them.
struct MediaInput {
    int fd = -1;                     // a file or a pipe
    std::string head;                // the bytes read from fd so far
    const std::uint8_t* memory = nullptr;  // or, when fd is -1, the whole file in memory
    std::size_t memorySize = 0;
    int cancelFd = -1;               // see CancelPipe: ends waiting on a pipe
};

struct MediaLimits {
    std::int64_t maxPixels = std::int64_t{1} << 27;  // a decoded frame
    int threads = 0;                  // decoder threads; 0: as many as the machine has
    std::size_t maxAnimationBytes = std::size_t{1} << 28;  // an animated WebP read whole
};

// Opens a video or animation (any FFmpeg decodes, or an animated WebP).
// Null with the reason in `error` (without the file's name) when it cannot:
// no video stream, an unsupported codec, damaged data, or a build without
// the libraries.
std::unique_ptr<MediaSource> openMedia(MediaInput input, const MediaLimits& limits, std::string& error);

// Whether this build decodes video, and animated WebP.
bool videoSupported();
bool webpAnimationSupported();

}  // namespace vantrel
