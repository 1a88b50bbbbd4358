// Printed output read back into cells: colours of every kind, bold, reverse,
// resets, the cursor moves a picture printer uses, the sequences skipped,
// broken UTF-8, the palette, and the texts that are no grid.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/view/printed_cells.h"

using namespace vantrel;

namespace {

std::uint32_t hex(Rgb c) { return static_cast<std::uint32_t>(c.red << 16 | c.green << 8 | c.blue); }

struct Expected {
    int column;
    int row;
    char32_t character;
    std::uint32_t foreground;
    std::uint32_t background;
};

struct Case {
    std::string text;
    int columns;
    int rows;
    std::vector<Expected> cells;
    std::string ignored = "";
    bool xterm = false;
};

}  // namespace

TEST(PrintedCells, ReadsWhatATerminalShows) {
    const std::vector<Case> cases = {
        // Bold brightens a foreground of 30-37 only.
        {"\x1b[31mA\x1b[1mB\x1b[22mC\x1b[0mD", 4, 1,
         {{0, 0, U'A', 0xAA0000, 0}, {1, 0, U'B', 0xFF5555, 0}, {2, 0, U'C', 0xAA0000, 0}, {3, 0, U'D', 0xAAAAAA, 0}}},
        {"\x1b[1;38;5;1mA\x1b[91mB\x1b[1;39mC", 3, 1,
         {{0, 0, U'A', 0xAA0000, 0}, {1, 0, U'B', 0xFF5555, 0}, {2, 0, U'C', 0xAAAAAA, 0}}},
        // The 256 colours: cube, greys; 24-bit with a level held to 255, and colons.
        {"\x1b[38;5;196;48;5;244mA\x1b[48;5;16;38;5;231mB\x1b[38;2;300;1;2;48:2:10:20:30mC", 3, 1,
         {{0, 0, U'A', 0xFF0000, 0x808080}, {1, 0, U'B', 0xFFFFFF, 0}, {2, 0, U'C', 0xFF0102, 0x0A141E}}},
        {"\x1b[34;47;7mA\x1b[27mB\x1b[49;39m\x1b[38;7;31mC", 3, 1,
         {{0, 0, U'A', 0xAAAAAA, 0x0000AA}, {1, 0, U'B', 0x0000AA, 0xAAAAAA}, {2, 0, U'C', 0xAAAAAA, 0}}},
        // Moves: forward, repeat, carriage return, tab, line feeds; padding and trailing rows.
        {"ab\x1b[3Cc\x1b[2b\r\x1b[32mX\tY\n\n\n\x1b[mZ\n\n", 9, 4,
         {{0, 0, U'X', 0x00AA00, 0}, {1, 0, U'b', 0xAAAAAA, 0}, {4, 0, U' ', 0xAAAAAA, 0}, {5, 0, U'c', 0xAAAAAA, 0},
          {7, 0, U'c', 0xAAAAAA, 0}, {8, 0, U'Y', 0x00AA00, 0}, {8, 2, U' ', 0xAAAAAA, 0}, {0, 3, U'Z', 0xAAAAAA, 0},
          {8, 3, U' ', 0xAAAAAA, 0}}},
        // OSC, DCS, a character set, a private mode and an erase are skipped.
        {"\x1b]0;title\x07" "A\x1bP1$r\x1b\\B\x1b(BC\x1b[?25lD\x1b[2JE\x1b[HF", 6, 1,
         {{0, 0, U'A', 0xAAAAAA, 0}, {1, 0, U'B', 0xAAAAAA, 0}, {2, 0, U'C', 0xAAAAAA, 0}, {5, 0, U'F', 0xAAAAAA, 0}},
         "JH"},
        {"a\xff\xe2\x96" "b\xf0\x9f\xac\x80", 5, 1,
         {{1, 0, U'\uFFFD', 0xAAAAAA, 0}, {2, 0, U'\uFFFD', 0xAAAAAA, 0}, {3, 0, U'b', 0xAAAAAA, 0},
          {4, 0, U'\U0001FB00', 0xAAAAAA, 0}}},
        {"\x1b[31;44mA\x1b[38;5;9;48;5;100mB", 2, 1, {{0, 0, U'A', 0xCD0000, 0x0000EE}, {1, 0, U'B', 0xFF0000, 0x878700}}, "",
         true},
    };
    for (const Case& c : cases) {
        PrintedCells printed;
        ASSERT_EQ(readPrintedCells(c.text, c.xterm ? xtermPalette() : vgaPalette(), printed), "") << c.text;
        ASSERT_EQ(printed.columns, c.columns) << c.text;
        ASSERT_EQ(printed.rows, c.rows) << c.text;
        ASSERT_EQ(printed.cells.size(), static_cast<std::size_t>(c.columns * c.rows));
        EXPECT_EQ(printed.ignoredSequences, c.ignored) << c.text;
        for (const Expected& e : c.cells) {
            const ColouredCell& got = printed.cells[static_cast<std::size_t>(e.row * c.columns + e.column)];
            EXPECT_EQ(got.character, e.character) << c.text << " at " << e.column << "," << e.row;
            EXPECT_EQ(hex(got.foreground), e.foreground) << c.text << " at " << e.column << "," << e.row;
            EXPECT_EQ(hex(got.background), e.background) << c.text << " at " << e.column << "," << e.row;
        }
    }
}

TEST(PrintedCells, RefusesTextsThatAreNoGrid) {
    PrintedCells printed;
    printed.columns = 3;
    EXPECT_EQ(readPrintedCells("", vgaPalette(), printed), "no cells");
    EXPECT_EQ(readPrintedCells("\x1b[2J\n\n\x1b[0m", vgaPalette(), printed), "no cells");
    EXPECT_EQ(readPrintedCells(std::string(1001, 'a'), vgaPalette(), printed), "more than 1000 columns");
    EXPECT_EQ(readPrintedCells("\x1b[999999999999C" "a", vgaPalette(), printed), "more than 1000 columns");
    std::string lines;
    for (int i = 0; i < 1001; ++i) lines += "a\n";
    EXPECT_EQ(readPrintedCells(lines, vgaPalette(), printed), "more than 1000 rows");
    EXPECT_EQ(printed.columns, 3);
    lines.resize(2000);
    EXPECT_EQ(readPrintedCells(lines + "\n\n\n", vgaPalette(), printed), "");
    EXPECT_EQ(printed.rows, 1000);
}
