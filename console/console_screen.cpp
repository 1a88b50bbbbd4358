#include "console/console_screen.h"

#include <cstdlib>

namespace vantrel {

ConsoleScreen consoleScreen{};

namespace {

constexpr COORD screenSize{cellColumns, cellRows};
constexpr int probeTitleLength = 80;

}  // namespace

void initConsole() {
    consoleScreen.output =
        CreateConsoleScreenBuffer(GENERIC_WRITE, 0, nullptr, CONSOLE_TEXTMODE_BUFFER, nullptr);
    SetConsoleActiveScreenBuffer(consoleScreen.output);
    SetConsoleScreenBufferSize(consoleScreen.output, screenSize);
    // No processed output and no wrapping at the end of a line.
    SetConsoleMode(consoleScreen.output, 0);

    // The window is found by a title nobody else has: 80 letters drawn from
    // A, B, Q, R, a, b, q and r (65 plus rand() masked with 0x31).
    std::srand(GetTickCount());
    char probeTitle[probeTitleLength + 1];
    for (int i = 0; i < probeTitleLength; ++i) {
        probeTitle[i] = static_cast<char>(65 + static_cast<unsigned char>(std::rand() & 0x31));
    }
    probeTitle[probeTitleLength] = '\0';
    SetConsoleTitleA(probeTitle);
    consoleScreen.window = FindWindowA(nullptr, probeTitle);

    SetConsoleTitleA(consoleWindowTitle);
    ShowWindow(consoleScreen.window, SW_SHOWMAXIMIZED);
}

BOOL setTitle(const char* title) { return SetConsoleTitleA(title); }

void presentCells() {
    CHAR_INFO records[cellCount];
    for (int k = 0; k < cellCount; ++k) {
        const Cell cell = consoleScreen.cells[k];
        records[k].Char.UnicodeChar = 0;
        records[k].Char.AsciiChar = static_cast<CHAR>(cellCharacter(cell));
        records[k].Attributes = cellAttribute(cell);
    }
    SMALL_RECT region{0, 0, cellColumns - 1, cellRows - 1};
    WriteConsoleOutputA(consoleScreen.output, records, screenSize, COORD{0, 0}, &region);

    const CONSOLE_CURSOR_INFO hidden{1, FALSE};
    SetConsoleCursorInfo(consoleScreen.output, &hidden);
}

}  // namespace vantrel
