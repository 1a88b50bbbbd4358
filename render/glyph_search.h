// Internal to the glyph renderer, and open to its tests and benchmarks: the
// search that fills the 65536-entry glyph table, as a plain reference search
// and as faster searches that give exactly the same table.
#pragma once

#include <cstdint>

#include "vantrel/cell.h"

namespace vantrel {

inline constexpr int glyphTableSize = 65536;
inline constexpr int glyphCodes = 256;

// Ink of one glyph per 4x6-pixel quadrant, n * 16 / 24 for n set pixels:
// 0..16, on the scale of the 0..15 brightness levels.
struct GlyphCoverage {
    std::int32_t topLeft;
    std::int32_t topRight;
    std::int32_t bottomLeft;
    std::int32_t bottomRight;
};

// The codes a table may choose, first and last inclusive. Bit 0 of the flags
// keeps the control codes 0..31 out, bit 1 allows printable ASCII 32..126
// only; higher bits are ignored.
struct GlyphCodeRange {
    int first;
    int last;
};
GlyphCodeRange glyphCodeRange(std::int32_t flags);

// Fills records[first..last] with the quadrant coverage of those glyphs of
// `font` (256 glyphs of 12 row bytes); the other records are left alone.
void measureGlyphCoverage(const std::uint8_t* font, GlyphCodeRange range, GlyphCoverage* records);

// The ways to search. `plain` compares every entry with every code, one
// distance at a time: the reference. `scalar` is the portable fast search;
// `sse2` and `avx2` are its vector forms for x86 processors that have them.
enum class GlyphSearch { plain, scalar, sse2, avx2 };

bool glyphSearchSupported(GlyphSearch search);
// The fastest search this processor runs, decided once.
GlyphSearch fastestGlyphSearch();

// Fills all 65536 entries of `table` from the coverage of the codes in
// `range`: for each entry the code at the least sum of absolute quadrant
// differences, the lowest code on a tie, with attribute 0x07. A search this
// processor cannot run is replaced by the scalar one, which gives the same table.
void searchGlyphTable(GlyphSearch search, const GlyphCoverage* records, GlyphCodeRange range,
                      Cell* table);

// Measures font8x12 into a temporary coverage array and searches with `search`.
void buildGlyphTable(GlyphSearch search, std::int32_t flags, Cell* table);

// The reference table, for tests and benchmarks to compare with.
inline void buildGlyphTablePlain(std::int32_t flags, Cell* table) {
    buildGlyphTable(GlyphSearch::plain, flags, table);
}

}  // namespace vantrel
