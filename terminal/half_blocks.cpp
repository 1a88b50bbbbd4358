#include "vantrel/half_blocks.h"

namespace vantrel {

void halfBlockRow(ColourMode mode, const Rgb* upper, const Rgb* lower, int width, MosaicCell* cells) {
    for (int c = 0; c < width; ++c) {
        cells[c] = MosaicCell{upperHalfBlock, nearestColour(mode, upper[c]).value, nearestColour(mode, lower[c]).value};
    }
}

}  // namespace vantrel
