#include "vantrel/cell_drawing.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "vantrel/cp437_unicode.h"
#include "vantrel/font8x12.h"

namespace vantrel {

namespace {

using Shares = std::span<float, drawnCellPixels>;

// Covers the pixels x0 <= x < x1, y0 <= y < y1.
void fill(Shares shares, int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) shares[static_cast<std::size_t>(y * drawnCellWidth + x)] = 1.0f;
    }
}

// The quadrants U+2596..U+259F: bit 0 upper left, 1 upper right, 2 lower
// left, 3 lower right.
constexpr std::array<std::uint8_t, 10> quadrantBits = {0b0100, 0b1000, 0b0001, 0b1101, 0b1001,
                                                       0b0111, 0b1011, 0b0010, 0b0110, 0b1110};

void drawBlockElement(char32_t c, Shares shares) {
    constexpr int w = drawnCellWidth, h = drawnCellHeight;
    if (c == U'\u2580') return fill(shares, 0, 0, w, h / 2);
    if (c <= U'\u2588') {  // lower eighths up to the full block
        const int eighths = static_cast<int>(c - U'\u2580');
        return fill(shares, 0, h - eighths * h / 8, w, h);
    }
    if (c <= U'\u258F') {  // left seven eighths down to one eighth
        const int eighths = static_cast<int>(U'\u2590' - c);
        return fill(shares, 0, 0, eighths * w / 8, h);
    }
    if (c == U'\u2590') return fill(shares, w / 2, 0, w, h);
    if (c <= U'\u2593') {  // the shades
        static constexpr int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
        const int below = 4 * static_cast<int>(c - U'\u2590');
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (bayer[y % 4][x % 4] < below) shares[static_cast<std::size_t>(y * w + x)] = 1.0f;
            }
        }
        return;
    }
    if (c == U'\u2594') return fill(shares, 0, 0, w, h / 8);
    if (c == U'\u2595') return fill(shares, w - w / 8, 0, w, h);
    const unsigned bits = quadrantBits[static_cast<std::size_t>(c - U'\u2596')];
    if (bits & 1u) fill(shares, 0, 0, w / 2, h / 2);
    if (bits & 2u) fill(shares, w / 2, 0, w, h / 2);
    if (bits & 4u) fill(shares, 0, h / 2, w / 2, h);
    if (bits & 8u) fill(shares, w / 2, h / 2, w, h);
}

// U+1FB00 onwards are the 2x3 patterns 1..62 in order, leaving out 21 and
// 42 (the left and the right half, which are U+258C and U+2590). Bit 0 is
// the upper left sixth, bit 1 the upper right, then the middle row and the
// lower row.
void drawSextant(char32_t c, Shares shares) {
    unsigned pattern = static_cast<unsigned>(c - U'\U0001FB00') + 1;
    if (pattern >= 21) ++pattern;
    if (pattern >= 42) ++pattern;
    static constexpr int rowEdges[4] = {0, 5, 11, 16};
    for (int k = 0; k < 6; ++k) {
        if ((pattern >> k) & 1u) {
            const int x0 = (k % 2) * drawnCellWidth / 2;
            fill(shares, x0, rowEdges[k / 2], x0 + drawnCellWidth / 2, rowEdges[k / 2 + 1]);
        }
    }
}

// Braille dots 1, 2, 3 and 7 down the left column, 4, 5, 6 and 8 down the
// right; bit k of the code point's offset is dot k + 1.
void drawBraille(char32_t c, Shares shares) {
    static constexpr int dotRow[8] = {0, 1, 2, 0, 1, 2, 3, 3};
    static constexpr int dotColumn[8] = {0, 0, 0, 1, 1, 1, 0, 1};
    const unsigned dots = static_cast<unsigned>(c - U'\u2800');
    for (int k = 0; k < 8; ++k) {
        if ((dots >> k) & 1u) {
            const int x = 1 + 4 * dotColumn[k], y = 1 + 4 * dotRow[k];
            fill(shares, x, y, x + 2, y + 2);
        }
    }
}

// The glyph's 12 rows stretched over the cell's 16: drawn row y covers glyph
// rows [0.75 y, 0.75 (y + 1)), so each of its pixels is the covered glyph
// pixels' mean.
void drawGlyph(std::uint8_t code, Shares shares) {
    constexpr double step = static_cast<double>(fontGlyphHeight) / drawnCellHeight;
    for (int y = 0; y < drawnCellHeight; ++y) {
        const double top = y * step, bottom = (y + 1) * step;
        for (int row = static_cast<int>(top); row < fontGlyphHeight && row < bottom; ++row) {
            const double part = (std::min<double>(bottom, row + 1) - std::max<double>(top, row)) / step;
            for (int x = 0; x < drawnCellWidth; ++x) {
                if (fontPixel(code, x, row)) shares[static_cast<std::size_t>(y * drawnCellWidth + x)] += static_cast<float>(part);
            }
        }
    }
}

}  // namespace

bool drawCharacter(char32_t character, std::span<float, drawnCellPixels> coverage) {
    std::fill(coverage.begin(), coverage.end(), 0.0f);
    if (character == U' ' || character == U'\u00A0' || character == 0) return true;
    if (character >= U'\u2580' && character <= U'\u259F') return drawBlockElement(character, coverage), true;
    if (character >= U'\U0001FB00' && character <= U'\U0001FB3B') return drawSextant(character, coverage), true;
    if (character >= U'\u2800' && character <= U'\u28FF') return drawBraille(character, coverage), true;
    const auto code = std::find(cp437Unicode.begin(), cp437Unicode.end(), character);
    if (code == cp437Unicode.end()) return false;
    drawGlyph(static_cast<std::uint8_t>(code - cp437Unicode.begin()), coverage);
    return true;
}

double characterCoverage(char32_t character) {
    std::array<float, drawnCellPixels> shares;
    drawCharacter(character, shares);
    double sum = 0;
    for (const float share : shares) sum += share;
    return sum / drawnCellPixels;
}

}  // namespace vantrel
