// Mosaic cells read back through an emulated terminal (libvterm): a random
// grid printed inline in every colour mode, and animated by the diffing
// encoder on terminals that fit, hold or cut it, across a resize, with every
// cell's character and colours checked after every frame.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/terminal_expect.h"
#include "tests/vterm_screen.h"
#include "vantrel/inline_printer.h"
#include "vantrel/mosaic_encoder.h"

using namespace vantrel;

namespace {

constexpr ColourMode modes[] = {ColourMode::ansi16, ColourMode::ansi256, ColourMode::truecolor};

// Block symbols (a sextant among them, four bytes in UTF-8), letters,
// spaces, and characters that must not reach the terminal as they are
// (ESC, C1 CSI, DEL, a surrogate, past U+10FFFF). Colours from a few, so
// that neighbours share them and some cells have one colour twice, or any
// value (bits past the mode's are ignored).
MosaicCell randomCell(ColourMode mode, std::mt19937& rng) {
    static constexpr char32_t characters[] = {U' ', U'\u2580', U'\u2584', U'\u2588', U'\u2596', U'\u2591', U'\U0001FB00',
                                              U'A', U'z',      U'\x1b',  U'\x9b',  U'\x7f',  0xD800,    0x110000};
    static constexpr std::uint32_t few[] = {0, 7, 9, 0x5F87AF, 0xFFFFFF};
    const auto colour = [&] {
        const std::uint32_t v = rng();
        return v % 3 == 0 ? v : few[v % 5] & (mode == ColourMode::ansi16 ? 15 : 0xFFFFFF);
    };
    const std::uint32_t pick = rng();
    return MosaicCell{pick % 4 == 0 ? characters[pick / 4 % std::size(characters)] : characters[1 + pick / 4 % 6],
                      colour(), colour()};
}

std::vector<MosaicCell> randomGrid(ColourMode mode, int pitch, int rows, std::mt19937& rng) {
    std::vector<MosaicCell> grid(static_cast<std::size_t>(pitch * rows));
    for (MosaicCell& c : grid) c = randomCell(mode, rng);
    return grid;
}

int screenMismatches(const EmulatedTerminal& term, const std::vector<MosaicCell>& grid, int pitch,
                     const FrameLayout& l, ColourMode mode) {
    return layoutMismatches(term, l, [&](const EmulatedCell& e, int column, int row) {
        return mosaicProblem(e, grid[static_cast<std::size_t>(row * pitch + column)], mode);
    });
}

TEST(MosaicOutput, InlineGridInEveryMode) {
    constexpr int width = 23, height = 7, pitch = 25;
    std::mt19937 rng(3);
    for (ColourMode mode : modes) {
        SCOPED_TRACE(static_cast<int>(mode));
        const std::vector<MosaicCell> grid = randomGrid(mode, pitch, height, rng);
        const CellView<MosaicCell> view{grid.data(), width, height, pitch};
        const std::size_t size = inlineSize(view, mode);
        std::string out(size, 'x');
        EXPECT_EQ(printInline(view, mode, out.data(), size - 1), 0u);
        ASSERT_EQ(printInline(view, mode, out.data(), size), size);
        // After a line of text on a terminal of 5 rows, the grid scrolls like
        // any output (the line discipline makes each newline CR LF), and
        // leaves nothing set: the cursor's row below it is default.
        EmulatedTerminal term(30, 5);
        term.feed("$ show picture\r\n");
        for (char ch : out) term.feed(ch == '\n' ? std::string_view("\r\n") : std::string_view(&ch, 1));
        term.feed("after");
        const std::vector<MosaicCell> shown(grid.begin() + 3 * pitch, grid.end());  // the first 3 rows scrolled off
        EXPECT_EQ(screenMismatches(term, shown, pitch, placeFrame(width, 4, 30, 4, 0, 0), mode), 0);
        const EmulatedCell after = term.cell(0, 4);
        EXPECT_TRUE(after.character == U'a' && after.foregroundDefault && after.backgroundDefault);
    }
    std::vector<MosaicCell> none;
    EXPECT_EQ(inlineSize(CellView<MosaicCell>{none.data(), 3, 2, 2}, ColourMode::ansi16), 0u);
    EXPECT_EQ(printInline(1, CellView<MosaicCell>{nullptr, 3, 2, 3}, ColourMode::ansi16),
              std::make_error_code(std::errc::invalid_argument));
}

// Frames of a few percent changed cells, every fourth a new grid, on
// terminals that fit, hold or cut them (a pitch wider than the frame), in
// every mode, then a resize; what the encoder sends and refuses.
TEST(MosaicOutput, EncoderScreenHoldsEveryFrame) {
    struct Size {
        int width, height, pitch, terminalColumns, terminalRows;
    };
    const Size sizes[] = {{80, 25, 80, 80, 25}, {37, 6, 40, 50, 9}, {60, 20, 60, 45, 12}, {9, 4, 9, 3, 2}};
    std::mt19937 rng(11);
    for (ColourMode mode : modes) {
        for (const Size& s : sizes) {
            SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height) + " mode " +
                         std::to_string(static_cast<int>(mode)));
            MosaicEncoder encoder(mode, centreFrame(s.width, s.height, s.terminalColumns, s.terminalRows));
            EmulatedTerminal term(s.terminalColumns, s.terminalRows);
            std::vector<MosaicCell> grid;
            const auto encode = [&](int height, int pitch) {
                return encoder.encode({grid.data(), s.width, height, pitch});
            };
            for (int f = 0; f < 12; ++f) {
                const std::vector<MosaicCell> fresh = randomGrid(mode, s.pitch, s.height, rng);
                if (f % 4 == 0) grid = fresh;
                for (std::size_t i = 0; i < grid.size(); i += 1 + rng() % 40) grid[i] = fresh[i];
                const std::string_view out = encode(s.height, s.pitch);
                EXPECT_TRUE(out.empty() || (out.starts_with("\x1b[?2026h") && out.ends_with("\x1b[?2026l")));
                term.feed(out);
                ASSERT_EQ(screenMismatches(term, grid, s.pitch, encoder.layout(), mode), 0) << f;
            }
            EXPECT_TRUE(encode(s.height, s.pitch).empty()) << "no change, no bytes";
            // A change that does not show: a space's foreground.
            MosaicCell& centre = grid[static_cast<std::size_t>(s.height / 2 * s.pitch + s.width / 2)];
            centre = MosaicCell{U' ', 1, 2};
            term.feed(encode(s.height, s.pitch));
            centre.foreground = 3;
            EXPECT_TRUE(encode(s.height, s.pitch).empty());

            // Refused, nothing remembered; then something else writes on the
            // screen, and forgetScreen repaints it all.
            grid[0] = MosaicCell{U'#', 4, 5};
            EXPECT_TRUE(encode(s.height + 1, s.pitch).empty());
            EXPECT_TRUE(encode(s.height, s.width - 1).empty());
            EXPECT_TRUE(encoder.encode({nullptr, s.width, s.height, s.pitch}).empty());
            term.feed("\x1b[0m\x1b[1;1Hshell $ \x1b[44mblue");
            encoder.forgetScreen();
            term.feed(encode(s.height, s.pitch));
            EXPECT_EQ(screenMismatches(term, grid, s.pitch, encoder.layout(), mode), 0);

            // The terminal grows by a few cells: the next frame repaints.
            term.resize(s.terminalColumns + 3, s.terminalRows + 2);
            encoder.setLayout(centreFrame(s.width, s.height, s.terminalColumns + 3, s.terminalRows + 2));
            term.feed(encode(s.height, s.pitch));
            EXPECT_EQ(screenMismatches(term, grid, s.pitch, encoder.layout(), mode), 0);
        }
    }
}

}  // namespace
