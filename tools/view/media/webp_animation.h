// Animated WebP through libwebp's demuxer and animation decoder, which
// composite each frame onto the full canvas (disposal and blending done).
// FFmpeg 5.1 cannot decode animated WebP.
#pragma once

#include <memory>
#include <string>

#include "tools/view/media/media_source.h"

namespace vantrel {

// `file`: the whole file, kept by the source. Null with the reason in
// `error` when it cannot be decoded.
std::unique_ptr<MediaSource> openWebpAnimation(std::string file, const MediaLimits& limits, std::string& error);

// The common rule for animation delays: under 20 ms counts as 100 ms.
inline Microseconds animationDelay(Microseconds delay) { return delay < 20'000 ? 100'000 : delay; }

}  // namespace vantrel
