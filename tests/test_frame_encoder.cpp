// The frame encoder's output fed to an emulated terminal (libvterm): after
// every frame the screen must hold exactly the frame's characters and
// colours, centred or cropped, with the margins blank.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "vantrel/frame_encoder.h"
#include "vantrel/cp437_unicode.h"
#include "tests/test_frames.h"
#include "tests/vterm_screen.h"

using namespace vantrel;

namespace {

// What the terminal should show for a code: its Unicode form (the blank
// codes 0, 32 and 255 as a space).
std::uint32_t testCodePoint(int code) { return cp437Unicode[static_cast<std::size_t>(code)]; }

GlyphTable testGlyphs() { return cp437Glyphs(); }

// Console colour index -> the terminal's palette index (red and blue swap places).
constexpr std::array<std::uint32_t, 16> paletteIndex = {0, 4, 2, 6, 1, 5, 3, 7, 8, 12, 10, 14, 9, 13, 11, 15};
constexpr std::array<std::uint32_t, 16> vgaRgb = {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA,
                                                  0xAA5500, 0xAAAAAA, 0x555555, 0x5555FF, 0x55FF55, 0x55FFFF,
                                                  0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};

bool colourMatches(bool isDefault, bool indexed, std::uint32_t value, int consoleColour, ColourMode mode) {
    if (isDefault) return false;
    if (mode == ColourMode::ansi16) return indexed && value == paletteIndex[static_cast<std::size_t>(consoleColour)];
    return !indexed && value == vgaRgb[static_cast<std::size_t>(consoleColour)];
}

// Checks the whole emulated screen against `frame`; reports the first few
// differences and returns the number of wrong cells.
int screenMismatches(const EmulatedTerminal& term, const CellBuffer& frame, const FrameLayout& l, ColourMode mode) {
    int wrong = 0;
    for (int row = 0; row < l.terminalRows; ++row) {
        for (int column = 0; column < l.terminalColumns; ++column) {
            const EmulatedCell e = term.cell(column, row);
            const int fc = column - l.originColumn;
            const int fr = row - l.originRow;
            const bool inFrame = fc >= 0 && fc < cellColumns && fr >= 0 && fr < cellRows;
            std::string problem;
            if (!inFrame) {
                if ((e.character != 0 && e.character != 0x20) || !e.backgroundDefault) problem = "margin not blank";
            } else {
                const Cell c = frame[static_cast<std::size_t>(fr * cellColumns + fc)];
                const int code = c & 0xFF;
                const int fg = (c >> 8) & 0x0F;
                const int bg = c >> 12;
                const bool blank = testCodePoint(code) == 0x20 || fg == bg;
                if (blank) {
                    if (e.character != 0x20) problem = "expected a space";
                } else {
                    if (e.character != testCodePoint(code)) problem = "wrong character";
                    if (!colourMatches(e.foregroundDefault, e.foregroundIndexed, e.foreground, fg, mode))
                        problem += " wrong foreground";
                }
                if (!colourMatches(e.backgroundDefault, e.backgroundIndexed, e.background, bg, mode))
                    problem += " wrong background";
            }
            if (!problem.empty()) {
                if (++wrong <= 5) {
                    ADD_FAILURE() << "terminal cell (" << column << ", " << row << "): " << problem << " (got U+"
                                  << std::hex << e.character << ", fg " << e.foreground << ", bg " << e.background
                                  << std::dec << ")";
                }
            }
        }
    }
    return wrong;
}

struct Case {
    ColourMode mode;
    int columns;
    int rows;
};

class EncodedFlight : public ::testing::TestWithParam<Case> {};

TEST_P(EncodedFlight, ScreenHoldsEveryFrame) {
    const Case c = GetParam();
    // The recorded flight, random frames, and the flight again from a screen
    // full of random cells.
    const auto flight = recordedFlight();
    ASSERT_EQ(flight.size(), 32u);
    std::vector<CellBuffer> frames = flight;
    const auto noise = randomFrames(30, 7);
    frames.insert(frames.end(), noise.begin(), noise.end());
    frames.insert(frames.end(), flight.begin(), flight.end());

    auto encoder = std::make_unique<FrameEncoder>(c.mode, testGlyphs(), c.columns, c.rows);
    EmulatedTerminal term(c.columns, c.rows);
    for (std::size_t f = 0; f < frames.size(); ++f) {
        const std::string_view out = encoder->encode(frames[f].data());
        if (!out.empty()) {
            ASSERT_EQ(out.substr(0, 8), "\x1b[?2026h") << "frame " << f;
            ASSERT_EQ(out.substr(out.size() - 8), "\x1b[?2026l") << "frame " << f;
        }
        term.feed(out);
        ASSERT_EQ(screenMismatches(term, frames[f], encoder->layout(), c.mode), 0) << "after frame " << f;
    }
}

INSTANTIATE_TEST_SUITE_P(
    SizesAndColours, EncodedFlight,
    ::testing::Values(Case{ColourMode::ansi16, 80, 50}, Case{ColourMode::truecolor, 80, 50},
                      Case{ColourMode::ansi16, 101, 57}, Case{ColourMode::truecolor, 120, 60},
                      Case{ColourMode::ansi16, 79, 49}, Case{ColourMode::truecolor, 64, 24},
                      Case{ColourMode::ansi16, 1, 1}),
    [](const ::testing::TestParamInfo<Case>& info) {
        return std::string(info.param.mode == ColourMode::ansi16 ? "Palette" : "Truecolor") + "_" +
               std::to_string(info.param.columns) + "x" + std::to_string(info.param.rows);
    });

TEST(FrameEncoder, ResizeLaysOutAgainAndRepaints) {
    const auto frames = recordedFlight();
    ASSERT_EQ(frames.size(), 32u);
    auto encoder = std::make_unique<FrameEncoder>(ColourMode::ansi16, testGlyphs(), 80, 50);
    EmulatedTerminal term(80, 50);
    const int sizes[][2] = {{80, 50}, {100, 60}, {70, 40}, {81, 51}, {80, 50}};
    int f = 0;
    for (const auto& s : sizes) {
        encoder->resize(s[0], s[1]);
        term.resize(s[0], s[1]);
        for (int i = 0; i < 6; ++i, ++f) {
            const CellBuffer& frame = frames[static_cast<std::size_t>(f)];
            term.feed(encoder->encode(frame.data()));
            ASSERT_EQ(screenMismatches(term, frame, encoder->layout(), ColourMode::ansi16), 0)
                << s[0] << "x" << s[1] << " frame " << f;
        }
    }
}

TEST(FrameEncoder, WritesOnlyWhatChanged) {
    auto encoder = std::make_unique<FrameEncoder>(ColourMode::ansi16, testGlyphs(), 80, 50);
    CellBuffer frame;
    frame.fill(makeCell(219, 0x00));
    const std::size_t first = encoder->encode(frame.data()).size();
    EXPECT_GT(first, static_cast<std::size_t>(cellCount));  // every cell once

    EXPECT_TRUE(encoder->encode(frame.data()).empty()) << "an unchanged frame sends nothing";

    // A cell that looks the same (black on black, any character) is no change.
    frame[123] = makeCell(177, 0x00);
    EXPECT_TRUE(encoder->encode(frame.data()).empty());

    // One changed cell: synchronized update, a move, the colours and the glyph.
    frame[2021] = makeCell(178, 0x1F);
    const std::string one(encoder->encode(frame.data()));
    EXPECT_LE(one.size(), 16u + 8u + 12u + 3u) << one;

    // A row of cells of one colour needs the colour code once.
    for (int c = 10; c < 30; ++c) frame[static_cast<std::size_t>(40 * 80 + c)] = makeCell(176, 0x4E);
    const std::string row(encoder->encode(frame.data()));
    std::size_t colourCodes = 0;
    for (std::size_t p = row.find('m'); p != std::string::npos; p = row.find('m', p + 1)) ++colourCodes;
    EXPECT_EQ(colourCodes, 1u) << "colour codes in " << row.size() << " bytes";
}

TEST(FrameEncoder, RecordedFlightCostsFewBytesPerChangedCell) {
    // The busiest stretch of the flight changes about 370 cells a frame. A
    // glyph takes up to 3 bytes; moves and colour codes shared between
    // neighbouring cells of one colour must keep the average well below a
    // colour code per cell (some 20 bytes in truecolor).
    const auto frames = recordedFlight();
    ASSERT_EQ(frames.size(), 32u);
    for (ColourMode mode : {ColourMode::ansi16, ColourMode::truecolor}) {
        auto encoder = std::make_unique<FrameEncoder>(mode, testGlyphs(), 80, 50);
        encoder->encode(frames[0].data());
        std::size_t bytes = 0;
        std::size_t changed = 0;
        for (std::size_t f = 1; f < frames.size(); ++f) {
            for (std::size_t i = 0; i < frames[f].size(); ++i) {
                changed += visibleCell(frames[f][i]) != visibleCell(frames[f - 1][i]) ? 1 : 0;
            }
            bytes += encoder->encode(frames[f].data()).size();
        }
        ASSERT_GT(changed, 300u * (frames.size() - 1));
        EXPECT_LT(bytes, 12 * changed) << (mode == ColourMode::ansi16 ? "palette" : "truecolor");
    }
}

TEST(FrameEncoder, ForgetScreenRepaintsOverAnyContents) {
    const auto frames = recordedFlight();
    ASSERT_GE(frames.size(), 2u);
    auto encoder = std::make_unique<FrameEncoder>(ColourMode::truecolor, testGlyphs(), 90, 52);
    EmulatedTerminal term(90, 52);
    term.feed(encoder->encode(frames[0].data()));
    // Something else wrote on the screen (the program was suspended, say).
    term.feed("\x1b[0m\x1b[5;5Hshell prompt $ \x1b[41mred\x1b[2;1H\x1b[K");
    encoder->forgetScreen();
    term.feed(encoder->encode(frames[1].data()));
    EXPECT_EQ(screenMismatches(term, frames[1], encoder->layout(), ColourMode::truecolor), 0);
}

TEST(FrameLayoutTest, CentresAndCrops) {
    FrameLayout l = layoutFrame(100, 60);
    EXPECT_EQ(l.originColumn, 10);
    EXPECT_EQ(l.originRow, 5);
    EXPECT_EQ(l.firstColumn, 0);
    EXPECT_EQ(l.lastColumn, 79);
    l = layoutFrame(71, 24);  // 9 columns and 26 rows too few
    EXPECT_EQ(l.lastColumn - l.firstColumn + 1, 71);
    EXPECT_EQ(l.lastRow - l.firstRow + 1, 24);
    EXPECT_EQ(l.firstRow, 13);
    EXPECT_EQ(l.firstColumn + l.originColumn, 0);
    l = layoutFrame(0, -3);  // nonsense sizes become 1x1
    EXPECT_EQ(l.terminalColumns, 1);
    EXPECT_EQ(l.terminalRows, 1);
    EXPECT_EQ(l.lastColumn - l.firstColumn, 0);
}

}  // namespace
