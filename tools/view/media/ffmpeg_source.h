// Video and GIF through FFmpeg's libraries: libavformat demuxes (from our
// ByteReader through a custom AVIOContext), libavcodec decodes with frame
// threads, libswscale converts to RGB or RGBA at the size asked for.
#pragma once

#include <memory>
#include <string>

#include "tools/view/media/byte_reader.h"
#include "tools/view/media/media_source.h"

namespace vantrel {

struct FfmpegOptions {
    MediaLimits limits;
    int plays = 1;           // from the file's own blocks (a GIF's loop count)
    bool gif = false;        // apply the short-delay rule through the GIF demuxer
    bool truncated = false;  // the file's own blocks end before its trailer
    int frames = -1;         // the images a GIF's blocks hold
};

// Null with the reason in `error` when the input holds no video FFmpeg can decode.
std::unique_ptr<MediaSource> openFfmpegSource(std::unique_ptr<ByteReader> reader, const FfmpegOptions& options,
                                              std::string& error);

// openFfmpegSource as the program reaches it: vantrel-view through the module
// it loads on first use (ffmpeg_module_loader.cpp), the tests, the fuzz
// target and the benchmarks linked in (ffmpeg_linked.cpp). Null with the
// reason in `error`, also when the module cannot be loaded.
std::unique_ptr<MediaSource> openVideoSource(std::unique_ptr<ByteReader> reader, const FfmpegOptions& options,
                                             std::string& error);

}  // namespace vantrel
