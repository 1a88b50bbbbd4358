// The command line of vantrel-view (and of vantrel-quality, which reads the
// same options to judge what the viewer would show).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "vantrel/conversion.h"
#include "vantrel/mosaic_renderer.h"
#include "vantrel/palette.h"

namespace vantrel {

// blocks is the mosaic with the half blocks only.
enum class RendererKind { mosaic, shade, glyph, blocks };
// ansi16Over8: sixteen foregrounds over eight backgrounds (the Linux console).
enum class ColourChoice { ansi16, ansi16Over8, ansi256, truecolor, automatic };
// What a picture is fitted into without --size: the whole window (its
// columns and all but one of its rows, the last kept for the prompt), or
// the window's width only, for tall pictures meant to be scrolled.
enum class FitKind { window, width };

// A size in cells, or in pixels for --raw.
struct Extent {
    int width = 0;
    int height = 0;
};

// The largest --size on either side: a grid of cells no terminal exceeds.
inline constexpr int maxCellSide = 1000;
// The largest --raw frame: each side, and all its pixels (384 MiB).
inline constexpr int maxRawSide = 16384;
inline constexpr long long maxRawPixels = 1LL << 27;
// The fastest paced video, and the pace of raw video without --fps.
inline constexpr int maxFramesPerSecond = 100;
inline constexpr int defaultFramesPerSecond = 30;
// The most plays --loop asks for (0 is forever).
inline constexpr int maxLoops = 1'000'000;

struct ViewOptions {
    std::vector<std::string> files;        // "-" is standard input
    std::optional<Extent> size;            // --size COLSxROWS
    // Cell height over width: --cell-aspect, else the terminal's own cell
    // shape when it tells it (takeFromTerminal), else 2.
    double cellAspect = 2.0;
    bool cellAspectGiven = false;          // --cell-aspect was given
    FitKind fit = FitKind::window;         // --fit
    // The colour under transparent pixels: --background, else the
    // terminal's own background when it tells it (takeFromTerminal).
    // None: black.
    std::optional<Rgb> background;
    bool stretch = false;
    RendererKind renderer = RendererKind::mosaic;
    std::optional<BlockSize> block;        // default: blockFor(renderer)
    // The mosaic's symbols (--symbols); when not given, the default set of
    // the colour mode (defaultMosaicSymbols).
    std::optional<MosaicSymbols> symbols;
    ColourChoice colours = ColourChoice::automatic;
    // The sixteen colours the terminal shows (--palette); when not given,
    // the terminal's own if it tells them, or else VGA (picturePalette).
    std::optional<Palette> palette;
    std::optional<bool> dither;            // default: ditherFor(renderer)
    std::optional<Extent> raw;             // --raw WxH: video of raw RGB frames
    int fps = 0;                           // 0: defaultFramesPerSecond
    std::optional<int> loop;               // --loop N: plays of an animation, 0 forever
    bool stats = false;                    // --stats: the frame counts on stderr at the end
    std::string pngPath;                   // --png OUT; empty: print
    bool help = false;
    bool version = false;                  // --version
};

// The block of a renderer when --block is not given: one pixel a cell for
// shade (the area average has already mixed each cell's pixels, in linear
// light), two by two for glyph (its four quadrants choose the shape).
inline BlockSize blockFor(const ViewOptions& options) {
    if (options.block) return *options.block;
    return options.renderer == RendererKind::glyph ? BlockSize::two : BlockSize::one;
}

// Whether cells carry their error on when neither --dither nor --no-dither
// is given: for shade, whose figures it improves (vantrel-quality: the
// 2x2-block error falls by about 40% while the per-cell error stays within
// a tenth of it), not for glyph, which can only show grey up to light grey,
// so that carrying the error on makes it judge worse, nor for the mosaic,
// whose edges it blurs (see MosaicOptions::diffuse).
inline bool ditherFor(const ViewOptions& options) {
    return options.dither.value_or(options.renderer == RendererKind::shade);
}

// Reads argv[1..argc-1]. Options take their value as the next argument or
// after '='; "--" ends the options. Returns an empty string, or one line
// saying what is wrong. `program` names the tool in messages.
std::string parseViewOptions(int argc, const char* const* argv, ViewOptions& options);

extern const char* const viewUsage;

}  // namespace vantrel
