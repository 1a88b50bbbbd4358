// The picture renderers (vantrel/picture_renderer.h) this library makes.
// Each is made once, with its tables; rendering allocates only when the
// grid's size changes.
#pragma once

#include <memory>

#include "vantrel/colour_mode.h"
#include "vantrel/conversion.h"
#include "vantrel/mosaic_renderer.h"
#include "vantrel/palette.h"
#include "vantrel/picture_renderer.h"

namespace vantrel {

// The shade renderer (vantrel/shade_renderer.h): block x block samples a
// cell, in sixteen console colours. With one sample a cell each cell is
// chosen by its seen colour under the colours the terminal shows (at sixteen
// colours, `palette`; see ConsoleColours); with `dither` each cell's error
// is carried on (vantrel/error_diffusion.h). The console cells become mosaic
// cells: their code page 437 character in Unicode, their colours as
// consoleColour gives them in `mode`.
std::unique_ptr<PictureRenderer> makeShadeRenderer(ColourMode mode, const Palette& palette, BlockSize block,
                                                   bool dither);

// The glyph renderer (vantrel/glyph_renderer.h), printable ASCII only,
// block x block samples a cell, from their Rec. 709 luma; with `dither` each
// cell's error in light is carried on.
std::unique_ptr<PictureRenderer> makeGlyphRenderer(ColourMode mode, BlockSize block, bool dither);

// The mosaic renderer (vantrel/mosaic_renderer.h): 8x8 samples a cell, each
// cell a block symbol of options.symbols and the two colours of
// options.mode that best show its samples. With symbols
// MosaicSymbols::half it is the half-block renderer: ▀ or ▄ (or a space or
// █ where one colour serves) in two colours a cell.
std::unique_ptr<PictureRenderer> makeMosaicRenderer(const MosaicOptions& options);

}  // namespace vantrel
