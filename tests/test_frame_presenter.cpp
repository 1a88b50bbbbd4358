// The host's two forms of the frame, read back through libvterm after every
// frame of the recorded flight: in half blocks at 80x24 (the top 24 of the
// 25 rows) and 80x25 (all 50 cell rows), in 256 colours and truecolor, each
// character the seen colours of its two cells; then across resizes past 50
// rows and back, each switch repainting in full.
#include <gtest/gtest.h>

#include <string>

#include "console/posix/frame_presenter.h"
#include "tests/terminal_expect.h"
#include "tests/test_frames.h"
#include "tests/vterm_screen.h"
#include "vantrel/seen_colour.h"

using namespace vantrel;

namespace {

// The frame on an 80-column terminal of `rows` rows: as cells from 50 rows
// on, else in half blocks, 25 rows centred or from the top; margins blank.
int frameMismatches(const EmulatedTerminal& term, const CellBuffer& frame, int rows, ColourMode mode) {
    const auto cell = [&](int column, int row) { return frame[static_cast<std::size_t>(row * cellColumns + column)]; };
    if (rows >= cellRows) {
        return layoutMismatches(term, placeFrame(80, 50, 80, rows, 0, (rows - 50) / 2),
                                [&](const EmulatedCell& e, int c, int r) { return cellProblem(e, cell(c, r), mode); });
    }
    return layoutMismatches(term, placeFrame(80, 25, 80, rows, 0, rows >= 25 ? (rows - 25) / 2 : 0),
                            [&](const EmulatedCell& e, int c, int r) {
                                const Rgb upper = seenColour(cell(c, 2 * r));
                                const Rgb lower = seenColour(cell(c, 2 * r + 1));
                                return halfBlockProblem(e, upper, &lower, mode);
                            });
}

TEST(FramePresenter, RecordedFlightInHalfBlocksAndAcrossResizes) {
    const auto flight = recordedFlight();
    ASSERT_EQ(flight.size(), 32u);
    for (ColourMode mode : {ColourMode::ansi256, ColourMode::truecolor}) {
        for (int rows : {24, 25}) {
            SCOPED_TRACE("mode " + std::to_string(static_cast<int>(mode)) + ", 80x" + std::to_string(rows));
            FramePresenter presenter(mode, cellColumns, rows);
            EmulatedTerminal term(cellColumns, rows);
            for (std::size_t f = 0; f < flight.size(); ++f) {
                term.feed(presenter.present(flight[f].data()));
                ASSERT_EQ(frameMismatches(term, flight[f], rows, mode), 0) << "frame " << f;
            }
        }
    }
    FramePresenter presenter(ColourMode::ansi256, 80, 24);
    EmulatedTerminal term(80, 24);
    std::size_t f = 0;
    for (int rows : {24, 50, 49, 51, 24}) {
        presenter.resize(80, rows);
        term.resize(80, rows);
        EXPECT_EQ(presenter.halfBlocks(), rows < 50);
        term.feed(presenter.present(flight[f].data()));
        EXPECT_EQ(frameMismatches(term, flight[f], rows, ColourMode::ansi256), 0) << rows << " rows";
        ++f;
    }
}

}  // namespace
