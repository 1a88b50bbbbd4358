#include "tests/terminal_expect.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>

#include "vantrel/cp437_unicode.h"
#include "vantrel/vga_colours.h"

using namespace vantrel;

namespace {

// Console colour c as 0xRRGGBB (the VGA colours have one home, vga_colours).
std::uint32_t vga(std::size_t c) {
    const Rgb& v = vgaColours[c];
    return static_cast<std::uint32_t>(v.red << 16 | v.green << 8 | v.blue);
}

int weighted(std::uint32_t a, std::uint32_t b) {
    const int dr = static_cast<int>(a >> 16) - static_cast<int>(b >> 16);
    const int dg = static_cast<int>((a >> 8) & 255) - static_cast<int>((b >> 8) & 255);
    const int db = static_cast<int>(a & 255) - static_cast<int>(b & 255);
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

}  // namespace

std::uint32_t xtermRgb(int index) {
    if (index >= 232) {
        const auto y = static_cast<std::uint32_t>(8 + 10 * (index - 232));
        return y << 16 | y << 8 | y;
    }
    const int levels[6] = {0x00, 0x5F, 0x87, 0xAF, 0xD7, 0xFF};
    const int i = index - 16;
    return static_cast<std::uint32_t>(levels[i / 36] << 16 | levels[i / 6 % 6] << 8 | levels[i % 6]);
}

int bruteNearestVga(std::uint32_t rgb) {
    int best = 0;
    for (int i = 1; i < 16; ++i) {
        if (weighted(vga(static_cast<std::size_t>(i)), rgb) < weighted(vga(static_cast<std::size_t>(best)), rgb))
            best = i;
    }
    return best;
}

int bruteNearestXterm(std::uint32_t rgb) {
    int best = 16;
    for (int i = 17; i < 256; ++i) {
        if (weighted(xtermRgb(i), rgb) < weighted(xtermRgb(best), rgb)) best = i;
    }
    return best;
}

std::uint32_t expectedColour(int consoleColour, ColourMode mode, bool& indexed) {
    // Console blue, green, red in bits 0, 1, 2 are ANSI red, green, blue.
    constexpr std::array<std::uint32_t, 16> ansi = {0, 4, 2, 6, 1, 5, 3, 7, 8, 12, 10, 14, 9, 13, 11, 15};
    indexed = mode != ColourMode::truecolor;
    const auto c = static_cast<std::size_t>(consoleColour);
    switch (mode) {
        case ColourMode::ansi16:
            return ansi[c];
        case ColourMode::ansi256: {
            static const std::array<std::uint32_t, 16> nearest = [] {
                std::array<std::uint32_t, 16> table{};
                for (std::size_t i = 0; i < 16; ++i) table[i] = static_cast<std::uint32_t>(bruteNearestXterm(vga(i)));
                return table;
            }();
            return nearest[c];
        }
        case ColourMode::truecolor:
            break;
    }
    return vga(c);
}

std::string cellProblem(const EmulatedCell& e, Cell cell, ColourMode mode) {
    const int code = cellCharacter(cell);
    const int fg = cellForeground(cell);
    const int bg = cellBackground(cell);
    const bool blank = cp437Unicode[static_cast<std::size_t>(code)] == U' ' || fg == bg;
    const auto colourIs = [&](bool isDefault, bool indexed, std::uint32_t value, int console) {
        bool wantIndexed = false;
        const std::uint32_t want = expectedColour(console, mode, wantIndexed);
        return !isDefault && indexed == wantIndexed && value == want;
    };
    std::string problem;
    if (blank) {
        if (e.character != U' ') problem = "expected a space";
    } else {
        if (e.character != cp437Unicode[static_cast<std::size_t>(code)]) problem = "wrong character";
        if (!colourIs(e.foregroundDefault, e.foregroundIndexed, e.foreground, fg)) problem += " wrong foreground";
    }
    if (!colourIs(e.backgroundDefault, e.backgroundIndexed, e.background, bg)) problem += " wrong background";
    if (problem.empty()) return problem;
    std::ostringstream s;
    s << problem << " (cell " << std::hex << cell << ": got U+" << e.character << ", fg " << e.foreground << ", bg "
      << e.background << ")";
    return s.str();
}

std::string halfBlockProblem(const EmulatedCell& e, Rgb upper, const Rgb* lower, ColourMode mode) {
    const auto arrivesAs = [mode](Rgb c, bool& indexed) {
        const auto value = static_cast<std::uint32_t>(c.red << 16 | c.green << 8 | c.blue);
        indexed = mode != ColourMode::truecolor;
        if (mode == ColourMode::ansi16) return expectedColour(bruteNearestVga(value), mode, indexed);
        return mode == ColourMode::ansi256 ? static_cast<std::uint32_t>(bruteNearestXterm(value)) : value;
    };
    bool upIndexed = false;
    bool lowIndexed = false;
    const std::uint32_t up = arrivesAs(upper, upIndexed);
    const std::uint32_t low = lower != nullptr ? arrivesAs(*lower, lowIndexed) : 0;
    std::string problem;
    if (lower != nullptr && up == low) {
        if (e.character != U' ') problem = "expected a space";
    } else if (e.character != 0x2580 || e.foregroundDefault || e.foregroundIndexed != upIndexed || e.foreground != up) {
        problem = "expected an upper half block in the upper colour";
    }
    if (lower == nullptr ? !e.backgroundDefault
                         : e.backgroundDefault || e.backgroundIndexed != lowIndexed || e.background != low) {
        problem += " wrong background";
    }
    if (problem.empty()) return problem;
    std::ostringstream s;
    s << problem << std::hex << " (want " << up << " over " << low << ": got U+" << e.character << ", fg "
      << e.foreground << ", bg " << e.background << ")";
    return s.str();
}

std::string mosaicProblem(const EmulatedCell& e, MosaicCell cell, ColourMode mode) {
    const std::uint32_t bits = mode == ColourMode::ansi16 ? 15 : mode == ColourMode::ansi256 ? 255 : 0xFFFFFF;
    const bool indexed = mode != ColourMode::truecolor;
    const std::uint32_t fg = cell.foreground & bits;
    const std::uint32_t bg = cell.background & bits;
    const char32_t c = cell.character;
    const bool printable = c >= 0xA0 ? c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF) : c >= 0x20 && c < 0x7F;
    std::string problem;
    if (c == U' ' || fg == bg) {
        if (e.character != U' ') problem = "expected a space";
    } else {
        if (e.character != (printable ? static_cast<std::uint32_t>(c) : 0xFFFDu)) problem = "wrong character";
        if (e.foregroundDefault || e.foregroundIndexed != indexed || e.foreground != fg) problem += " wrong foreground";
    }
    if (e.backgroundDefault || e.backgroundIndexed != indexed || e.background != bg) problem += " wrong background";
    if (problem.empty()) return problem;
    std::ostringstream s;
    s << problem << std::hex << " (want U+" << static_cast<std::uint32_t>(c) << " " << fg << " on " << bg << ": got U+"
      << e.character << " " << e.foreground << " on " << e.background << ")";
    return s.str();
}

int layoutMismatches(const EmulatedTerminal& term, const FrameLayout& l,
                     const std::function<std::string(const EmulatedCell&, int, int)>& problem) {
    int wrong = 0;
    for (int row = 0; row < l.terminalRows; ++row) {
        for (int column = 0; column < l.terminalColumns; ++column) {
            const EmulatedCell e = term.cell(column, row);
            const int fc = column - l.originColumn;
            const int fr = row - l.originRow;
            std::string found;
            if (fc < 0 || fc >= l.frameColumns || fr < 0 || fr >= l.frameRows) {
                if ((e.character != 0 && e.character != U' ') || !e.backgroundDefault) found = "margin not blank";
            } else {
                found = problem(e, fc, fr);
            }
            if (!found.empty() && ++wrong <= 5) {
                ADD_FAILURE() << "terminal cell (" << column << ", " << row << "): " << found;
            }
        }
    }
    return wrong;
}
