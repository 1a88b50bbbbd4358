// The host's two forms of the frame, read back through libvterm after every
// frame of the recorded flight: in half blocks at 80x24 (the top 24 of the
// 25 rows) and 80x25 (all 50 cell rows), in 256 colours and truecolor, each
// character the seen colours of its two cells; and the switch to cells and
// back when the terminal grows past 50 rows and shrinks again.
#include <gtest/gtest.h>

#include <string>

#include "console/terminal/frame_presenter.h"
#include "tests/terminal_expect.h"
#include "tests/test_frames.h"
#include "tests/vterm_screen.h"
#include "vantrel/seen_colour.h"

using namespace vantrel;

namespace {

// Wrong cells of an 80-column terminal of `rows` rows that shows the frame
// in half blocks: 25 rows, centred, or from the top on fewer rows; blank
// margins. Reports the first few.
int halfBlockMismatches(const EmulatedTerminal& term, const CellBuffer& frame, int rows, ColourMode mode) {
    const FrameLayout layout = placeFrame(cellColumns, 25, cellColumns, rows, 0, rows >= 25 ? (rows - 25) / 2 : 0);
    return layoutMismatches(term, layout, [&](const EmulatedCell& e, int column, int row) {
        const Rgb upper = seenColour(frame[static_cast<std::size_t>(2 * row * cellColumns + column)]);
        const Rgb lower = seenColour(frame[static_cast<std::size_t>((2 * row + 1) * cellColumns + column)]);
        return halfBlockProblem(e, upper, &lower, mode);
    });
}

int cellMismatches(const EmulatedTerminal& term, const CellBuffer& frame, ColourMode mode) {
    const FrameLayout layout = placeFrame(cellColumns, cellRows, cellColumns, cellRows, 0, 0);
    return layoutMismatches(term, layout, [&](const EmulatedCell& e, int column, int row) {
        return cellProblem(e, frame[static_cast<std::size_t>(row * cellColumns + column)], mode);
    });
}

TEST(FramePresenter, RecordedFlightInHalfBlocks) {
    const auto flight = recordedFlight();
    ASSERT_EQ(flight.size(), 32u);
    for (ColourMode mode : {ColourMode::ansi256, ColourMode::truecolor}) {
        for (int rows : {24, 25}) {
            SCOPED_TRACE("mode " + std::to_string(static_cast<int>(mode)) + ", 80x" + std::to_string(rows));
            FramePresenter presenter(mode, cellColumns, rows);
            ASSERT_TRUE(presenter.halfBlocks());
            EmulatedTerminal term(cellColumns, rows);
            for (std::size_t f = 0; f < flight.size(); ++f) {
                term.feed(presenter.present(flight[f].data()));
                ASSERT_EQ(halfBlockMismatches(term, flight[f], rows, mode), 0) << "frame " << f;
            }
        }
    }
}

TEST(FramePresenter, ResizingAcrossFiftyRowsSwitchesForm) {
    const auto flight = recordedFlight();
    ASSERT_EQ(flight.size(), 32u);
    const ColourMode mode = ColourMode::ansi256;
    FramePresenter presenter(mode, 80, 24);
    EmulatedTerminal term(80, 24);
    term.feed(presenter.present(flight[0].data()));
    ASSERT_EQ(halfBlockMismatches(term, flight[0], 24, mode), 0);

    presenter.resize(80, 50);
    term.resize(80, 50);
    EXPECT_FALSE(presenter.halfBlocks());
    term.feed(presenter.present(flight[1].data()));
    EXPECT_EQ(cellMismatches(term, flight[1], mode), 0);

    presenter.resize(80, 49);
    term.resize(80, 49);
    EXPECT_TRUE(presenter.halfBlocks());
    term.feed(presenter.present(flight[2].data()));
    EXPECT_EQ(halfBlockMismatches(term, flight[2], 49, mode), 0) << "25 rows centred in 49, blank margins";
    // One frame later, shrunk again: the top rows only.
    presenter.resize(80, 24);
    term.resize(80, 24);
    term.feed(presenter.present(flight[3].data()));
    EXPECT_EQ(halfBlockMismatches(term, flight[3], 24, mode), 0);
}

}  // namespace
