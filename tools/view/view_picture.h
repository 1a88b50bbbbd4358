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
    RendererKind renderer = RendererKind::shade;
    ColourMode mode = ColourMode::ansi16;
    int columns = 0;
    int rows = 0;
    std::vector<MosaicCell> cells;  // rows x columns, row-major

    CellView<MosaicCell> view() const { return {cells.data(), columns, rows, columns}; }
};

// The renderer the options ask for, its colours told in `mode`. At sixteen
// colours the shade renderer chooses its cells under the palette of
// picturePalette (--palette, else the terminal's answer, else VGA).
std::unique_ptr<PictureRenderer> makeViewRenderer(const ViewOptions& options, ColourMode mode);

// The cells for a picture shown inline, in cells options.cellAspect times
// as tall as wide: fitted to --size (enlarging if need be), or else to the
// terminal's window less its last row (--fit window, filled with
// --stretch), or to its width alone (--fit width).
CellCount fitStill(const ViewOptions& options, Extent terminal, int width, int height);

// Pictures with alpha are laid over options.background (black when none).
class ViewPicture {
public:
    ViewPicture(const ViewOptions& options, ColourMode mode);

    // The pixels the renderer reads for a grid of `cells`.
    CellCount samplesFor(CellCount cells) const { return converter_.samplesFor(cells); }
    // Converts `picture` onto a grid of `cells` (resized when it changes).
    const ShownPicture& convert(const ByteImage& picture, CellCount cells);
    const ShownPicture& shown() const { return shown_; }

private:
    PictureConverter converter_;
    ShownPicture shown_;
};

// The picture's cells as the console cells and half-block colours that the
// 8x12 pictures of --png are drawn from: the shade and glyph renderers'
// cells undone exactly, and the half blocks' two colours as the terminal
// shows them. `cells` and `colours` are resized (allocating) only when the
// picture's size changes.
void consoleCellsOf(const ShownPicture& shown, std::vector<Cell>& cells);
// 2 * rows x columns colours, as the terminal shows them: row 2r the upper
// halves of cell row r, row 2r + 1 the lower halves.
void halfBlockColoursOf(const ShownPicture& shown, std::vector<Rgb>& colours);

}  // namespace vantrel
