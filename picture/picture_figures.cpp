#include "vantrel/picture_figures.h"

#include <array>
#include <cstddef>
#include <vector>

#include "picture/area_average.h"
#include "picture/scielab.h"
#include "picture/structure_similarity.h"
#include "vantrel/cell_drawing.h"
#include "vantrel/colour_difference.h"

namespace vantrel {

namespace {

constexpr double pixelsPerDegree = 40.0;

struct Linear {
    double channel[3];
};

Linear linearOf(Rgb c) { return {{linearOfByte(c.red), linearOfByte(c.green), linearOfByte(c.blue)}}; }

// The mean CIEDE2000 between two images of three doubles a pixel.
double meanDifference(const std::vector<double>& first, const std::vector<double>& second) {
    const std::size_t pixels = first.size() / 3;
    double sum = 0;
    for (std::size_t i = 0; i < pixels; ++i) sum += ciede2000(labOfLinear(&first[3 * i]), labOfLinear(&second[3 * i]));
    return sum / static_cast<double>(pixels);
}

// Means of 2x2 blocks of a grid of three doubles a cell; an odd last row or
// column is left out. Empty when the grid is narrower or lower than 2.
std::vector<double> blockMeans(const std::vector<double>& grid, int columns, int rows) {
    const int blockColumns = columns / 2, blockRows = rows / 2;
    std::vector<double> blocks(3 * static_cast<std::size_t>(blockColumns) * static_cast<std::size_t>(blockRows), 0.0);
    for (int y = 0; y < 2 * blockRows; ++y) {
        for (int x = 0; x < 2 * blockColumns; ++x) {
            const std::size_t from = 3 * (static_cast<std::size_t>(y) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(x));
            const std::size_t to = 3 * (static_cast<std::size_t>(y / 2) * static_cast<std::size_t>(blockColumns) + static_cast<std::size_t>(x / 2));
            for (int c = 0; c < 3; ++c) blocks[to + static_cast<std::size_t>(c)] += grid[from + static_cast<std::size_t>(c)] / 4;
        }
    }
    return blocks;
}

// The mean CIEDE2000 of two S-CIELAB images and the SSIM of their lightness,
// in planes borrowed from `work`.
void compareFiltered(const std::vector<Lab>& first, const std::vector<Lab>& second, int width, int height,
                     ScielabWork& work, PictureFigures& figures) {
    double sum = 0;
    std::vector<double>&lightnessFirst = work.channel, &lightnessSecond = work.blurred;
    lightnessFirst.resize(first.size());
    lightnessSecond.resize(first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        sum += ciede2000(first[i], second[i]);
        lightnessFirst[i] = first[i].lightness / 100;
        lightnessSecond[i] = second[i].lightness / 100;
    }
    figures.scielab = sum / static_cast<double>(first.size());
    SimilarityWork similarity;
    similarity.squaresFirst.swap(work.filtered[0]);
    similarity.squaresSecond.swap(work.filtered[1]);
    similarity.products.swap(work.filtered[2]);
    similarity.scratch.swap(work.scratch);
    figures.structure = structureSimilarity(lightnessFirst, lightnessSecond, width, height, similarity);
}

}  // namespace

bool measurePicture(const std::uint8_t* rgb, int width, int height, std::ptrdiff_t rowBytes,
                    const ColouredCell* cells, int columns, int rows, PictureFigures& figures) {
    if (rgb == nullptr || cells == nullptr || width < 1 || height < 1 || columns < 1 || rows < 1) return false;
    if (rowBytes < 3 * static_cast<std::ptrdiff_t>(width)) return false;
    if (std::int64_t{columns} * rows > maxMeasuredCells) return false;
    const std::size_t cellCount = static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
    const int drawnWidth = columns * drawnCellWidth, drawnHeight = rows * drawnCellHeight;

    PictureFigures result;
    // Each cell's seen colour, and the cells drawn.
    std::vector<double> seen(3 * cellCount);
    std::vector<double> drawn(3 * cellCount * drawnCellPixels);
    std::array<float, drawnCellPixels> shares;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const std::size_t i = static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(column);
            const Linear fg = linearOf(cells[i].foreground), bg = linearOf(cells[i].background);
            if (!drawCharacter(cells[i].character, shares)) ++result.undrawnCells;
            double covered = 0;
            for (int y = 0; y < drawnCellHeight; ++y) {
                for (int x = 0; x < drawnCellWidth; ++x) {
                    const double share = shares[static_cast<std::size_t>(y * drawnCellWidth + x)];
                    covered += share;
                    const std::size_t pixel = static_cast<std::size_t>(row * drawnCellHeight + y) * static_cast<std::size_t>(drawnWidth) +
                                              static_cast<std::size_t>(column * drawnCellWidth + x);
                    for (int c = 0; c < 3; ++c) {
                        drawn[3 * pixel + static_cast<std::size_t>(c)] = share * fg.channel[c] + (1 - share) * bg.channel[c];
                    }
                }
            }
            covered /= drawnCellPixels;
            // DejaVu Sans Mono, the font the cell figures assume, has no
            // sextants: a terminal drawing them in it shows its missing-glyph
            // box, which inks 49/240 of the cell whatever the pattern. The
            // drawn figures keep the sextants' geometry, as terminals that
            // draw block symbols themselves show them.
            if (cells[i].character >= U'\U0001FB00' && cells[i].character <= U'\U0001FB3B') covered = 49.0 / 240.0;
            for (int c = 0; c < 3; ++c) {
                seen[3 * i + static_cast<std::size_t>(c)] = covered * fg.channel[c] + (1 - covered) * bg.channel[c];
            }
        }
    }

    const std::vector<double> reference = areaAverage(rgb, width, height, rowBytes, columns, rows);
    result.cellError = meanDifference(seen, reference);
    const std::vector<double> seenBlocks = blockMeans(seen, columns, rows);
    result.blockError = seenBlocks.empty() ? result.cellError
                                           : meanDifference(seenBlocks, blockMeans(reference, columns, rows));

    std::vector<Lab> referenceSeen, drawnSeen;
    ScielabWork work;
    scielab(areaAverage(rgb, width, height, rowBytes, drawnWidth, drawnHeight), drawnWidth, drawnHeight,
            pixelsPerDegree, referenceSeen, work);
    scielab(drawn, drawnWidth, drawnHeight, pixelsPerDegree, drawnSeen, work);
    compareFiltered(referenceSeen, drawnSeen, drawnWidth, drawnHeight, work, result);
    figures = result;
    return true;
}

}  // namespace vantrel
