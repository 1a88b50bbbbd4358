// Internal: the mosaic's symbols and how each is drawn in an 8x16-pixel
// cell, the geometry terminals draw block elements and sextants with.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "vantrel/mosaic_renderer.h"

namespace vantrel {

constexpr int mosaicCellWidth = 8;    // pixels a drawn cell, across
constexpr int mosaicCellHeight = 16;  // and down

struct MosaicSymbol {
    char32_t code = U' ';
    // The pixels the foreground covers: bit x (0 the leftmost) of row y.
    // For a shade, its share of the cell is `ink` and the mask is unused.
    std::array<std::uint8_t, mosaicCellHeight> mask{};
    float ink = 0;  // the share of the cell the foreground covers
    bool shade = false;
};

// Every symbol in `set`, plus space and the full block, each once, in code
// point order.
std::vector<MosaicSymbol> mosaicSymbols(MosaicSymbols set);

// The sextant with foreground cells `bits` (bit 0 top left, 1 top right,
// 2 middle left, ... 5 bottom right): its code point, U+2590 (▐) or
// U+258C (▌) for the two columns the sextant block leaves out, space for 0
// and the full block for 63.
char32_t sextantCode(int bits);
// The pixels of a sextant pattern: rows of 5, 6 and 5 pixels, columns of 4.
std::array<std::uint8_t, mosaicCellHeight> sextantMask(int bits);

}  // namespace vantrel
