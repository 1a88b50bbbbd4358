// Animation on a full-screen terminal: turns each frame of cells into the
// bytes that bring the terminal from what it shows to that frame. It keeps
// the cells the terminal shows and writes only those that look different
// (see visibleCell), grouped by the colours they need so that colour codes
// are few, each reached with the cheapest cursor move (or by reprinting a few
// cells); a frame's bytes go out between the begin and end of a synchronized
// update, so a terminal that knows it shows whole frames only.
//
// Where the frame lands is a FrameLayout: centreFrame() for a frame centred
// (or cut) on the terminal, placeFrame() for any other place. The encoder
// allocates when it is made and when a layout needs more room than before;
// encoding a frame allocates nothing.
//
//     vantrel::FrameEncoder encoder(vantrel::colourModeFromEnvironment(),
//                                   vantrel::centreFrame(width, height, columns, rows));
//     for (;;) {  // on the terminal's alternate screen, see terminal_session.h
//         draw(cells);
//         vantrel::terminalSession::write(encoder.encode({cells.data(), width, height, width}));
//     }
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "vantrel/cell.h"
#include "vantrel/cell_view.h"
#include "vantrel/frame_layout.h"
#include "vantrel/terminal_colours.h"
#include "vantrel/visible_cell.h"

namespace vantrel {

class FrameEncoder {
public:
    // The layout is taken through placeFrame(), so that any values are safe.
    // An encoder can be moved; one moved from may only be assigned or destroyed.
    FrameEncoder(ColourMode mode, const FrameLayout& layout);
    ~FrameEncoder();
    FrameEncoder(FrameEncoder&&) noexcept;
    FrameEncoder& operator=(FrameEncoder&&) noexcept;

    // A new frame size, terminal size or place: the next frame repaints in full.
    void setLayout(const FrameLayout& layout);
    // The terminal's contents are unknown (just entered, resumed): the next
    // frame clears the screen and repaints in full.
    void forgetScreen();

    // The bytes that bring the terminal from what it shows to `frame`, whose
    // size must be layout().frameColumns x layout().frameRows. Only the cells
    // inside the terminal are read. Empty when nothing changed; empty, and
    // nothing remembered, when the view is not valid or not of that size.
    // The bytes stay valid until the next call.
    std::string_view encode(CellView<Cell> frame);

    const FrameLayout& layout() const;
    ColourMode colourMode() const;

private:
    struct State;
    std::unique_ptr<State> state;
};

}  // namespace vantrel
