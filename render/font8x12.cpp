// Assembles font8x12 at compile time from the art in the font8x12_*.inc files
// and the generated box-drawing characters. A malformed glyph (a row that is
// not eight '.' or '#', a code drawn twice or not at all) stops the build.
#include "vantrel/font8x12.h"

#include "render/font8x12_art.h"
#include "render/font8x12_box.h"

namespace vantrel {

namespace {

constexpr GlyphArt controlArt[] = {
#include "render/font8x12_control.inc"
};
constexpr GlyphArt punctuationArt[] = {
#include "render/font8x12_punctuation.inc"
};
constexpr GlyphArt upperArt[] = {
#include "render/font8x12_upper.inc"
};
constexpr GlyphArt lowerArt[] = {
#include "render/font8x12_lower.inc"
};
constexpr GlyphArt latinArt[] = {
#include "render/font8x12_latin.inc"
};
constexpr GlyphArt blockArt[] = {
#include "render/font8x12_blocks.inc"
};
constexpr GlyphArt greekMathArt[] = {
#include "render/font8x12_greek_math.inc"
};

using FontBytes = std::array<std::uint8_t, 256 * fontGlyphHeight>;

struct FontBuilder {
    FontBytes bytes{};
    std::array<bool, 256> done{};

    constexpr void claim(int code) {
        if (code < 0 || code > 255) throw "glyph code outside 0..255";
        if (done[code]) throw "glyph drawn twice";
        done[code] = true;
    }

    template <std::size_t N>
    constexpr void add(const GlyphArt (&art)[N]) {
        for (const GlyphArt& g : art) {
            claim(g.code);
            for (int r = 0; r < fontGlyphHeight; ++r) {
                unsigned row = 0;
                for (int x = 0; x < fontGlyphWidth; ++x) {
                    const char ch = g.rows[r * fontGlyphWidth + x];
                    if (ch == '#') row |= 1u << x;
                    else if (ch != '.') throw "glyph art row is not eight '.' or '#'";
                }
                bytes[static_cast<std::size_t>(fontGlyphHeight * g.code + r)] = static_cast<std::uint8_t>(row);
            }
            if (g.rows[fontGlyphWidth * fontGlyphHeight] != '\0') throw "glyph art longer than 12 rows";
        }
    }

    constexpr void addBoxes() {
        for (const BoxArms& a : boxArms) {
            claim(a.code);
            const auto rows = box::drawBox(a);
            for (int r = 0; r < fontGlyphHeight; ++r)
                bytes[static_cast<std::size_t>(fontGlyphHeight * a.code + r)] = rows[static_cast<std::size_t>(r)];
        }
    }
};

constexpr FontBytes assembleFont() {
    FontBuilder b;
    b.add(controlArt);
    b.add(punctuationArt);
    b.add(upperArt);
    b.add(lowerArt);
    b.add(latinArt);
    b.add(blockArt);
    b.add(greekMathArt);
    b.addBoxes();
    for (bool d : b.done)
        if (!d) throw "a code has no glyph";
    return b.bytes;
}

}  // namespace

constinit const FontBytes font8x12 = assembleFont();

}  // namespace vantrel
