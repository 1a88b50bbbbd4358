// The frame encoder's output fed to an emulated terminal (libvterm): after
// every frame the screen must hold exactly the frame's characters and
// colours where the layout puts it, centred or cut, with the margins blank.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "tests/terminal_expect.h"
#include "tests/test_frames.h"
#include "tests/vterm_screen.h"
#include "vantrel/frame_encoder.h"

using namespace vantrel;

namespace {

// Checks the whole emulated screen against the frame (row-major, l's frame
// size); reports the first few differences and returns the number of wrong cells.
int screenMismatches(const EmulatedTerminal& term, const Cell* frame, const FrameLayout& l, ColourMode mode) {
    return layoutMismatches(term, l, [&](const EmulatedCell& e, int column, int row) {
        return cellProblem(e, frame[row * l.frameColumns + column], mode);
    });
}

// A whole 80x50 frame.
CellView<Cell> whole(const CellBuffer& frame) { return {frame.data(), cellColumns, cellRows, cellColumns}; }

// Feeds every frame through the encoder and checks the screen after each.
void expectFramesShown(const std::vector<std::vector<Cell>>& frames, ColourMode mode, const FrameLayout& layout) {
    FrameEncoder encoder(mode, layout);
    EmulatedTerminal term(layout.terminalColumns, layout.terminalRows);
    for (std::size_t f = 0; f < frames.size(); ++f) {
        const std::string_view out =
            encoder.encode({frames[f].data(), layout.frameColumns, layout.frameRows, layout.frameColumns});
        if (!out.empty()) {
            ASSERT_EQ(out.substr(0, 8), "\x1b[?2026h") << "frame " << f;
            ASSERT_EQ(out.substr(out.size() - 8), "\x1b[?2026l") << "frame " << f;
        }
        term.feed(out);
        ASSERT_EQ(screenMismatches(term, frames[f].data(), encoder.layout(), mode), 0) << "after frame " << f;
    }
}

std::vector<std::vector<Cell>> asGrids(const std::vector<CellBuffer>& frames) {
    std::vector<std::vector<Cell>> grids;
    for (const CellBuffer& b : frames) grids.emplace_back(b.begin(), b.end());
    return grids;
}

std::string modeName(ColourMode mode) {
    return mode == ColourMode::ansi16 ? "Palette" : mode == ColourMode::ansi256 ? "Palette256" : "Truecolor";
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
    expectFramesShown(asGrids(frames), c.mode, centreFrame(80, 50, c.columns, c.rows));
}

INSTANTIATE_TEST_SUITE_P(
    SizesAndColours, EncodedFlight,
    ::testing::Values(Case{ColourMode::ansi16, 80, 50}, Case{ColourMode::truecolor, 80, 50},
                      Case{ColourMode::ansi256, 80, 50}, Case{ColourMode::ansi16, 101, 57},
                      Case{ColourMode::truecolor, 120, 60}, Case{ColourMode::ansi16, 79, 49},
                      Case{ColourMode::truecolor, 64, 24}, Case{ColourMode::ansi16, 1, 1}),
    [](const ::testing::TestParamInfo<Case>& info) {
        return modeName(info.param.mode) + "_" + std::to_string(info.param.columns) + "x" +
               std::to_string(info.param.rows);
    });

// Frames of other sizes than the demo's, random frames on terminals that
// fit them exactly, hold them with room to spare, or cut them.
TEST(FrameEncoder, AnyFrameSize) {
    struct Size {
        int frameColumns, frameRows, terminalColumns, terminalRows;
    };
    const Size sizes[] = {{37, 11, 37, 11}, {37, 11, 50, 20}, {120, 40, 120, 40}, {120, 40, 100, 30}, {3, 200, 9, 7}};
    const ColourMode modes[] = {ColourMode::ansi16, ColourMode::ansi256, ColourMode::truecolor};
    unsigned seed = 1;
    for (const Size& s : sizes) {
        for (ColourMode mode : modes) {
            SCOPED_TRACE(modeName(mode) + " " + std::to_string(s.frameColumns) + "x" + std::to_string(s.frameRows) +
                         " on " + std::to_string(s.terminalColumns) + "x" + std::to_string(s.terminalRows));
            expectFramesShown(randomGrids(s.frameColumns, s.frameRows, 12, seed++), mode,
                              centreFrame(s.frameColumns, s.frameRows, s.terminalColumns, s.terminalRows));
        }
    }
}

// A frame read with a pitch wider than its rows, placed off centre.
TEST(FrameEncoder, PitchAndPlace) {
    const auto grids = randomGrids(60, 9, 8, 99);  // each the frame's 40 columns and 20 more
    std::vector<std::vector<Cell>> frames;
    for (const auto& g : grids) {
        std::vector<Cell> f;
        for (int r = 0; r < 9; ++r) f.insert(f.end(), g.begin() + r * 60, g.begin() + r * 60 + 40);
        frames.push_back(f);
    }
    const FrameLayout layout = placeFrame(40, 9, 45, 12, 7, -2);  // cut on the right and at the top
    EXPECT_EQ(layout.firstRow, 2);
    EXPECT_EQ(layout.lastColumn, 37);
    FrameEncoder encoder(ColourMode::ansi256, layout);
    EmulatedTerminal term(45, 12);
    for (std::size_t f = 0; f < grids.size(); ++f) {
        term.feed(encoder.encode({grids[f].data(), 40, 9, 60}));
        ASSERT_EQ(screenMismatches(term, frames[f].data(), layout, ColourMode::ansi256), 0) << "frame " << f;
    }
    EXPECT_TRUE(encoder.encode({nullptr, 40, 9, 60}).empty());
    EXPECT_TRUE(encoder.encode({grids[0].data(), 40, 9, 39}).empty()) << "a pitch below the frame's width is refused";
}

TEST(FrameEncoder, NewLayoutRepaints) {
    const auto frames = recordedFlight();
    ASSERT_EQ(frames.size(), 32u);
    FrameEncoder encoder(ColourMode::ansi16, centreFrame(80, 50, 80, 50));
    EmulatedTerminal term(80, 50);
    const int sizes[][2] = {{80, 50}, {100, 60}, {70, 40}, {81, 51}, {80, 50}};
    int f = 0;
    for (const auto& s : sizes) {
        encoder.setLayout(centreFrame(80, 50, s[0], s[1]));
        term.resize(s[0], s[1]);
        for (int i = 0; i < 6; ++i, ++f) {
            const CellBuffer& frame = frames[static_cast<std::size_t>(f)];
            term.feed(encoder.encode(whole(frame)));
            ASSERT_EQ(screenMismatches(term, frame.data(), encoder.layout(), ColourMode::ansi16), 0)
                << s[0] << "x" << s[1] << " frame " << f;
        }
    }
}

TEST(FrameEncoder, WritesOnlyWhatChanged) {
    FrameEncoder encoder(ColourMode::ansi16, centreFrame(80, 50, 80, 50));
    CellBuffer frame;
    frame.fill(makeCell(219, 0x00));
    const std::size_t first = encoder.encode(whole(frame)).size();
    EXPECT_GT(first, static_cast<std::size_t>(cellCount));  // every cell once

    EXPECT_TRUE(encoder.encode(whole(frame)).empty()) << "an unchanged frame sends nothing";

    // A cell that looks the same (black on black, any character) is no change.
    frame[123] = makeCell(177, 0x00);
    EXPECT_TRUE(encoder.encode(whole(frame)).empty());

    // One changed cell: synchronized update, a move, the colours and the glyph.
    frame[2021] = makeCell(178, 0x1F);
    const std::string one(encoder.encode(whole(frame)));
    EXPECT_LE(one.size(), 16u + 8u + 12u + 3u) << one;

    // A row of cells of one colour needs the colour code once.
    for (int c = 10; c < 30; ++c) frame[static_cast<std::size_t>(40 * 80 + c)] = makeCell(176, 0x4E);
    const std::string row(encoder.encode(whole(frame)));
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
    for (ColourMode mode : {ColourMode::ansi16, ColourMode::ansi256, ColourMode::truecolor}) {
        FrameEncoder encoder(mode, centreFrame(80, 50, 80, 50));
        encoder.encode(whole(frames[0]));
        std::size_t bytes = 0;
        std::size_t changed = 0;
        for (std::size_t f = 1; f < frames.size(); ++f) {
            for (std::size_t i = 0; i < frames[f].size(); ++i) {
                changed += visibleCell(frames[f][i]) != visibleCell(frames[f - 1][i]) ? 1 : 0;
            }
            bytes += encoder.encode(whole(frames[f])).size();
        }
        ASSERT_GT(changed, 300u * (frames.size() - 1));
        EXPECT_LT(bytes, 12 * changed) << modeName(mode);
    }
}

TEST(FrameEncoder, ForgetScreenRepaintsOverAnyContents) {
    const auto frames = recordedFlight();
    ASSERT_GE(frames.size(), 2u);
    FrameEncoder encoder(ColourMode::truecolor, centreFrame(80, 50, 90, 52));
    EmulatedTerminal term(90, 52);
    term.feed(encoder.encode(whole(frames[0])));
    // Something else wrote on the screen (the program was suspended, say).
    term.feed("\x1b[0m\x1b[5;5Hshell prompt $ \x1b[41mred\x1b[2;1H\x1b[K");
    encoder.forgetScreen();
    term.feed(encoder.encode(whole(frames[1])));
    EXPECT_EQ(screenMismatches(term, frames[1].data(), encoder.layout(), ColourMode::truecolor), 0);
}

TEST(FrameLayoutTest, CentresAndCuts) {
    FrameLayout l = centreFrame(80, 50, 100, 60);
    EXPECT_EQ(l.originColumn, 10);
    EXPECT_EQ(l.originRow, 5);
    EXPECT_EQ(l.firstColumn, 0);
    EXPECT_EQ(l.lastColumn, 79);
    l = centreFrame(80, 50, 71, 24);  // 9 columns and 26 rows too few
    EXPECT_EQ(l.shownColumns(), 71);
    EXPECT_EQ(l.shownRows(), 24);
    EXPECT_EQ(l.firstRow, 13);
    EXPECT_EQ(l.firstColumn + l.originColumn, 0);
    l = centreFrame(37, 11, 40, 12);  // an odd surplus: the extra column on the right
    EXPECT_EQ(l.originColumn, 1);
    EXPECT_EQ(l.originRow, 0);
    l = centreFrame(80, 50, 0, -3);  // nonsense sizes become 1x1
    EXPECT_EQ(l.terminalColumns, 1);
    EXPECT_EQ(l.terminalRows, 1);
    EXPECT_EQ(l.shownColumns(), 1);
    l = placeFrame(10, 10, 20, 20, 25, -30);  // wholly outside
    EXPECT_EQ(l.shownColumns(), 0);
    EXPECT_EQ(l.shownRows(), 0);
}

}  // namespace
