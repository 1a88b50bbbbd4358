#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <set>
#include <vector>

#include "vantrel/shade_renderer.h"

using namespace vantrel;

namespace {

Pixel rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t spare = 0) { return {r, g, b, spare}; }

TEST(ShadeRendererColour, KnownColoursPickTheirBlockOrShade) {
    struct Case {
        int r, g, b;
        Cell expected;
    };
    const Case cases[] = {
        {0, 0, 0, 0x00DB},    {42, 42, 42, 0x07DB}, {41, 41, 41, 0x77B0}, {60, 60, 60, 0xFFB0},
        {32, 32, 32, 0x07B2}, {16, 16, 16, 0x0FB0}, {20, 20, 20, 0x16B1}, {60, 0, 0, 0x4CB0},
        {40, 0, 0, 0x44B0},
    };
    const ShadeRenderer renderer;  // no table needed
    for (const Case& c : cases) {
        EXPECT_EQ(renderer.colourToCell(c.r, c.g, c.b), c.expected) << c.r << "," << c.g << "," << c.b;
    }
}

// Palette colours at the same distance from a colour: the first search keeps
// the lower index, and so decides the pair the mixes are made of. Each case
// below is such a tie; the digest pins every in-range colour, the 3910 tied
// ones among them.
TEST(ShadeRendererColour, TiesInThePaletteSearchKeepTheFirstColour) {
    struct Case {
        int r, g, b;
        Cell expected;
    };
    const Case ties[] = {
        {0, 9, 21, 0x09B0}, {21, 10, 11, 0x0DB0}, {42, 25, 58, 0x9DB1}, {14, 21, 1, 0x0EB0}, {43, 21, 20, 0x6DB0},
    };
    const ShadeRenderer renderer;
    for (const Case& c : ties) {
        EXPECT_EQ(renderer.colourToCell(c.r, c.g, c.b), c.expected) << c.r << "," << c.g << "," << c.b;
    }
    std::uint64_t digest = 0xCBF29CE484222325u;  // FNV-1a over the cells, blue fastest
    for (int r = 0; r < 64; ++r) {
        for (int g = 0; g < 64; ++g) {
            for (int b = 0; b < 64; ++b) digest = (digest ^ renderer.colourToCell(r, g, b)) * 0x100000001B3u;
        }
    }
    EXPECT_EQ(digest, 0x59A8F6DBABF6C2AFu);
}

TEST(ShadeRendererColour, ComponentsOutsideTheScaleCountAsItsEnds) {
    const ShadeRenderer renderer;
    constexpr std::int32_t lowest = INT32_MIN, highest = INT32_MAX;
    EXPECT_EQ(renderer.colourToCell(lowest, highest, 16001), renderer.colourToCell(0, 63, 63));
    EXPECT_EQ(renderer.colourToCell(highest, -20000, 30), renderer.colourToCell(63, 0, 30));
    EXPECT_EQ(renderer.colourToCell(-1, 64, lowest), renderer.colourToCell(0, 63, 0));
}

TEST(ShadeRendererTable, CensusOfTheWholeTable) {
    ShadeRenderer renderer;
    renderer.buildTable(0);  // the shade renderer takes no flags
    const Cell* table = renderer.tableData();
    ASSERT_NE(table, nullptr);

    std::array<int, 256> perCharacter{};
    std::set<int> attributes;
    for (int i = 0; i < ShadeRenderer::tableSize; ++i) {
        const Cell c = table[i];
        ++perCharacter[cellCharacter(c)];
        const int attribute = cellAttribute(c);
        attributes.insert(attribute);
        EXPECT_NE(attribute & 0x0F, 8) << i;
        EXPECT_NE(attribute >> 4, 8) << i;
        EXPECT_GE(attribute & 0x0F, attribute >> 4) << "foreground below background at " << i;
    }
    EXPECT_EQ(perCharacter[219], 44);
    EXPECT_EQ(perCharacter[177], 1268);
    EXPECT_EQ(perCharacter[178], 1295);
    EXPECT_EQ(perCharacter[176], 1489);
    EXPECT_EQ(attributes.size(), 119u);
    EXPECT_EQ(table[4095], 0xFFB0);
    EXPECT_EQ(table[0], 0x00DB);
    // Entry (r/4)*256 + (g/4)*16 + b/4 is the cell of colour (r, g, b).
    EXPECT_EQ(table[(32 / 4) * 256 + (32 / 4) * 16 + 32 / 4], 0x07B2);
    EXPECT_EQ(table[(60 / 4) * 256], 0x4CB0);
}

// A renderer that replaces colourToCell fills the table with its own choices.
class ConstantRenderer : public ShadeRenderer {
public:
    Cell colourToCell(std::int32_t r, std::int32_t g, std::int32_t b) const override {
        return static_cast<Cell>(r + g + b);
    }
};

TEST(ShadeRendererTable, BuildsThroughTheVirtualSlotAndRebuilds) {
    ConstantRenderer derived;
    derived.buildTable(0);
    EXPECT_EQ(derived.tableData()[0], 0);
    EXPECT_EQ(derived.tableData()[4095], 180);
    EXPECT_EQ(derived.tableData()[1 * 256 + 2 * 16 + 3], 4 + 8 + 12);

    ShadeRenderer renderer;
    renderer.buildTable(1);
    const std::vector<Cell> first(renderer.tableData(), renderer.tableData() + ShadeRenderer::tableSize);
    renderer.buildTable(2);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), renderer.tableData()));
}

class ShadeConvert : public ::testing::Test {
protected:
    static constexpr Cell sentinel = 0xABCD;
    void SetUp() override {
        renderer.buildTable(0);  // the shade renderer takes no flags
        cells.fill(sentinel);
    }
    Cell lookup(std::uint32_t r, std::uint32_t g, std::uint32_t b) const {
        return renderer.tableData()[(r >> 4) * 256 + (g >> 4) * 16 + (b >> 4)];
    }
    int written() const {
        return static_cast<int>(std::count_if(cells.begin(), cells.end(), [](Cell c) { return c != sentinel; }));
    }
    ShadeRenderer renderer;
    CellBuffer cells{};
};

TEST_F(ShadeConvert, OneByOneReadsTheHighNibblesAndIgnoresTheFourthByte) {
    std::vector<Pixel> pixels(80 * 50);
    std::mt19937 rng(7);
    for (Pixel& p : pixels) p = rgb(rng() & 0xFF, rng() & 0xFF, rng() & 0xFF, rng() & 0xFF);
    pixels[0] = rgb(255, 255, 255, 0x5A);
    renderer.convert1x1(pixels.data(), {0, 0, 80, 50}, 80, 0, 0, cells.data());
    EXPECT_EQ(cells[0], 0xFFB0);
    for (int i = 0; i < 4000; ++i) {
        ASSERT_EQ(cells[i], lookup(pixels[i].red, pixels[i].green, pixels[i].blue)) << i;
    }
}

// The packed two-channels-at-a-time averages must equal plain per-channel
// averages rounded down, including at full intensity where a carry would show.
TEST_F(ShadeConvert, BlockAveragesMatchPerChannelFloor) {
    std::mt19937 rng(11);
    for (int block : {2, 4}) {
        for (int trial = 0; trial < 200; ++trial) {
            std::vector<Pixel> pixels(16);
            const bool saturated = trial % 10 == 0;
            for (Pixel& p : pixels) {
                p = saturated ? rgb(255, 255, 255, 255) : rgb(rng() & 0xFF, rng() & 0xFF, rng() & 0xFF, rng() & 0xFF);
            }
            unsigned sr = 0, sg = 0, sb = 0;
            for (int y = 0; y < block; ++y) {
                for (int x = 0; x < block; ++x) {
                    sr += pixels[y * 4 + x].red;
                    sg += pixels[y * 4 + x].green;
                    sb += pixels[y * 4 + x].blue;
                }
            }
            const unsigned n = block * block;
            const SourceRect rect{0, 0, block, block};
            if (block == 2) {
                renderer.convert2x2(pixels.data(), rect, 4, 3, 5, cells.data());
            } else {
                renderer.convert4x4(pixels.data(), rect, 4, 3, 5, cells.data());
            }
            ASSERT_EQ(cells[5 * 80 + 3], lookup(sr / n, sg / n, sb / n)) << "block " << block << " trial " << trial;
        }
    }
}

TEST_F(ShadeConvert, GeometryWholeBlocksOnlyAndFixedDestinationPitch) {
    // 5x3 pixels in 2x2 blocks: two cells in one row.
    std::vector<Pixel> pixels(5 * 3, rgb(255, 255, 255));
    renderer.convert2x2(pixels.data(), {0, 0, 5, 3}, 5, 10, 20, cells.data());
    EXPECT_EQ(written(), 2);
    EXPECT_EQ(cells[20 * 80 + 10], 0xFFB0);
    EXPECT_EQ(cells[20 * 80 + 11], 0xFFB0);

    // Stride 100, 80 wide: cell rows stay 80 apart; the offset rectangle
    // starts at its own top-left pixel.
    cells.fill(sentinel);
    std::vector<Pixel> wide(100 * 4);
    wide[1 * 100 + 7] = rgb(255, 255, 255);
    wide[2 * 100 + 86] = rgb(255, 0, 0);
    renderer.convert1x1(wide.data(), {7, 1, 87, 3}, 100, 0, 0, cells.data());
    EXPECT_EQ(written(), 160);
    EXPECT_EQ(cells[0], 0xFFB0);
    EXPECT_EQ(cells[80 + 79], lookup(255, 0, 0));
    EXPECT_EQ(cells[1], 0x00DB);

    // Empty and inverted rectangles, and ones smaller than a block, write nothing.
    cells.fill(sentinel);
    for (const SourceRect r : {SourceRect{4, 0, 4, 3}, SourceRect{4, 0, 2, 3}, SourceRect{0, 3, 4, 3},
                               SourceRect{0, 3, 4, 1}}) {
        renderer.convert1x1(pixels.data(), r, 5, 0, 0, cells.data());
        renderer.convert2x2(pixels.data(), r, 5, 0, 0, cells.data());
        renderer.convert4x4(pixels.data(), r, 5, 0, 0, cells.data());
    }
    renderer.convert4x4(pixels.data(), {0, 0, 5, 3}, 5, 0, 0, cells.data());
    renderer.convert2x2(pixels.data(), {0, 0, 1, 3}, 5, 0, 0, cells.data());
    EXPECT_EQ(written(), 0);
}

TEST(ShadeRendererLifecycle, ConversionsBeforeTheTableWriteNothing) {
    const ShadeRenderer renderer;
    EXPECT_EQ(renderer.tableData(), nullptr);
    std::vector<Pixel> pixels(16, rgb(255, 255, 255));
    CellBuffer cells;
    cells.fill(0x1234);
    renderer.convert1x1(pixels.data(), {0, 0, 4, 4}, 4, 0, 0, cells.data());
    renderer.convert2x2(pixels.data(), {0, 0, 4, 4}, 4, 0, 0, cells.data());
    renderer.convert4x4(pixels.data(), {0, 0, 4, 4}, 4, 0, 0, cells.data());
    EXPECT_TRUE(std::all_of(cells.begin(), cells.end(), [](Cell c) { return c == 0x1234; }));
}

}  // namespace
