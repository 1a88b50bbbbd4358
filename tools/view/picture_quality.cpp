#include "tools/view/picture_quality.h"

#include "vantrel/cell_drawing.h"
#include "vantrel/coloured_cell.h"
#include "vantrel/colour_difference.h"

namespace vantrel {

std::vector<LinearRgb> seenColours(const ShownPicture& shown, const Palette& palette) {
    std::vector<LinearRgb> seen;
    seen.reserve(shown.cells.size());
    for (const MosaicCell& cell : shown.cells) {
        const ColouredCell c = colouredCell(cell, shown.mode, palette);
        const auto ink = static_cast<float>(characterCoverage(c.character));
        const LinearRgb fg = toLinear(c.foreground), bg = toLinear(c.background);
        const auto mix = [ink](float f, float b) { return f * ink + b * (1.0f - ink); };
        seen.push_back({mix(fg.red, bg.red), mix(fg.green, bg.green), mix(fg.blue, bg.blue)});
    }
    return seen;
}

namespace {

double meanDifference(const std::vector<LinearRgb>& first, const std::vector<LinearRgb>& second) {
    double sum = 0;
    for (std::size_t i = 0; i < first.size(); ++i) sum += ciede2000(toLab(first[i]), toLab(second[i]));
    return first.empty() ? 0.0 : sum / static_cast<double>(first.size());
}

// The grid averaged over 2x2-cell blocks (at an odd edge, over the cells there).
std::vector<LinearRgb> blurred(const std::vector<LinearRgb>& grid, int columns, int rows) {
    std::vector<LinearRgb> out;
    for (int row = 0; row < rows; row += 2) {
        for (int column = 0; column < columns; column += 2) {
            LinearRgb sum{0, 0, 0};
            int n = 0;
            for (int y = row; y < rows && y < row + 2; ++y) {
                for (int x = column; x < columns && x < column + 2; ++x, ++n) {
                    const LinearRgb& c = grid[static_cast<std::size_t>(y) * columns + x];
                    sum = {sum.red + c.red, sum.green + c.green, sum.blue + c.blue};
                }
            }
            out.push_back({sum.red / n, sum.green / n, sum.blue / n});
        }
    }
    return out;
}

}  // namespace

QualityFigures compareGrids(const std::vector<LinearRgb>& seen, const std::vector<LinearRgb>& reference, int columns,
                            int rows) {
    return {meanDifference(seen, reference),
            meanDifference(blurred(seen, columns, rows), blurred(reference, columns, rows))};
}

}  // namespace vantrel
