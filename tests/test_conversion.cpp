// The checked conversion of both renderers against their fixed-size
// operations, what it refuses, every vector path against the scalar one, and
// rectangles whose extents overflow 32 bits.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <random>
#include <vector>

#include "render/convert_kernels.h"
#include "vantrel/glyph_renderer.h"
#include "vantrel/shade_renderer.h"

using namespace vantrel;

namespace {

constexpr Cell sentinel = 0xABCD;

std::vector<Pixel> randomPixels(std::size_t count, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<Pixel> pixels(count);
    for (Pixel& p : pixels) {
        const auto w = rng();
        p = {static_cast<std::uint8_t>(w), static_cast<std::uint8_t>(w >> 8), static_cast<std::uint8_t>(w >> 16),
             static_cast<std::uint8_t>(w >> 24)};
    }
    return pixels;
}

struct Renderers {
    Renderers() {
        shade.buildTable(0);
        glyph.buildTable(0);
    }
    ShadeRenderer shade;
    GlyphRenderer glyph;
};

void convertFixedSize(const CellRenderer& r, int k, const Pixel* pixels, const SourceRect& rect, int stride, int column,
                      int row, Cell* cells) {
    if (k == 1) r.convert1x1(pixels, rect, stride, column, row, cells);
    if (k == 2) r.convert2x2(pixels, rect, stride, column, row, cells);
    if (k == 4) r.convert4x4(pixels, rect, stride, column, row, cells);
}

// Over whole 80x50 frames of random pixels in a wider buffer, the checked
// conversion writes exactly the cells of the fixed one, at its own pitch.
TEST(CheckedConversion, EqualsTheFixedOperationsWhereBothApply) {
    const Renderers r;
    const int width = 333, height = 211;
    const auto pixels = randomPixels(static_cast<std::size_t>(width) * height, 5);
    const PixelImage image{pixels.data(), width, height, width};
    std::mt19937 rng(9);
    for (int trial = 0; trial < 60; ++trial) {
        const int k = 1 << (trial % 3);
        const int column = int(rng() % 8), row = int(rng() % 5);
        const int left = int(rng() % 40), top = int(rng() % 30);
        const SourceRect rect{left, top, left + int(rng() % (k * (80 - column) + 1)),
                              top + int(rng() % (k * (50 - row) + 1))};
        const BlockSize block = static_cast<BlockSize>(k);
        for (int which = 0; which < 2; ++which) {
            const CellRenderer& renderer = which == 0 ? static_cast<const CellRenderer&>(r.shade) : r.glyph;
            CellBuffer fixed;
            fixed.fill(sentinel);
            convertFixedSize(renderer, k, pixels.data(), rect, width, column, row, fixed.data());
            // The same 80x50 cells in a grid of pitch 93; the 13 cells at the
            // end of each row must stay untouched.
            std::vector<Cell> checked(93 * 50, sentinel);
            const CellGrid grid{checked.data(), 80, 50, 93};
            const bool done = which == 0 ? r.shade.convert(image, rect, block, grid, column, row)
                                         : r.glyph.convert(image, rect, block, grid, column, row);
            ASSERT_TRUE(done) << "trial " << trial;
            for (int y = 0; y < 50; ++y) {
                for (int x = 0; x < 93; ++x) {
                    const Cell expected = x < 80 ? fixed[y * 80 + x] : sentinel;
                    ASSERT_EQ(checked[y * 93 + x], expected) << "trial " << trial << " renderer " << which;
                }
            }
        }
    }
}

// Every case below reaches outside a buffer, or names an invalid one, by as
// little as one pixel or cell; each is refused and writes nothing. The
// matching case one step inside is accepted.
TEST(CheckedConversion, RefusesWhatDoesNotFitAndWritesNothing) {
    const Renderers r;
    const auto pixels = randomPixels(40 * 30, 2);
    std::vector<Cell> cells(12 * 9, sentinel);
    const PixelImage image{pixels.data(), 37, 30, 40};
    const CellGrid grid{cells.data(), 10, 9, 12};
    struct Case {
        PixelImage image;
        SourceRect rect;
        BlockSize block;
        CellGrid grid;
        int column, row;
        bool fits;
    };
    const BlockSize one = BlockSize::one, two = BlockSize::two, four = BlockSize::four;
    const Case cases[] = {
        {image, {0, 0, 37, 30}, four, grid, 1, 2, true},    // 9 x 7 cells at (1, 2): exactly to the grid's edges
        {image, {0, 0, 37, 30}, four, grid, 2, 2, false},   // one column too many
        {image, {0, 0, 37, 30}, four, grid, 1, 3, false},   // one row too many
        {image, {0, 0, 38, 30}, four, grid, 0, 0, false},   // rectangle past the image's width (inside its stride)
        {image, {0, 0, 37, 31}, four, grid, 0, 0, false},   // past its height
        {image, {-1, 0, 3, 4}, four, grid, 0, 0, false},    // left of the image
        {image, {0, -1, 4, 3}, four, grid, 0, 0, false},    // above it
        {image, {5, 0, 4, 4}, one, grid, 0, 0, false},      // inverted
        {image, {0, 5, 4, 4}, one, grid, 0, 0, false},      // inverted
        {image, {0, 0, 4, 4}, one, grid, -1, 0, false},     // left of the grid
        {image, {0, 0, 4, 4}, one, grid, 0, -1, false},     // above it
        {image, {0, 0, 20, 18}, two, grid, 0, 0, true},     // 10 x 9 cells: the whole grid
        {image, {0, 0, 22, 18}, two, grid, 0, 0, false},    // 11 columns
        {image, {0, 0, 4, 4}, BlockSize(3), grid, 0, 0, false},
        {image, {0, 0, 4, 4}, BlockSize(0), grid, 0, 0, false},
        {{nullptr, 37, 30, 40}, {0, 0, 4, 4}, one, grid, 0, 0, false},
        {{pixels.data(), 37, 30, 36}, {0, 0, 4, 4}, one, grid, 0, 0, false},   // stride below the width
        {{pixels.data(), -1, 30, 40}, {0, 0, 0, 0}, one, grid, 0, 0, false},
        {image, {0, 0, 4, 4}, one, {nullptr, 10, 9, 12}, 0, 0, false},
        {image, {0, 0, 4, 4}, one, {cells.data(), 10, 9, 9}, 0, 0, false},     // pitch below the width
        {image, {0, 0, 4, 4}, one, {cells.data(), 10, -9, 12}, 0, 0, false},
        {image, {INT_MAX, 0, INT_MIN, 1}, one, grid, 0, 0, false},
        {image, {INT_MIN, 0, INT_MAX, 0}, one, grid, 0, 0, false},
        {image, {0, 0, 4, 4}, one, grid, INT_MAX, INT_MAX, false},
        {image, {0, 0, 0, 0}, one, grid, 10, 9, true},      // empty: fits, writes nothing
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(conversionFits(c.image, c.rect, c.block, c.grid, c.column, c.row), c.fits) << "case " << i;
        if (c.fits) continue;
        EXPECT_FALSE(r.shade.convert(c.image, c.rect, c.block, c.grid, c.column, c.row)) << "case " << i;
        EXPECT_FALSE(r.glyph.convert(c.image, c.rect, c.block, c.grid, c.column, c.row)) << "case " << i;
        for (Cell cell : cells) ASSERT_EQ(cell, sentinel) << "case " << i;
    }
    // Before the table is built: refused.
    EXPECT_FALSE(ShadeRenderer().convert(image, one, {cells.data(), 37, 2, 37}));
    EXPECT_FALSE(GlyphRenderer().convert(image, four, grid));
    for (Cell cell : cells) ASSERT_EQ(cell, sentinel);
    // The whole image into a grid one cell short of it, then into one that
    // holds it: 9 x 7 shade cells at the top left, the rest untouched.
    EXPECT_FALSE(r.glyph.convert(image, two, {cells.data(), 12, 9, 12}));
    EXPECT_TRUE(r.shade.convert(image, four, grid));
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 12; ++x) EXPECT_EQ(cells[y * 12 + x] != sentinel, x < 9 && y < 7) << x << "," << y;
    }
}

// Every vector path writes exactly the scalar path's cells: odd rectangles
// (widths that leave every tail length), odd strides and pitches, random
// pixels, both renderers, all block sizes.
TEST(ConvertPaths, EveryPathGivesTheScalarCells) {
    const Renderers r;
    const int stride = 157, height = 90;
    const auto pixels = randomPixels(static_cast<std::size_t>(stride) * height, 3);
    std::mt19937 rng(4);
    for (ConvertPath path : convertPaths) {
        if (!convertPathSupported(path)) {
            std::printf("path %d not run: this processor lacks it\n", static_cast<int>(path));
            continue;
        }
        for (int which = 0; which < 2; ++which) {
            const auto kernels = [which](ConvertPath p) -> const ConvertKernels& {
                return which == 0 ? shadeKernels(p) : glyphKernels(p);
            };
            const Cell* table = which == 0 ? r.shade.tableData() : r.glyph.tableData();
            for (int trial = 0; trial < 150; ++trial) {
                const int k = 1 << (trial % 3);
                const int pitch = 71 + int(rng() % 10);
                const int left = int(rng() % 20), top = int(rng() % 10);
                const int right = left + int(rng() % (std::min(stride - left, 70 * k) + 1));
                const int bottom = top + int(rng() % (std::min(height - top, 20 * k) + 1));
                const SourceRect rect{left, top, right, bottom};
                std::vector<Cell> expected(static_cast<std::size_t>(pitch) * 24, sentinel), got = expected;
                const ConvertKernel reference = kernels(ConvertPath::scalar).forBlock(k);
                convertBlocks(reference, k, table, pixels.data(), rect, stride, expected.data(), pitch, 1, 2);
                convertBlocks(kernels(path).forBlock(k), k, table, pixels.data(), rect, stride, got.data(), pitch, 1, 2);
                ASSERT_EQ(expected, got) << "path " << int(path) << " renderer " << which << " trial " << trial;
            }
        }
    }
}

// Rectangles whose extents overflow a 32-bit subtraction, or exceed any
// buffer, write nothing through either layer.
TEST(CheckedConversion, ExtremeRectanglesWriteNothing) {
    const Renderers r;
    const auto pixels = randomPixels(64, 6);
    CellBuffer cells;
    cells.fill(sentinel);
    const SourceRect extremes[] = {{INT_MAX, 0, INT_MIN, 1},
                                   {INT_MIN, 0, INT_MAX, 0},
                                   {0, INT_MAX, 1, INT_MIN},
                                   {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                                   {INT_MIN, 0, INT_MAX, 4}};
    for (const SourceRect& rect : extremes) {
        for (int k : {1, 2, 4}) {
            convertFixedSize(r.shade, k, pixels.data(), rect, 8, 0, 0, cells.data());
            convertFixedSize(r.glyph, k, pixels.data(), rect, 8, 0, 0, cells.data());
            const CellGrid grid{cells.data(), 80, 50, 80};
            EXPECT_FALSE(r.shade.convert({pixels.data(), 8, 8, 8}, rect, BlockSize(k), grid, 0, 0));
            EXPECT_FALSE(r.glyph.convert({pixels.data(), 8, 8, 8}, rect, BlockSize(k), grid, 0, 0));
        }
    }
    for (Cell c : cells) ASSERT_EQ(c, sentinel);
}

}  // namespace
