// The console the whole program draws on: an 80x50 text-mode screen buffer,
// made active, its window found and maximised, and the program-wide cell
// frame that is copied to it once per frame.
#pragma once

#include "console/win32.h"
#include "vantrel/cell.h"

namespace vantrel {

struct ConsoleScreen {
    HANDLE output;     // the screen buffer every console call goes to
    HWND window;       // the console window, used only to maximise it
    CellBuffer cells;  // the program-wide frame: the renderer fills it, presentCells reads it
};

// Program-wide, set once by initConsole.
extern ConsoleScreen consoleScreen;

// The title initConsole leaves on the window.
inline constexpr const char* consoleWindowTitle =
    "Vantrel console window - press alt-enter for fullscreen";

// Creates and activates the screen buffer, finds the window through a
// throw-away random title, sets the real title and maximises the window.
void initConsole();

// One SetConsoleTitleA call; its result is passed through.
BOOL setTitle(const char* title);

// Writes the whole cell frame to the screen buffer in one call, then hides
// the cursor again.
void presentCells();

}  // namespace vantrel
