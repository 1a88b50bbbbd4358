// Animation of mosaic cells (vantrel/mosaic_cell.h: any character in any
// two colours) on a full-screen terminal: turns each frame into the bytes
// that bring the terminal from what it shows to that frame. It keeps the
// cells as the terminal shows them and writes only those that look
// different (a space shows only its background, and so does any character
// in its own background colour), in screen order, each reached with the
// cheapest cursor move or by reprinting the few cells in between, with only
// the colour codes that change. A frame's bytes go out between the begin
// and end of a synchronized update, so a terminal that knows it shows whole
// frames only.
//
// The cells' colours are values in the encoder's colour mode (an ANSI
// colour 0..15, an xterm palette index, or 0xRRGGBB); higher bits are
// ignored. Every cell takes one column: characters that a terminal draws
// two columns wide do not belong in a mosaic, and control characters are
// shown as U+FFFD.
//
// Where the frame lands is a FrameLayout (frame_layout.h), in terminal
// cells. The encoder allocates when it is made and when a layout needs more
// room than before; encoding a frame allocates nothing.
//
//     vantrel::MosaicEncoder encoder(vantrel::colourModeFromEnvironment(),
//                                    vantrel::centreFrame(columns, rows, terminalColumns, terminalRows));
//     for (;;) {  // on the terminal's alternate screen, see terminal_session.h
//         draw(cells);  // columns x rows MosaicCells
//         vantrel::terminalSession::write(encoder.encode({cells.data(), columns, rows, columns}));
//     }
#pragma once

#include <memory>
#include <string_view>

#include "vantrel/cell_view.h"
#include "vantrel/colour_mode.h"
#include "vantrel/frame_layout.h"
#include "vantrel/mosaic_cell.h"

namespace vantrel {

class MosaicEncoder {
public:
    // The layout is taken through placeFrame(), so that any values are safe.
    // An encoder can be moved; one moved from may only be assigned or
    // destroyed.
    MosaicEncoder(ColourMode mode, const FrameLayout& layout);
    ~MosaicEncoder();
    MosaicEncoder(MosaicEncoder&&) noexcept;
    MosaicEncoder& operator=(MosaicEncoder&&) noexcept;

    // A new frame size, terminal size or place: the next frame repaints in
    // full.
    void setLayout(const FrameLayout& layout);
    // The terminal's contents are unknown (just entered, resumed): the next
    // frame clears the screen and repaints in full.
    void forgetScreen();

    // The bytes that bring the terminal from what it shows to `frame`, whose
    // size must be layout().frameColumns x layout().frameRows. Only the cells
    // inside the terminal are read. Empty when nothing changed; empty, and
    // nothing remembered, when the view is not valid or not of that size.
    // The bytes stay valid until the next call.
    std::string_view encode(CellView<MosaicCell> frame);

    const FrameLayout& layout() const;
    ColourMode colourMode() const;

private:
    struct State;
    std::unique_ptr<State> state;
};

}  // namespace vantrel
