// vantrel-view's use of the picture library: the renderer its options name,
// the cells a picture takes, and the cells it becomes (ShownPicture), kept
// from picture to picture and from frame to frame.
#pragma once

#include <memory>
#include <vector>

#include "vantrel/byte_image.h"
#include "vantrel/cell.h"
#include "vantrel/cell_view.h"
#include "vantrel/colour_mode.h"
#include "vantrel/palette.h"
#include "vantrel/picture_converter.h"
#include "tools/view/view_options.h"

namespace vantrel {

// What a picture becomes on the terminal: mosaic cells in the colour mode.
struct ShownPicture {
    RendererKind renderer = RendererKind::mosaic;
    ColourMode mode = ColourMode::ansi16;
    // The sixteen colours the cells were chosen by (at sixteen colours).
    Palette palette = vgaPalette();
    int columns = 0;
    int rows = 0;
    std::vector<MosaicCell> cells;  // rows x columns, row-major

    CellView<MosaicCell> view() const { return {cells.data(), columns, rows, columns}; }
};

// The renderer the options ask for, its colours told in `mode`. At sixteen
// colours the shade and mosaic renderers choose their cells under `palette`
// (the viewer's is picturePalette's: --palette, else the terminal's answer,
// else VGA).
std::unique_ptr<PictureRenderer> makeViewRenderer(const ViewOptions& options, ColourMode mode,
                                                  const Palette& palette);

// The cells for a picture shown inline, in cells options.cellAspect times
// as tall as wide: fitted to --size (enlarging if need be), or else to the
// terminal's window less its last row (--fit window, filled with
// --stretch), or to its width alone (--fit width).
CellCount fitStill(const ViewOptions& options, Extent terminal, int width, int height);
// The cells for a video frame of width x height pixels on a full screen of
// `screen` cells (or --size within it), enlarged as need be.
CellCount fitFrame(const ViewOptions& options, Extent screen, int width, int height);

// Pictures with alpha are laid over options.background (black when none).
class ViewPicture {
public:
    // At sixteen colours, cells chosen by picturePalette(options.palette).
    ViewPicture(const ViewOptions& options, ColourMode mode);
    // ... or by `palette`.
    ViewPicture(const ViewOptions& options, ColourMode mode, const Palette& palette);

    // The pixels the renderer reads for a grid of `cells`.
    CellCount samplesFor(CellCount cells) const { return converter_.samplesFor(cells); }
    // Converts `picture` onto a grid of `cells` (resized when it changes).
    const ShownPicture& convert(const ByteImage& picture, CellCount cells);
    const ShownPicture& shown() const { return shown_; }

private:
    PictureConverter converter_;
    ShownPicture shown_;
};

// The shade and glyph renderers' cells undone exactly into the console
// cells that the 8x12 pictures of --png draw with the console's font.
// `cells` is resized (allocating) only when the picture's size changes.
void consoleCellsOf(const ShownPicture& shown, std::vector<Cell>& cells);

}  // namespace vantrel
