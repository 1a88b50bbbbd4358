// The glyph renderer: its table at known indexes, how blocks of pixels become
// indexes, where conversions write, and what it does before it has a table.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "render/glyph_index.h"
#include "vantrel/glyph_renderer.h"

using namespace vantrel;

namespace {

Pixel rgb(int r, int g, int b) {
    return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b), 0};
}

std::vector<Pixel> randomPixels(int count, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<Pixel> pixels(static_cast<std::size_t>(count));
    for (Pixel& p : pixels) {
        const auto w = rng();
        p = {static_cast<std::uint8_t>(w), static_cast<std::uint8_t>(w >> 8), static_cast<std::uint8_t>(w >> 16),
             static_cast<std::uint8_t>(w >> 24)};
    }
    return pixels;
}

TEST(GlyphRendererTable, AllCodesGiveTheBlocksAtTheirIndexes) {
    GlyphRenderer renderer;
    renderer.buildTable(0);
    const Cell* t = renderer.tableData();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t[0x0000], 0x0700);  // code 0; the blanks 32 and 255 tie and lose
    EXPECT_EQ(t[0xFFFF], 0x07DB);  // full block
    EXPECT_EQ(t[0xF0F0], 0x07DD);  // left half
    EXPECT_EQ(t[0x0F0F], 0x07DE);  // right half
    EXPECT_EQ(t[0xFF00], 0x07DF);  // upper half
    EXPECT_EQ(t[0x00FF], 0x07DC);  // lower half
}

TEST(GlyphRendererTable, PrintableFlagsKeepToAsciiAndRebuildReplaces) {
    GlyphRenderer renderer;
    renderer.buildTable(0);
    EXPECT_EQ(renderer.tableData()[0], 0x0700);
    renderer.buildTable(GlyphRenderer::printableAscii);
    const Cell* t = renderer.tableData();
    EXPECT_EQ(t[0x0000], 0x0720);
    for (int i = 0; i < GlyphRenderer::tableSize; ++i) {
        ASSERT_EQ(cellAttribute(t[i]), 0x07) << "index " << i;
        ASSERT_GE(cellCharacter(t[i]), 32) << "index " << i;
        ASSERT_LE(cellCharacter(t[i]), 126) << "index " << i;
    }
}

TEST(GlyphRendererColour, ReadsTheEntryOfTheGreenLevelAndClampsGreen) {
    GlyphRenderer renderer;
    renderer.buildTable(0);
    const Cell* t = renderer.tableData();
    EXPECT_EQ(renderer.colourToCell(0, 255, 0), t[0xFFFF]);
    EXPECT_EQ(renderer.colourToCell(255, 255, 255), t[0xFFFF]);
    EXPECT_EQ(renderer.colourToCell(255, 15, 255), t[0x0000]);
    for (int g = 0; g < 256; ++g) EXPECT_EQ(renderer.colourToCell(-7, g, 999), t[(g >> 4) * 0x1111]) << g;
    // Out of range green stays inside the table.
    EXPECT_EQ(renderer.colourToCell(0, -1, 0), t[0x0000]);
    EXPECT_EQ(renderer.colourToCell(0, INT_MIN, 0), t[0x0000]);
    EXPECT_EQ(renderer.colourToCell(0, 256, 0), t[0xFFFF]);
    EXPECT_EQ(renderer.colourToCell(0, INT_MAX, 0), t[0xFFFF]);
}

TEST(GlyphRendererUnbuilt, ConvertsNothingAndAnswersBlank) {
    const GlyphRenderer renderer;
    EXPECT_EQ(renderer.tableData(), nullptr);
    EXPECT_EQ(renderer.colourToCell(0, 200, 0), 0x0720);
    const auto pixels = randomPixels(80 * 50, 1);
    const SourceRect whole{0, 0, 80, 50};
    std::vector<Cell> cells(80 * 50, 0xABCD);
    renderer.convert1x1(pixels.data(), whole, 80, 0, 0, cells.data());
    renderer.convert2x2(pixels.data(), whole, 80, 0, 0, cells.data());
    renderer.convert4x4(pixels.data(), whole, 80, 0, 0, cells.data());
    for (Cell c : cells) ASSERT_EQ(c, 0xABCD);
}

// Levels written out one pixel at a time, as plainly as possible.
int level(const Pixel& p) { return p.green / 16; }
int meanLevel(const Pixel& a, const Pixel& b, const Pixel& c, const Pixel& d) {
    return (a.green + b.green + c.green + d.green) / 4 / 16;
}

TEST(GlyphIndex, BlocksBecomeQuadrantLevels) {
    // Green alone counts: 0x10..0x1F is level 1 whatever red, blue and the fourth byte.
    for (int g = 0x10; g <= 0x1F; ++g) {
        const Pixel p{255, static_cast<std::uint8_t>(g), 255, 255};
        EXPECT_EQ(glyphIndex1x1(&p), 0x1111u);
    }
    // Left column white, right column black.
    const Pixel half[4] = {rgb(255, 255, 255), rgb(0, 0, 0), rgb(255, 255, 255), rgb(0, 0, 0)};
    EXPECT_EQ(glyphIndex2x2(half, 2), 0xF0F0u);
    // Upper two rows black, lower two white.
    std::vector<Pixel> lower(16, rgb(0, 0, 0));
    for (int i = 8; i < 16; ++i) lower[i] = rgb(0, 255, 0);
    EXPECT_EQ(glyphIndex4x4(lower.data(), 4), 0x00FFu);

    // Random blocks inside a wider buffer.
    const int stride = 13;
    const auto px = randomPixels(stride * 4, 2);
    for (int x = 0; x + 4 <= stride; ++x) {
        const Pixel* p = px.data() + x;
        const auto at = [&](int dx, int dy) { return p[dy * stride + dx]; };
        EXPECT_EQ(glyphIndex1x1(p), static_cast<std::uint32_t>(level(at(0, 0)) * 0x1111));
        EXPECT_EQ(glyphIndex2x2(p, stride), static_cast<std::uint32_t>(level(at(0, 0)) * 4096 + level(at(1, 0)) * 256 +
                                                                       level(at(0, 1)) * 16 + level(at(1, 1))));
        const int tl = meanLevel(at(0, 0), at(1, 0), at(0, 1), at(1, 1));
        const int tr = meanLevel(at(2, 0), at(3, 0), at(2, 1), at(3, 1));
        const int bl = meanLevel(at(0, 2), at(1, 2), at(0, 3), at(1, 3));
        const int br = meanLevel(at(2, 2), at(3, 2), at(2, 3), at(3, 3));
        EXPECT_EQ(glyphIndex4x4(p, stride), static_cast<std::uint32_t>(tl * 4096 + tr * 256 + bl * 16 + br));
    }
}

TEST(GlyphRendererConvert, HalfBlocksFromTheirPixelPatterns) {
    GlyphRenderer renderer;
    renderer.buildTable(0);
    std::vector<Cell> cells(80 * 50, 0);
    const Pixel half[4] = {rgb(255, 255, 255), rgb(0, 0, 0), rgb(255, 255, 255), rgb(0, 0, 0)};
    renderer.convert2x2(half, SourceRect{0, 0, 2, 2}, 2, 0, 0, cells.data());
    EXPECT_EQ(cells[0], 0x07DD);
    std::vector<Pixel> lower(16, rgb(0, 0, 0));
    for (int i = 8; i < 16; ++i) lower[i] = rgb(0, 255, 0);
    renderer.convert4x4(lower.data(), SourceRect{0, 0, 4, 4}, 4, 1, 0, cells.data());
    EXPECT_EQ(cells[1], 0x07DC);
}

// Each conversion writes exactly the whole blocks of the rectangle, at the
// destination offset, 80 cells per row whatever the source stride.
TEST(GlyphRendererConvert, WritesEachWholeBlockToItsCell) {
    GlyphRenderer renderer;
    renderer.buildTable(0);
    const Cell* t = renderer.tableData();
    const int stride = 100;
    const auto pixels = randomPixels(stride * 40, 3);
    const SourceRect rect{3, 2, 3 + 4 * 5 + 3, 2 + 4 * 3 + 3};  // leftovers of 3 on both edges
    const int column = 50;  // 1x1 blocks: 23 x 15 cells, still inside the 80 x 50 buffer
    const int row = 30;

    for (int k : {1, 2, 4}) {
        SCOPED_TRACE(testing::Message() << "block " << k);
        std::vector<Cell> cells(80 * 50, 0xABCD);
        if (k == 1) renderer.convert1x1(pixels.data(), rect, stride, column, row, cells.data());
        if (k == 2) renderer.convert2x2(pixels.data(), rect, stride, column, row, cells.data());
        if (k == 4) renderer.convert4x4(pixels.data(), rect, stride, column, row, cells.data());
        const int columns = (rect.right - rect.left) / k;
        const int rows = (rect.bottom - rect.top) / k;
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 80; ++x) {
                const int i = x - column;
                const int j = y - row;
                Cell expected = 0xABCD;
                if (i >= 0 && i < columns && j >= 0 && j < rows) {
                    const Pixel* block = pixels.data() + (rect.top + k * j) * stride + rect.left + k * i;
                    const std::uint32_t index = k == 1   ? glyphIndex1x1(block)
                                                : k == 2 ? glyphIndex2x2(block, stride)
                                                         : glyphIndex4x4(block, stride);
                    expected = t[index];
                }
                ASSERT_EQ(cells[y * 80 + x], expected) << "cell " << x << "," << y;
            }
        }
    }
    // An inverted rectangle writes nothing.
    std::vector<Cell> cells(80 * 50, 0xABCD);
    renderer.convert2x2(pixels.data(), SourceRect{10, 10, 4, 20}, stride, 0, 0, cells.data());
    for (Cell c : cells) ASSERT_EQ(c, 0xABCD);
}

}  // namespace
