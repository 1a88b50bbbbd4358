#include "vantrel/half_blocks.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "terminal/cursor_moves.h"
#include "terminal/encoder_placement.h"
#include "terminal/grid_output.h"
#include "terminal/output_cursor.h"

namespace vantrel {

namespace {

constexpr std::string_view reset = "\x1b[0m";
constexpr std::string_view upperHalfBlock = "\xe2\x96\x80";  // U+2580
constexpr std::string_view defaultBackground = "\x1b[49m";
constexpr std::string_view beginUpdate = "\x1b[?2026h";
constexpr std::string_view endUpdate = "\x1b[?2026l";

// Colours as the mode tells them (TerminalColour::value, below 2^24), and
// two more: the terminal's default colour, and a colour not known.
constexpr std::uint32_t defaultColour = 0xFFFFFFFF;
constexpr std::uint32_t unknownColour = 0xFFFFFFFE;

// The colours the terminal writes with.
struct Pen {
    std::uint32_t foreground;
    std::uint32_t background;
};

// One cell: a space in the background when both halves show the same
// colour, else the upper half block; each colour code only where the pen
// has another colour. `lower` may be the default colour, `upper` may not.
template <class Output>
void putCell(Output& out, Pen& pen, ColourMode mode, std::uint32_t upper, std::uint32_t lower) {
    const bool blank = upper == lower;
    std::optional<TerminalColour> foreground;
    std::optional<TerminalColour> background;
    bool toDefault = false;
    if (!blank && pen.foreground != upper) {
        foreground = TerminalColour{mode, upper};
        pen.foreground = upper;
    }
    if (pen.background != lower) {
        if (lower == defaultColour) {
            toDefault = true;
        } else {
            background = TerminalColour{mode, lower};
        }
        pen.background = lower;
    }
    char sgr[maxSgrBytes];
    out.put(sgr, writeSgr(foreground, background, sgr, sizeof sgr));
    if (toDefault) out.put(defaultBackground.data(), defaultBackground.size());
    if (blank) {
        out.put(" ", 1);
    } else {
        out.put(upperHalfBlock.data(), upperHalfBlock.size());
    }
}

std::uint32_t shownValue(ColourMode mode, Rgb c) { return nearestColour(mode, c).value; }

// The picture inline, handed to `out` piece by piece.
template <class Output>
void printPicture(Output& out, const Rgb* colours, int width, int height, int pitch, ColourMode mode) {
    const int rows = halfBlockRows(height);
    if (width > 0 && rows > 0) out.put(reset.data(), reset.size());
    for (int r = 0; r < rows; ++r) {
        const Rgb* upper = colours + static_cast<std::ptrdiff_t>(2 * r) * pitch;
        const Rgb* lower = 2 * r + 1 < height ? upper + pitch : nullptr;
        // Every row starts after a reset.
        Pen pen{defaultColour, defaultColour};
        for (int c = 0; c < width; ++c) {
            putCell(out, pen, mode, shownValue(mode, upper[c]),
                    lower != nullptr ? shownValue(mode, lower[c]) : defaultColour);
        }
        if (width > 0) out.put(reset.data(), reset.size());
        out.put("\n", 1);
    }
}

std::uint32_t packed(Rgb c) {
    return static_cast<std::uint32_t>(c.red) << 16 | static_cast<std::uint32_t>(c.green) << 8 | c.blue;
}

std::uint64_t pair(std::uint32_t upper, std::uint32_t lower) { return std::uint64_t{upper} << 32 | lower; }

// Longest output for one cell: a cursor move, both colours (the background
// perhaps the default), the glyph.
constexpr std::size_t maxCellBytes =
    CursorMoves::maxBytes + maxSgrBytes + defaultBackground.size() + upperHalfBlock.size();
// Room for the begin and end of the synchronized update, the reset and
// clear of a repaint, and the padded copies of the cursor moves reaching
// past the last byte.
constexpr std::size_t frameOverhead = 64;

}  // namespace

std::size_t halfBlocksInlineSize(const Rgb* colours, int width, int height, int pitch, ColourMode mode) {
    if (!validGrid(colours, width, height, pitch)) return 0;
    return printedSize([&](auto& out) { printPicture(out, colours, width, height, pitch, mode); });
}

std::size_t printHalfBlocksInline(const Rgb* colours, int width, int height, int pitch, ColourMode mode,
                                  char* out, std::size_t capacity) {
    if (!validGrid(colours, width, height, pitch)) return 0;
    return printToBuffer([&](auto& o) { printPicture(o, colours, width, height, pitch, mode); }, out, capacity);
}

std::error_code printHalfBlocksInline(int fd, const Rgb* colours, int width, int height, int pitch,
                                      ColourMode mode) {
    if (!validGrid(colours, width, height, pitch)) return std::make_error_code(std::errc::invalid_argument);
    return printToDescriptor([&](auto& out) { printPicture(out, colours, width, height, pitch, mode); }, fd);
}

struct HalfBlockEncoder::State : EncoderPlacement {
    State(ColourMode colourMode, const FrameLayout& l) : mode(colourMode) { setLayout(l); }
    void setLayout(const FrameLayout& l);
    std::string_view encode(const Rgb* colours, int height, int pitch);

    ColourMode mode;
    // The terminal's colours after the last frame.
    Pen pen{unknownColour, unknownColour};
    // Per shown cell, upper colour in the high half, lower in the low: the
    // colours last given (packed RGB), to skip unchanged cells fast, and
    // the colours the terminal shows (as the mode tells them).
    std::vector<std::uint64_t> given;
    std::vector<std::uint64_t> shown;
    std::vector<char> buffer;
};

void HalfBlockEncoder::State::setLayout(const FrameLayout& l) {
    const std::size_t cells = place(l);
    // assign() keeps the capacity: a layout no larger than before allocates nothing.
    given.assign(cells, 0);
    shown.assign(cells, 0);
    buffer.resize(cells * maxCellBytes + frameOverhead);
}

std::string_view HalfBlockEncoder::State::encode(const Rgb* colours, int pictureHeight, int pitch) {
    if (colours == nullptr || pitch < layout.frameColumns || pictureHeight < 0 ||
        halfBlockRows(pictureHeight) != layout.frameRows) {
        return {};
    }
    const bool repaint = repaintAll;
    OutputCursor out{buffer.data()};
    out.put(beginUpdate);
    if (repaint) {
        // The margins around the picture keep the default colours.
        out.put(reset);
        out.put("\x1b[2J");
        pen = Pen{defaultColour, defaultColour};
        cursorRow = cursorColumn = -1;
    }
    // Kept in locals while the loop runs: its stores of output bytes could
    // otherwise change any member, as far as the compiler knows.
    Pen p = pen;
    int atRow = cursorRow;
    int atColumn = cursorColumn;
    const ColourMode colourMode = mode;
    const int terminalColumns = layout.terminalColumns;
    std::uint64_t* const givenCells = given.data();
    std::uint64_t* const shownCells = shown.data();
    bool changed = false;
    for (int r = 0; r < height; ++r) {
        const int upperRow = 2 * (layout.firstRow + r);
        const Rgb* upper = colours + static_cast<std::ptrdiff_t>(upperRow) * pitch + layout.firstColumn;
        const Rgb* lower = upperRow + 1 < pictureHeight ? upper + pitch : nullptr;
        const int row = baseRow + r;
        const std::size_t rowStart = static_cast<std::size_t>(r) * static_cast<std::size_t>(width);
        for (int c = 0; c < width; ++c) {
            const std::size_t index = rowStart + static_cast<std::size_t>(c);
            const std::uint64_t raw = pair(packed(upper[c]), lower != nullptr ? packed(lower[c]) : defaultColour);
            if (raw == givenCells[index] && !repaint) continue;
            givenCells[index] = raw;
            const std::uint32_t upperShown = shownValue(colourMode, upper[c]);
            const std::uint32_t lowerShown = lower != nullptr ? shownValue(colourMode, lower[c]) : defaultColour;
            const std::uint64_t look = pair(upperShown, lowerShown);
            if (look == shownCells[index] && !repaint) continue;
            shownCells[index] = look;
            changed = true;
            const int column = baseColumn + c;
            if (atRow != row || atColumn != column) moves.move(out, atRow, atColumn, row, column);
            putCell(out, p, colourMode, upperShown, lowerShown);
            // With autowrap off a terminal keeps the cursor on its last
            // column; not all agree on where it is then, so it is unknown.
            atRow = column + 1 < terminalColumns ? row : -1;
            atColumn = column + 1 < terminalColumns ? column + 1 : -1;
        }
    }
    pen = p;
    cursorRow = atRow;
    cursorColumn = atColumn;
    repaintAll = false;
    if (!changed && !repaint) return {};
    out.put(endUpdate);
    return {buffer.data(), static_cast<std::size_t>(out.at - buffer.data())};
}

HalfBlockEncoder::HalfBlockEncoder(ColourMode mode, const FrameLayout& layout)
    : state(std::make_unique<State>(mode, layout)) {}
HalfBlockEncoder::~HalfBlockEncoder() = default;
HalfBlockEncoder::HalfBlockEncoder(HalfBlockEncoder&&) noexcept = default;
HalfBlockEncoder& HalfBlockEncoder::operator=(HalfBlockEncoder&&) noexcept = default;

void HalfBlockEncoder::setLayout(const FrameLayout& layout) { state->setLayout(layout); }
void HalfBlockEncoder::forgetScreen() { state->repaintAll = true; }
std::string_view HalfBlockEncoder::encode(const Rgb* colours, int height, int pitch) {
    return state->encode(colours, height, pitch);
}
const FrameLayout& HalfBlockEncoder::layout() const { return state->layout; }
ColourMode HalfBlockEncoder::colourMode() const { return state->mode; }

}  // namespace vantrel
