// The FFmpeg source linked into the program itself, for the tests, the fuzz
// target and the benchmarks (vantrel-view loads it as a module instead:
// ffmpeg_module_loader.cpp).
#include "tools/view/media/ffmpeg_source.h"

namespace vantrel {

std::unique_ptr<MediaSource> openVideoSource(std::unique_ptr<ByteReader> reader, const FfmpegOptions& options,
                                             std::string& error) {
    return openFfmpegSource(std::move(reader), options, error);
}

}  // namespace vantrel
