// What a file holds, told from its first bytes rather than its name: a still
// picture for the picture loaders, an animated WebP for libwebp's demuxer,
// or anything else for FFmpeg's demuxers to recognise (video, GIF).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel {

enum class MediaKind {
    still,          // PNG, JPEG, or a WebP without animation
    animatedWebp,   // RIFF/WEBP with the animation flag in its VP8X chunk
    gif,            // GIF87a or GIF89a: FFmpeg's GIF demuxer, our loop count
    video,          // anything else: left to FFmpeg's probing
};

// The bytes needed to tell every kind apart.
inline constexpr std::size_t mediaKindBytes = 32;

// `head`: the first `size` bytes of the file (fewer when the file is shorter).
MediaKind sniffMedia(const std::uint8_t* head, std::size_t size);

}  // namespace vantrel
