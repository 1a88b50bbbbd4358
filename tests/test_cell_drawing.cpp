// The cells drawn as pixels: every block element, shade, sextant and a few
// braille patterns against an independent description (the code point, the
// sub-grid it is cut into and the sub-grid cells it covers, the sextants'
// taken from their Unicode names); every code page 437 character's share
// against the seen colour's ink share; and the measure's figures on grids
// it must find perfect, or not.
#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "vantrel/cell_drawing.h"
#include "vantrel/cp437_unicode.h"
#include "vantrel/picture_figures.h"
#include "vantrel/seen_colour.h"

using namespace vantrel;

namespace {

struct Shape {
    char32_t code;
    int columns;               // of equal width
    std::vector<int> rowEdges;  // pixel rows where the sub-grid's rows start, then 16
    std::string covered;       // row by row, '#' covered
};

std::vector<int> equalRows(int rows) {
    std::vector<int> edges;
    for (int r = 0; r <= rows; ++r) edges.push_back(r * 16 / rows);
    return edges;
}

std::vector<Shape> blockShapes() {
    std::vector<Shape> shapes = {
        {U'▀', 1, equalRows(2), "#."},        {U'▁', 1, equalRows(8), ".......#"}, {U'▂', 1, equalRows(8), "......##"},
        {U'▃', 1, equalRows(8), ".....###"},  {U'▄', 1, equalRows(2), ".#"},       {U'▅', 1, equalRows(8), "...#####"},
        {U'▆', 1, equalRows(8), "..######"},  {U'▇', 1, equalRows(8), ".#######"}, {U'█', 1, equalRows(1), "#"},
        {U'▉', 8, equalRows(1), "#######."},  {U'▊', 8, equalRows(1), "######.."}, {U'▋', 8, equalRows(1), "#####..."},
        {U'▌', 2, equalRows(1), "#."},        {U'▍', 8, equalRows(1), "###....."}, {U'▎', 8, equalRows(1), "##......"},
        {U'▏', 8, equalRows(1), "#......."},  {U'▐', 2, equalRows(1), ".#"},       {U'▔', 1, equalRows(8), "#......."},
        {U'▕', 8, equalRows(1), ".......#"},  {U'▖', 2, equalRows(2), "..#."},     {U'▗', 2, equalRows(2), "...#"},
        {U'▘', 2, equalRows(2), "#..."},      {U'▙', 2, equalRows(2), "#.##"},     {U'▚', 2, equalRows(2), "#..#"},
        {U'▛', 2, equalRows(2), "###."},      {U'▜', 2, equalRows(2), "##.#"},     {U'▝', 2, equalRows(2), ".#.."},
        {U'▞', 2, equalRows(2), ".##."},      {U'▟', 2, equalRows(2), ".###"},     {U' ', 1, equalRows(1), "."},
        // The shades: a 4x4 stipple tiled over the 8x16 pixels.
        {U'░', 8, equalRows(16), std::string()}, {U'▒', 8, equalRows(16), std::string()},
        {U'▓', 8, equalRows(16), std::string()},
        // Braille: dots 1 (upper left), 8 (lower right), all eight.
        {U'⠁', 8, equalRows(16), std::string()}, {U'⢀', 8, equalRows(16), std::string()},
        {U'⣿', 8, equalRows(16), std::string()},
    };
    const auto tiled = [](const std::array<const char*, 4>& tile) {
        std::string pixels;
        for (int y = 0; y < 16; ++y) pixels += std::string(tile[y % 4]) + tile[y % 4];
        return pixels;
    };
    shapes[30].covered = tiled({"#.#.", "....", "#.#.", "...."});
    shapes[31].covered = tiled({"#.#.", ".#.#", "#.#.", ".#.#"});
    shapes[32].covered = tiled({"####", ".#.#", "####", ".#.#"});
    // Dots of 2x2 pixels, one pixel in from their 4x4 square's corner.
    const auto dots = [](bool all, int row, int column) {
        std::string pixels(128, '.');
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 2; ++c) {
                if (!all && (r != row || c != column)) continue;
                for (int k = 0; k < 4; ++k) pixels[static_cast<std::size_t>((4 * r + 1 + k / 2) * 8 + 4 * c + 1 + k % 2)] = '#';
            }
        }
        return pixels;
    };
    shapes[33].covered = dots(false, 0, 0);
    shapes[34].covered = dots(false, 3, 1);
    shapes[35].covered = dots(true, 0, 0);

    // U+1FB00.. BLOCK SEXTANT-n...: sixths numbered 1 2 / 3 4 / 5 6, rows of 5, 6 and 5 pixels.
    const char* const names[60] = {
        "1", "2", "12", "3", "13", "23", "123", "4", "14", "24", "124", "34", "134", "234", "1234", "5", "15", "25",
        "125", "35", "235", "1235", "45", "145", "245", "1245", "345", "1345", "2345", "12345", "6", "16", "26", "126",
        "36", "136", "236", "1236", "46", "146", "1246", "346", "1346", "2346", "12346", "56", "156", "256", "1256",
        "356", "1356", "2356", "12356", "456", "1456", "2456", "12456", "3456", "13456", "23456"};
    for (int i = 0; i < 60; ++i) {
        std::string covered(6, '.');
        for (const char* n = names[i]; *n; ++n) covered[static_cast<std::size_t>(*n - '1')] = '#';
        shapes.push_back({U'\U0001FB00' + static_cast<char32_t>(i), 2, {0, 5, 11, 16}, covered});
    }
    return shapes;
}

}  // namespace

TEST(CellDrawing, EveryShapeCoversItsSubGrid) {
    for (const Shape& shape : blockShapes()) {
        const int rows = static_cast<int>(shape.rowEdges.size()) - 1;
        ASSERT_EQ(shape.covered.size(), static_cast<std::size_t>(shape.columns * rows)) << std::hex << static_cast<std::uint32_t>(shape.code);
        std::array<float, drawnCellPixels> drawn;
        ASSERT_TRUE(drawCharacter(shape.code, drawn)) << std::hex << static_cast<std::uint32_t>(shape.code);
        int set = 0;
        for (int y = 0; y < 16; ++y) {
            int row = 0;
            while (shape.rowEdges[static_cast<std::size_t>(row + 1)] <= y) ++row;
            for (int x = 0; x < 8; ++x) {
                const int column = x * shape.columns / 8;
                const bool covered = shape.covered[static_cast<std::size_t>(row * shape.columns + column)] == '#';
                set += covered;
                EXPECT_EQ(drawn[static_cast<std::size_t>(y * 8 + x)], covered ? 1.0f : 0.0f)
                    << "U+" << std::hex << static_cast<std::uint32_t>(shape.code) << std::dec << " at " << x << "," << y;
            }
        }
        EXPECT_DOUBLE_EQ(characterCoverage(shape.code), set / 128.0) << std::hex << static_cast<std::uint32_t>(shape.code);
    }
}

TEST(CellDrawing, FontCharactersInkWhatTheirSeenColourSays) {
    for (int code = 0; code < 256; ++code) {
        EXPECT_NEAR(characterCoverage(cp437Unicode[static_cast<std::size_t>(code)]),
                    inkShare(static_cast<std::uint8_t>(code)), 1e-6)
            << code;
    }
    std::array<float, drawnCellPixels> drawn;
    drawn.fill(1.0f);
    EXPECT_FALSE(drawCharacter(U'\U0001FB3C', drawn));  // a wedge, not a sextant
    EXPECT_FALSE(drawCharacter(U'€', drawn));
    for (const float share : drawn) EXPECT_EQ(share, 0.0f);
}

// A picture of cells of two colours, top over bottom, 8x16 pixels a cell:
// upper half blocks in those colours show it perfectly; lower half blocks
// in the same colours get every seen colour right, each cell upside down.
TEST(PictureFigures, PerfectOnlyWhereTheShapesAgree) {
    const int columns = 7, rows = 5;
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(columns * 8 * rows * 16 * 3));
    std::vector<ColouredCell> upper, lower;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const Rgb top{static_cast<std::uint8_t>(column * 36), static_cast<std::uint8_t>(255 - row * 50), 40};
            const Rgb bottom{static_cast<std::uint8_t>(200 - row * 30), 90, static_cast<std::uint8_t>(column * 40)};
            upper.push_back({U'▀', top, bottom});
            lower.push_back({U'▄', top, bottom});
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 8; ++x) {
                    const Rgb c = y < 8 ? top : bottom;
                    const std::size_t at = 3 * (static_cast<std::size_t>(row * 16 + y) * columns * 8 + column * 8 + x);
                    picture[at] = c.red, picture[at + 1] = c.green, picture[at + 2] = c.blue;
                }
            }
        }
    }
    PictureFigures perfect, swapped;
    ASSERT_TRUE(measurePicture(picture.data(), columns * 8, rows * 16, columns * 24, upper.data(), columns, rows, perfect));
    ASSERT_TRUE(measurePicture(picture.data(), columns * 8, rows * 16, columns * 24, lower.data(), columns, rows, swapped));
    EXPECT_NEAR(perfect.cellError, 0, 1e-9);
    EXPECT_NEAR(perfect.blockError, 0, 1e-9);
    EXPECT_NEAR(perfect.scielab, 0, 1e-9);
    EXPECT_NEAR(perfect.structure, 1, 1e-12);
    EXPECT_NEAR(swapped.cellError, 0, 1e-9);
    EXPECT_GT(swapped.scielab, 5);
    EXPECT_LT(swapped.structure, 0.8);
    EXPECT_EQ(perfect.undrawnCells, 0);
    upper[3].character = U'€';
    ASSERT_TRUE(measurePicture(picture.data(), columns * 8, rows * 16, columns * 24, upper.data(), columns, rows, perfect));
    EXPECT_EQ(perfect.undrawnCells, 1);

    PictureFigures untouched{1, 2, 3, 4, 5};
    EXPECT_FALSE(measurePicture(picture.data(), columns * 8, rows * 16, columns * 24 - 1, upper.data(), columns, rows,
                                untouched));
    EXPECT_FALSE(measurePicture(picture.data(), 0, rows * 16, columns * 24, upper.data(), columns, rows, untouched));
    EXPECT_FALSE(measurePicture(picture.data(), columns * 8, rows * 16, columns * 24, upper.data(), 1 << 9, 1 << 7,
                                untouched));
    EXPECT_EQ(untouched.structure, 4);
}
