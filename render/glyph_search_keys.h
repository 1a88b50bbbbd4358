// Internal to the fast glyph searches: per-quadrant distance keys that turn
// "least distance, then lowest code" into the minimum of 16-bit sums.
#pragma once

#include <cstdint>

#include "vantrel/cell.h"

namespace vantrel {

// keys[q][level][i] is |coverage of quadrant q of the i-th code of the range
// - level| in bits 8..14; quadrant 0 (top left) also carries the code itself
// in bits 0..7. The sum of the four quadrants' keys for one entry is then
// distance * 256 + code (at most 64 * 256 + 255 = 0x40FF), and its minimum
// over the codes names the code the plain search chooses: least distance
// first, lowest code among equals.
//
// Lanes from `count` up to `lanes` pad the codes to a whole number of 16-lane
// vectors: their top-left key is 0x7FFF and the others 0, so they never win
// and their sums stay below 0x8000 (signed and unsigned minima agree).
struct GlyphSearchKeys {
    static constexpr std::uint16_t paddingKey = 0x7FFF;
    alignas(16) std::uint16_t keys[4][16][256];
    int count;
    int lanes;
};

// The entry for the winning key: its code with attribute 0x07.
inline Cell glyphEntry(unsigned key) { return static_cast<Cell>(0x0700u | (key & 0xFFu)); }

#if defined(__x86_64__) || defined(__i386__)
// Vector searches; call only when glyphSearchSupported says the processor has them.
void searchGlyphKeysSse2(const GlyphSearchKeys& keys, Cell* table);
void searchGlyphKeysAvx2(const GlyphSearchKeys& keys, Cell* table);
#endif

}  // namespace vantrel
