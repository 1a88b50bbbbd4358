// UTF-8 bytes of every code page 437 character, looked up once per cell.
#pragma once

#include <array>
#include <cstdint>

namespace vantrel {

struct GlyphBytes {
    char bytes[4];
    std::uint8_t size;
};

using GlyphTable = std::array<GlyphBytes, 256>;

// The table for code page 437, built on first use.
const GlyphTable& cp437Glyphs();

}  // namespace vantrel
