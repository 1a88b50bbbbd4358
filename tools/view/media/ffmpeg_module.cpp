// libvantrel-ffmpeg.so's entry point: the table through which vantrel-view
// opens videos. The only symbol the module exports.
#include "tools/view/media/ffmpeg_module.h"

#include <new>

namespace vantrel {

namespace {

MediaSource* openThroughModule(ByteReader* reader, const FfmpegOptions* options, std::string* error) noexcept {
    std::unique_ptr<ByteReader> owned(reader);
    try {
        return openFfmpegSource(std::move(owned), *options, *error).release();
    } catch (const std::bad_alloc&) {
        // Short enough for the string's own buffer: assigning it cannot fail.
        error->assign("out of memory");
    } catch (...) {
        try {
            error->assign("the video decoder failed");
        } catch (...) {
            error->clear();
        }
    }
    return nullptr;
}

constexpr FfmpegModule table{.interface = ffmpegModuleInterface, .open = openThroughModule};

}  // namespace

}  // namespace vantrel

extern "C" __attribute__((visibility("default"))) const vantrel::FfmpegModule* vantrel_ffmpeg_module() noexcept {
    return &vantrel::table;
}
