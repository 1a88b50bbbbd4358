// Opening a video or animation by what its bytes say it is.
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/view/media/byte_reader.h"
#include "tools/view/media/gif_facts.h"
#include "tools/view/media/media_kind.h"
#include "tools/view/media/media_source.h"
#if VANTREL_HAS_FFMPEG
#include "tools/view/media/ffmpeg_source.h"
#endif
#if VANTREL_HAS_WEBP_ANIMATION
#include "tools/view/media/webp_animation.h"
#endif

namespace vantrel {

bool videoSupported() { return VANTREL_HAS_FFMPEG != 0; }
bool webpAnimationSupported() { return VANTREL_HAS_WEBP_ANIMATION != 0; }

namespace {

// The input's bytes for a decoder that needs them all (an animation).
[[maybe_unused]] std::string wholeInput(MediaInput& input, const MediaLimits& limits, std::string& whole) {
    if (input.fd < 0) {
        whole.assign(reinterpret_cast<const char*>(input.memory), input.memorySize);
        return {};
    }
    return readWhole(input.fd, std::move(input.head), limits.maxAnimationBytes, whole);
}

}  // namespace

std::unique_ptr<MediaSource> openMedia(MediaInput input, [[maybe_unused]] const MediaLimits& limits, std::string& error) {
    const std::uint8_t* head = input.memory;
    std::size_t headSize = input.memorySize;
    if (input.fd >= 0) {
        while (input.head.size() < mediaKindBytes) {
            char more[mediaKindBytes];
            const ssize_t got = ::read(input.fd, more, mediaKindBytes - input.head.size());
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                error = std::string("cannot read: ") + std::strerror(errno);
                return nullptr;
            }
            if (got == 0) break;
            input.head.append(more, static_cast<std::size_t>(got));
        }
        head = reinterpret_cast<const std::uint8_t*>(input.head.data());
        headSize = input.head.size();
    }
    if (headSize == 0) {
        error = "empty file";
        return nullptr;
    }
    const MediaKind kind = sniffMedia(head, headSize);
    if (kind == MediaKind::still) {
        error = "a still picture, not a video";
        return nullptr;
    }
    if (kind == MediaKind::animatedWebp) {
#if VANTREL_HAS_WEBP_ANIMATION
        std::string whole;
        if (error = wholeInput(input, limits, whole); !error.empty()) return nullptr;
        return openWebpAnimation(std::move(whole), limits, error);
#else
        error = "built without animated WebP support";
        return nullptr;
#endif
    }
#if VANTREL_HAS_FFMPEG
    FfmpegOptions options;
    options.limits = limits;
    std::unique_ptr<ByteReader> reader;
    if (kind == MediaKind::gif) {
        // Read whole, to find the loop count wherever it is and to loop
        // even from a pipe.
        std::string whole;
        if (error = wholeInput(input, limits, whole); !error.empty()) return nullptr;
        const GifFacts facts = scanGif(reinterpret_cast<const std::uint8_t*>(whole.data()), whole.size());
        options.plays = gifPlays(facts);
        options.truncated = !facts.complete;
        options.frames = facts.complete ? facts.images : -1;
        options.gif = true;
        reader = std::make_unique<ByteReader>(std::move(whole));
    } else if (input.fd < 0) {
        reader = std::make_unique<ByteReader>(input.memory, input.memorySize);
    } else {
        reader = std::make_unique<ByteReader>(input.fd, std::move(input.head), input.cancelFd);
    }
    return openVideoSource(std::move(reader), options, error);
#else
    error = "built without video support";
    return nullptr;
#endif
}

}  // namespace vantrel
