// The mosaic renderer: for each cell a block symbol and the two colours that
// best show the pixels under it. A cell's picture is given as 8x8 samples in
// linear light; every symbol is judged by how the cell looks drawn with it
// (8x16 pixels, the symbol's exact geometry, each sample covering two pixel
// rows), and the one whose drawing is nearest the samples, by least squares
// in linear light with the channels weighted towards luminance, is written
// with its colours: at truecolor the two means of its parts, pushed apart
// (their mix kept) by up to a quarter of their difference where the symbol
// leaves much of the cell's variation unexplained, as across a soft edge,
// and not at all where it draws a clean edge. From a palette, the symbol and the two palette
// colours together that best match the samples and, as well, the cell's
// mean: the colour the cell shows from a distance, its two colours mixed as
// its symbol covers it (an exact search over every colour pair).
//
//     MosaicRenderer renderer({.mode = ColourMode::truecolor});
//     renderer.setSize(80, 50);                      // allocates (once)
//     renderer.convert(samples, 640, 80, 50, cells, 80);  // allocates nothing
//
// The samples of cell (c, r) are samples[(8r + y) * sampleStride + 8c + x]
// for x, y in 0..7: a picture area-averaged in linear light to 8 columns by
// 8 rows of samples a cell (AreaScaler::scaleLinear to 640x400 for 80x50).
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "vantrel/colour_mode.h"
#include "vantrel/linear_light.h"
#include "vantrel/mosaic_cell.h"
#include "vantrel/palette.h"

namespace vantrel {

// The symbols a mosaic may use, combinable with |. Space and the full block
// are always there.
enum class MosaicSymbols : unsigned {
    half = 1u << 0,        // ▀ ▄
    sideHalves = 1u << 1,  // ▌ ▐
    quad = 1u << 2,        // the ten quadrants U+2596..U+259F with ▌ ▐ ▀ ▄
    eighths = 1u << 3,     // lower and left eighths U+2581..U+2587, U+2589..U+258F
    sextant = 1u << 4,     // the 60 sextants U+1FB00..U+1FB3B with ▌ ▐ (2x3, rows of 5, 6, 5 of 16 pixels)
    shade = 1u << 5,       // ░ ▒ ▓: a quarter, half, three quarters of the foreground mixed in
};

constexpr MosaicSymbols operator|(MosaicSymbols a, MosaicSymbols b) {
    return static_cast<MosaicSymbols>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr bool hasSymbols(MosaicSymbols set, MosaicSymbols wanted) {
    return (static_cast<unsigned>(set) & static_cast<unsigned>(wanted)) == static_cast<unsigned>(wanted);
}

// The symbols every common terminal font shows: halves, quadrants and
// eighths, and the shades at sixteen colours. On a console of sixteen
// foregrounds over eight backgrounds (the Linux console), the ones its font
// has: ▀ ▄ ▌ ▐ ░ ▒ ▓.
MosaicSymbols defaultMosaicSymbols(ColourMode mode, bool eightBackgrounds = false);

// "half", "quad", "eighths", "sextant", "shade", or several of them joined by
// commas. False (and `symbols` unchanged) for anything else.
bool parseMosaicSymbols(std::string_view text, MosaicSymbols& symbols);

struct MosaicOptions {
    ColourMode mode = ColourMode::truecolor;
    // ansi16 only: backgrounds limited to the colours 0..7 (the Linux
    // console shows no bright backgrounds).
    bool eightBackgrounds = false;
    // The symbols to choose from; defaultMosaicSymbols(mode, eightBackgrounds)
    // when not given.
    MosaicSymbols symbols{};
    // ansi16: the sixteen colours the terminal really shows, which cells are
    // chosen by. (ansi256 uses xterm's cube and greys, indexes 16..255, whose
    // colours terminals agree on.)
    Palette palette = vgaPalette();
    // ansi16 and ansi256: carry half of each cell's colour error on to the
    // cells not yet decided, at sample resolution (ignored at truecolor).
    // Off by default: on photographs it brings the drawn picture's colour
    // nearer (S-CIELAB) but blurs its edges (structure) at both 16 and 256
    // colours, and the mosaic keeps the edges; the cell's mean is weighed
    // in the choice instead.
    bool diffuse = false;
};

class MosaicRenderer {
public:
    static constexpr int sampleColumns = 8;  // samples a cell, across
    static constexpr int sampleRows = 8;     // samples a cell, down

    // Builds the tables for these options (allocates).
    explicit MosaicRenderer(const MosaicOptions& options);
    ~MosaicRenderer();
    MosaicRenderer(MosaicRenderer&&) noexcept;
    MosaicRenderer& operator=(MosaicRenderer&&) noexcept;

    // Room for grids of up to `columns` cells across (the error carried
    // between rows); allocates only when it grows. convert calls it itself
    // when needed, so calling it first only moves the allocation.
    void setSize(int columns, int rows);

    // Converts columns x rows cells (both at least 1) from their samples
    // (see the top of this file; sampleStride >= 8 * columns) into
    // cells[r * cellStride + c] (cellStride >= columns). Returns false and
    // writes nothing when a pointer is null or a size does not fit.
    bool convert(const LinearRgb* samples, std::ptrdiff_t sampleStride, int columns, int rows, MosaicCell* cells,
                 std::ptrdiff_t cellStride);

    const MosaicOptions& options() const;
    // Whether colour error is carried from cell to cell (diffuse, and not
    // truecolor); when not, each row of cells depends on its samples only.
    bool diffuses() const;

private:
    struct Tables;
    std::unique_ptr<Tables> tables_;
};

}  // namespace vantrel
