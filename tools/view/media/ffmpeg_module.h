// The seam between vantrel-view and libvantrel-ffmpeg.so, the module that
// holds the FFmpeg source (and through it FFmpeg's libraries). The program
// loads it only when a file turns out to be a video or GIF, so that showing
// a picture never pays for loading FFmpeg.
//
// The module exports one C function, vantrel_ffmpeg_module, which gives a
// table. Both sides come from the same source tree and compiler and share
// the C++ runtime, so the table's open() passes our own types; it never
// throws. The loader refuses a table whose interface number or type sizes
// differ from its own, so that a stale module is reported rather than
// called into. The entry function itself never changes.
#pragma once

#include <cstdint>
#include <string>

#include "tools/view/media/ffmpeg_source.h"

namespace vantrel {

// Raised whenever anything that crosses the seam changes: this table,
// MediaSource, MediaFrame, FfmpegOptions, MediaLimits or ByteReader.
inline constexpr std::uint32_t ffmpegModuleInterface = 1;

inline constexpr char ffmpegModuleEntry[] = "vantrel_ffmpeg_module";

struct FfmpegModule {
    std::uint32_t interface;  // stays the first member in every version
    std::uint32_t readerBytes = sizeof(ByteReader);
    std::uint32_t optionsBytes = sizeof(FfmpegOptions);
    std::uint32_t sourceBytes = sizeof(MediaSource);
    std::uint32_t stringBytes = sizeof(std::string);
    // openFfmpegSource: takes `reader` (deleting it on failure); a source
    // the caller deletes, or null with the reason in `error`.
    MediaSource* (*open)(ByteReader* reader, const FfmpegOptions* options, std::string* error) noexcept;
};

// Whether `module`, as the module gave it, was built with the same interface as this program.
inline bool sameInterface(const FfmpegModule& module) {
    const FfmpegModule ours{.interface = ffmpegModuleInterface, .open = nullptr};
    return module.interface == ours.interface && module.readerBytes == ours.readerBytes &&
           module.optionsBytes == ours.optionsBytes && module.sourceBytes == ours.sourceBytes &&
           module.stringBytes == ours.stringBytes;
}

}  // namespace vantrel

// The module's one exported function; its name is ffmpegModuleEntry.
extern "C" const vantrel::FfmpegModule* vantrel_ffmpeg_module() noexcept;
