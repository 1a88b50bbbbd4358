#include "vantrel/shade_renderer.h"

#include <algorithm>

#include "render/convert_kernels.h"

namespace vantrel {

namespace {

constexpr std::uint8_t fullBlock = 219;
constexpr std::uint8_t lightShade = 176;
constexpr std::uint8_t mediumShade = 177;
constexpr std::uint8_t darkShade = 178;

std::int32_t distance(std::int32_t r, std::int32_t g, std::int32_t b, std::int32_t cr,
                      std::int32_t cg, std::int32_t cb) {
    const std::int32_t dr = cr - r;
    const std::int32_t dg = cg - g;
    const std::int32_t db = cb - b;
    return dr * dr + dg * dg + db * db;
}

}  // namespace

Cell ShadeRenderer::colourToCell(std::int32_t red, std::int32_t green, std::int32_t blue) const {
    // Components outside the palette's scale would overflow the distances;
    // in-range colours are searched exactly as given.
    red = std::clamp<std::int32_t>(red, 0, 63);
    green = std::clamp<std::int32_t>(green, 0, 63);
    blue = std::clamp<std::int32_t>(blue, 0, 63);
    std::int32_t best = 0x7FFFFFFF;
    int d = 0;
    for (int i = 0; i < 16; ++i) {
        const PaletteColour& p = shadePalette[i];
        const std::int32_t dist = distance(red, green, blue, p.red, p.green, p.blue);
        if (dist < best) {
            best = dist;
            d = i;
        }
    }
    std::uint8_t character = fullBlock;
    std::uint8_t attribute = static_cast<std::uint8_t>(d);

    const PaletteColour& D = shadePalette[d];
    for (int j = 0; j < 16; ++j) {
        const PaletteColour& P = shadePalette[j];
        const auto mixAttribute = static_cast<std::uint8_t>((j > d ? j : d) | ((j > d ? d : j) << 4));

        // Half and half.
        std::int32_t dist = distance(red, green, blue, (P.red + D.red) / 2, (P.green + D.green) / 2,
                                     (P.blue + D.blue) / 2);
        if (dist < best) {
            best = dist;
            character = mediumShade;
            attribute = mixAttribute;
        }
        // Three quarters of j.
        dist = distance(red, green, blue, (3 * P.red) / 4 + D.red / 4, (3 * P.green) / 4 + D.green / 4,
                        (3 * P.blue) / 4 + D.blue / 4);
        if (dist < best) {
            best = dist;
            character = j > d ? darkShade : lightShade;
            attribute = mixAttribute;
        }
        // One quarter of j.
        dist = distance(red, green, blue, P.red / 4 + (3 * D.red) / 4, P.green / 4 + (3 * D.green) / 4,
                        P.blue / 4 + (3 * D.blue) / 4);
        if (dist < best) {
            best = dist;
            character = d > j ? darkShade : lightShade;
            attribute = mixAttribute;
        }
    }
    return makeCell(character, attribute);
}

void ShadeRenderer::buildTable(std::int32_t /*flags*/) {
    Cell* cells = table.allocate(tableSize);
    int entry = 0;
    for (std::int32_t red = 0; red < 64; red += 4) {
        for (std::int32_t green = 0; green < 64; green += 4) {
            for (std::int32_t blue = 0; blue < 64; blue += 4) {
                cells[entry++] = colourToCell(red, green, blue);
            }
        }
    }
}

void ShadeRenderer::convert1x1(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                               std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const {
    convertFixed(shadeKernels(), 1, table.data(), pixels, rect, stride, cellColumn, cellRow, cells);
}

void ShadeRenderer::convert2x2(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                               std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const {
    convertFixed(shadeKernels(), 2, table.data(), pixels, rect, stride, cellColumn, cellRow, cells);
}

void ShadeRenderer::convert4x4(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                               std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const {
    convertFixed(shadeKernels(), 4, table.data(), pixels, rect, stride, cellColumn, cellRow, cells);
}

bool ShadeRenderer::convert(const PixelImage& image, const SourceRect& rect, BlockSize block, const CellGrid& grid,
                            std::int32_t cellColumn, std::int32_t cellRow) const {
    return convertChecked(shadeKernels(), table.data(), image, rect, block, grid, cellColumn, cellRow);
}

}  // namespace vantrel
