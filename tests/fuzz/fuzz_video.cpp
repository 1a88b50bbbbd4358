// libFuzzer target for the video and animation decoders: any bytes, read
// from memory through the same custom input the files use, are refused with
// a reason or decoded into frames of the size they declare, within the
// limits; a seek back and the GIF block scan are tried too. Decoder threads
// are off, so that every input decodes the same way each time.
#include <cstdio>
#include <cstdlib>

#include "tools/view/media/gif_facts.h"
#include "tools/view/media/media_source.h"

using namespace vantrel;

namespace {

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const GifFacts facts = scanGif(data, size);
    require(facts.images >= 0 && (!facts.complete || facts.gif), "GIF facts");

    MediaInput input;
    input.memory = data;
    input.memorySize = size;
    MediaLimits limits;
    limits.maxPixels = 1 << 20;
    limits.threads = 1;
    std::string error;
    auto source = openMedia(std::move(input), limits, error);
    if (!source) {
        require(!error.empty(), "a refusal without a reason");
        return 0;
    }
    require(source->width() >= 1 && source->height() >= 1 &&
                std::int64_t{source->width()} * source->height() <= limits.maxPixels,
            "frame size within the limits");
    source->setOutputSize(17, 9);
    for (int frame = 0; frame < 48; ++frame) {
        const DecodeResult result = source->decode();
        if (result == DecodeResult::failed) require(!source->error().empty(), "a failure without a reason");
        if (result != DecodeResult::frame) break;
        require(source->frameTime() >= 0 && source->frameDuration() >= 0, "frame times");
        const MediaFrame shown = source->convert();
        require(shown.width >= 1 && shown.height >= 1 && (shown.channels == 3 || shown.channels == 4) &&
                    shown.rowBytes >= static_cast<std::ptrdiff_t>(shown.width) * shown.channels,
                "a converted frame");
        // Touch every byte, so that a short buffer shows under the sanitizer.
        volatile unsigned sum = 0;
        for (int y = 0; y < shown.height; ++y) {
            for (std::ptrdiff_t x = 0; x < shown.width * shown.channels; ++x) sum = sum + shown.pixels[y * shown.rowBytes + x];
        }
        if (frame == 3 && source->seekable()) source->seek(source->frameTime() / 2);
    }
    return 0;
}
