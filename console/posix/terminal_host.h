// The console that the program draws on, kept for a POSIX terminal: the
// screen buffer's cells, the presenter that brings the terminal up to date
// with them, and the input read from the terminal when asked.
#pragma once

#include <cstdint>
#include <memory>

#include "console/posix/frame_presenter.h"
#include "console/posix/input_state.h"
#include "vantrel/cell.h"
#include "vantrel/terminal_events.h"

namespace vantrel {

class TerminalHost {
public:
    static TerminalHost& instance();

    // The screen buffer becomes the visible one: the terminal is taken over.
    // Ends the program (status 1, one line on stderr) if that fails.
    void activate();
    // The screen buffer holds at most 80x50 cells; false for other sizes.
    bool setScreenSize(int columns, int rows);
    int screenColumns() const { return bufferColumns; }
    int screenRows() const { return bufferRows; }
    void setAutowrap(bool on);
    void setCursorVisible(bool visible);

    // Titles arrive in the console code page (437) and go out as UTF-8.
    void setTitle(const char* title);
    bool titleIs(const char* title) const;

    // Cells of the screen buffer, 80 per row; present() shows them.
    Cell* cells() { return screen.data(); }
    void present();

    // Reads what the terminal sent without waiting, then answers from it;
    // ends the program (status 1, one line on stderr) when it is gone.
    void pollInput();
    std::uint16_t keyState(int virtualKey);
    // Mouse cell, the centre of the terminal until the first mouse report.
    void cursorPosition(int& column, int& row);
    void terminalSize(int& columns, int& rows);

private:
    TerminalHost();
    // Takes what the terminal sent: input, resizes, resumes, a hangup.
    void takeEvents();
    [[noreturn]] void terminalGone(int error);

    std::unique_ptr<FramePresenter> presenter;
    TerminalEvents events;
    InputState input;
    CellBuffer screen{};
    int bufferColumns = cellColumns;
    int bufferRows = cellRows;
    int columns = cellColumns;
    int rows = cellRows;
    char title[256] = {};
    bool polled = false;
    std::uint32_t lastPoll = 0;
};

// Milliseconds of a monotonic clock, wrapping at 2^32.
std::uint32_t monotonicMilliseconds();

}  // namespace vantrel
