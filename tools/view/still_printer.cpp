#include "tools/view/still_printer.h"

#include <array>
#include <cstdint>
#include <vector>

#include "vantrel/cell_drawing.h"
#include "vantrel/coloured_cell.h"
#include "vantrel/inline_printer.h"
#include "vantrel/linear_light.h"
#include "tools/cell_image.h"
#include "tools/png_file.h"

namespace vantrel {

namespace {

constexpr char32_t lightShade = U'\u2591', darkShade = U'\u2593';

// Which row of a character drawn 16 pixels tall (drawCharacter) each of the
// 12 rows of a cell takes: the one under the row's middle, so that halves,
// quadrants and sextants keep sharp edges (sextant rows of 4, 4 and 4
// pixels, eighths at the nearest whole pixel).
constexpr std::array<int, fontGlyphHeight> drawnRowOf = [] {
    std::array<int, fontGlyphHeight> rows{};
    for (int y = 0; y < fontGlyphHeight; ++y) rows[static_cast<std::size_t>(y)] = (2 * y + 1) * drawnCellHeight / (2 * fontGlyphHeight);
    return rows;
}();

// Mosaic cells at 8x12 pixels each: their characters by their geometry
// (vantrel/cell_drawing.h), the foreground mixed over the background in
// linear light by the share of each pixel it covers, in the colours a
// terminal with the picture's palette shows.
void drawMosaicCells(const ShownPicture& shown, std::uint8_t* rgb) {
    const std::ptrdiff_t width = static_cast<std::ptrdiff_t>(shown.columns) * fontGlyphWidth;
    std::array<float, drawnCellPixels> coverage{};
    for (int row = 0; row < shown.rows; ++row) {
        for (int column = 0; column < shown.columns; ++column) {
            const ColouredCell cell = colouredCell(shown.cells[static_cast<std::size_t>(row) * shown.columns + column],
                                                   shown.mode, shown.palette);
            drawCharacter(cell.character, coverage);
            // The shades' stipple repeats every four rows: its first twelve
            // rows keep its share exactly.
            const bool stipple = cell.character >= lightShade && cell.character <= darkShade;
            const LinearRgb ink = toLinear(cell.foreground), paper = toLinear(cell.background);
            for (int y = 0; y < fontGlyphHeight; ++y) {
                const int drawnRow = stipple ? y : drawnRowOf[static_cast<std::size_t>(y)];
                std::uint8_t* out = rgb + ((static_cast<std::ptrdiff_t>(row) * fontGlyphHeight + y) * width +
                                           static_cast<std::ptrdiff_t>(column) * fontGlyphWidth) * 3;
                for (int x = 0; x < fontGlyphWidth; ++x) {
                    const float share = coverage[static_cast<std::size_t>(drawnRow * drawnCellWidth + x)];
                    Rgb colour = share >= 1.0f ? cell.foreground : cell.background;
                    if (share > 0.0f && share < 1.0f) {
                        const auto mix = [share](float f, float b) { return f * share + b * (1.0f - share); };
                        colour = toSrgb({mix(ink.red, paper.red), mix(ink.green, paper.green), mix(ink.blue, paper.blue)});
                    }
                    *out++ = colour.red;
                    *out++ = colour.green;
                    *out++ = colour.blue;
                }
            }
        }
    }
}

}  // namespace

std::error_code printShown(int fd, const ShownPicture& shown) { return printInline(fd, shown.view(), shown.mode); }

std::string writeShownPng(const ShownPicture& shown, OutputFile& file) {
    const int width = shown.columns * fontGlyphWidth;
    const int height = shown.rows * fontGlyphHeight;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    if (shown.renderer == RendererKind::shade || shown.renderer == RendererKind::glyph) {
        std::vector<Cell> cells;
        consoleCellsOf(shown, cells);
        drawCells(cells.data(), shown.columns, shown.rows, shown.columns, rgb.data());
    } else {
        drawMosaicCells(shown, rgb.data());
    }
    std::vector<std::uint8_t> png;
    if (std::string error = encodeRgbPng(rgb.data(), width, height, png); !error.empty()) {
        return "cannot write " + file.shownName() + ": " + error;
    }
    if (!file.write(png.data(), png.size())) return file.failure();  // names the file already
    return {};
}

}  // namespace vantrel
