// libFuzzer target for the cell frame reader: the bytes, fed in pieces whose
// sizes come from the data, must come out as exactly the whole frames they
// hold, each equal to its bytes (encoding it again gives them back), with the
// rest pending.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "tools/cell_frames.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto reader = std::make_unique<CellFrameReader>();
    std::size_t frames = 0;
    std::uint8_t again[cellFrameBytes];
    std::size_t i = 0;
    for (std::size_t step = size > 0 ? data[0] + 1u : 1u; i < size; step = step * 13 % 20011 + 1) {
        const std::size_t length = step < size - i ? step : size - i;
        reader->feed(data + i, length, [&](const CellBuffer& frame) {
            encodeCellFrame(frame, again);
            if (std::memcmp(again, data + frames * cellFrameBytes, cellFrameBytes) != 0) std::abort();
            ++frames;
        });
        i += length;
    }
    if (frames != size / cellFrameBytes || reader->pendingBytes() != size % cellFrameBytes) std::abort();
    return 0;
}
