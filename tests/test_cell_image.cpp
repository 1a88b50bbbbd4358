#include <gtest/gtest.h>

#include <vector>

#include "tools/cell_image.h"

using namespace vantrel;

namespace {

Rgb pixelAt(const std::vector<std::uint8_t>& rgb, int x, int y) {
    const std::uint8_t* p = &rgb[(y * cellImageWidth + x) * 3];
    return Rgb{p[0], p[1], p[2]};
}

void expectColour(const Rgb& actual, const Rgb& expected, int x, int y) {
    EXPECT_TRUE(actual.red == expected.red && actual.green == expected.green && actual.blue == expected.blue)
        << "pixel (" << x << "," << y << ") is " << int(actual.red) << "," << int(actual.green) << ","
        << int(actual.blue);
}

TEST(CellImage, CellsBecomeGlyphsInVgaColours) {
    CellBuffer cells{};
    cells.fill(makeCell(' ', 0x1F));                    // white on blue, blank
    cells[0] = makeCell(219, 0x1F);                     // full block: all ink
    cells[49 * 80 + 79] = makeCell(221, 0x4A);          // left half block, light green on red
    std::vector<std::uint8_t> rgb(cellImageBytes);
    drawCellImage(cells, rgb.data());

    EXPECT_EQ(cellImageWidth, 640);
    EXPECT_EQ(cellImageHeight, 600);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 8; ++x) expectColour(pixelAt(rgb, x, y), Rgb{0xFF, 0xFF, 0xFF}, x, y);
        expectColour(pixelAt(rgb, 8, y), Rgb{0x00, 0x00, 0xAA}, 8, y);
    }
    // The last cell fills the bottom-right 8x12 pixels; bit 0 of a glyph row
    // is its leftmost pixel.
    for (int y = 588; y < 600; ++y) {
        for (int x = 632; x < 640; ++x) {
            expectColour(pixelAt(rgb, x, y), x < 636 ? Rgb{0x55, 0xFF, 0x55} : Rgb{0xAA, 0x00, 0x00}, x, y);
        }
        expectColour(pixelAt(rgb, 631, y), Rgb{0x00, 0x00, 0xAA}, 631, y);
    }
    expectColour(vgaColours[6], Rgb{0xAA, 0x55, 0x00}, 6, 0);  // brown, not dark yellow
    expectColour(vgaColours[8], Rgb{0x55, 0x55, 0x55}, 8, 0);
}

}  // namespace
