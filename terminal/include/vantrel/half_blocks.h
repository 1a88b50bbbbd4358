// Pictures of RGB colours in a terminal, two colours to a cell: every
// terminal cell shows the upper half block U+2580 with the upper colour as
// its foreground and the lower colour as its background. A picture of
// width x height colours takes width columns and halfBlockRows(height)
// rows; an odd last row of colours shows as upper halves over the
// terminal's default background.
//
// Colours go out as the colour mode tells them (nearestColour): exactly in
// truecolor, the nearest of xterm's 256 colours or of the sixteen
// otherwise. A cell whose two colours go out as the same colour is printed
// as a space in that background, which looks the same and is shorter.
//
// The picture: `height` rows of `width` colours, row r starting at
// colours[r * pitch] (pitch counted in colours). It is valid when width and
// height are not negative, pitch >= width, and colours is not null unless
// the picture is empty.
//
// Two ways to show one:
//
// - Inline, the way inline_printer.h prints cells: at the cursor, row after
//   row, each row ended by a colour reset and a newline, so that the picture
//   scrolls with the rest of the output and nothing is left set.
//
//       std::vector<vantrel::Rgb> picture = ...;  // 64 x 48 colours
//       vantrel::printHalfBlocksInline(STDOUT_FILENO, picture.data(), 64, 48, 64,
//                                      vantrel::colourModeFromEnvironment());
//
// - Full screen, for animation: HalfBlockEncoder, a diffing encoder like
//   FrameEncoder (frame_encoder.h). Its FrameLayout counts terminal cells:
//   the frame is the picture's width by halfBlockRows(height).
//
//       vantrel::HalfBlockEncoder encoder(
//           vantrel::colourModeFromEnvironment(),
//           vantrel::centreFrame(width, vantrel::halfBlockRows(height), columns, rows));
//       for (;;) {  // on the terminal's alternate screen, see terminal_session.h
//           draw(picture);
//           vantrel::terminalSession::write(encoder.encode(picture.data(), height, width));
//       }
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <system_error>

#include "vantrel/frame_layout.h"
#include "vantrel/terminal_colours.h"
#include "vantrel/vga_colours.h"

namespace vantrel {

// Terminal rows that `height` rows of colours take: half of them, rounded
// up; 0 for none (or a negative height).
constexpr int halfBlockRows(int height) { return height > 0 ? height / 2 + height % 2 : 0; }

// The exact length of the picture printed inline in `mode`; 0 when the
// picture is invalid.
std::size_t halfBlocksInlineSize(const Rgb* colours, int width, int height, int pitch, ColourMode mode);

// Writes the picture inline into `out` and returns its length. Writes
// nothing and returns 0 when the picture is invalid or `capacity` is less
// than its halfBlocksInlineSize: the output is never cut. Starts with a
// colour reset (when the picture is not empty); a picture of no columns
// prints halfBlockRows(height) empty lines.
std::size_t printHalfBlocksInline(const Rgb* colours, int width, int height, int pitch, ColourMode mode,
                                  char* out, std::size_t capacity);

// Writes the picture inline to the file descriptor `fd` through a fixed
// buffer, continuing partial and interrupted writes and waiting on a
// non-blocking descriptor. Returns the error that stopped it (from
// write(2), or invalid_argument for an invalid picture), or no error. As
// with write(2), a closed pipe raises SIGPIPE unless it is ignored.
std::error_code printHalfBlocksInline(int fd, const Rgb* colours, int width, int height, int pitch,
                                      ColourMode mode);

// Animation on a full-screen terminal: turns each picture into the bytes
// that bring the terminal from what it shows to that picture. It keeps the
// colours each cell shows, as the mode gives them, and writes only the
// cells that show different colours (so that in 16 or 256 colours a change
// too small to tell costs nothing), in screen order, with the cheapest
// cursor moves and only the colour codes that change. A frame's bytes go
// out between the begin and end of a synchronized update.
//
// The encoder allocates when it is made and when a layout needs more room
// than before; encoding a picture allocates nothing.
class HalfBlockEncoder {
public:
    // The layout, in terminal cells, is taken through placeFrame(), so that
    // any values are safe. An encoder can be moved; one moved from may only
    // be assigned or destroyed.
    HalfBlockEncoder(ColourMode mode, const FrameLayout& layout);
    ~HalfBlockEncoder();
    HalfBlockEncoder(HalfBlockEncoder&&) noexcept;
    HalfBlockEncoder& operator=(HalfBlockEncoder&&) noexcept;

    // A new picture size, terminal size or place: the next picture repaints
    // in full.
    void setLayout(const FrameLayout& layout);
    // The terminal's contents are unknown (just entered, resumed): the next
    // picture clears the screen and repaints in full.
    void forgetScreen();

    // The bytes that bring the terminal from what it shows to the picture
    // at `colours`: `height` rows of layout().frameColumns colours, row r at
    // colours[r * pitch], where halfBlockRows(height) is
    // layout().frameRows. Only the colours of cells inside the terminal are
    // read. Empty when nothing changed; empty, and nothing remembered, when
    // colours is null, pitch < frameColumns or the height does not fit the
    // layout. The view stays valid until the next call.
    std::string_view encode(const Rgb* colours, int height, int pitch);

    const FrameLayout& layout() const;
    ColourMode colourMode() const;

private:
    struct State;
    std::unique_ptr<State> state;
};

}  // namespace vantrel
