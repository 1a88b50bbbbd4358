// The Win32 console, window, clock and input calls that the program makes,
// answered by the terminal host. One screen buffer exists; its handle and
// the window's are tokens that stand for the host.
#include <algorithm>

#include "console/terminal/terminal_host.h"
#include "console/win32.h"

namespace vantrel {

namespace {

constexpr DWORD wrapAtEndOfLine = 0x0002;  // ENABLE_WRAP_AT_EOL_OUTPUT

char windowToken;

TerminalHost& host() { return TerminalHost::instance(); }

bool isScreen(HANDLE h) { return h == static_cast<HANDLE>(&host()); }

}  // namespace

}  // namespace vantrel

using namespace vantrel;

extern "C" {

HANDLE CreateConsoleScreenBuffer(DWORD, DWORD, const SECURITY_ATTRIBUTES*, DWORD, LPVOID) {
    return static_cast<HANDLE>(&host());
}

BOOL SetConsoleActiveScreenBuffer(HANDLE h) {
    if (!isScreen(h)) return FALSE;
    host().activate();
    return TRUE;
}

BOOL SetConsoleScreenBufferSize(HANDLE h, COORD size) {
    return isScreen(h) && host().setScreenSize(size.X, size.Y) ? TRUE : FALSE;
}

BOOL SetConsoleMode(HANDLE h, DWORD mode) {
    if (!isScreen(h)) return FALSE;
    host().setAutowrap((mode & wrapAtEndOfLine) != 0);
    return TRUE;
}

BOOL SetConsoleTitleA(LPCSTR title) {
    if (title == nullptr) return FALSE;
    host().setTitle(title);
    return TRUE;
}

// Copies the region (clipped to the screen buffer and to the source
// rectangle) and shows the result; the region comes back as what was written.
BOOL WriteConsoleOutputA(HANDLE h, const CHAR_INFO* buffer, COORD bufferSize, COORD bufferCoord,
                         SMALL_RECT* region) {
    if (!isScreen(h) || buffer == nullptr || region == nullptr) return FALSE;
    const int left = std::max<int>(region->Left, 0);
    const int top = std::max<int>(region->Top, 0);
    // The source rectangle runs from bufferCoord to the end of the buffer.
    const int sourceWidth = bufferSize.X - bufferCoord.X;
    const int sourceHeight = bufferSize.Y - bufferCoord.Y;
    const int right = std::min({static_cast<int>(region->Right), host().screenColumns() - 1,
                                region->Left + sourceWidth - 1});
    const int bottom = std::min({static_cast<int>(region->Bottom), host().screenRows() - 1,
                                 region->Top + sourceHeight - 1});
    if (bufferCoord.X < 0 || bufferCoord.Y < 0 || right < left || bottom < top) {
        region->Right = static_cast<SHORT>(region->Left - 1);
        region->Bottom = static_cast<SHORT>(region->Top - 1);
        return TRUE;
    }
    Cell* cells = host().cells();
    for (int y = top; y <= bottom; ++y) {
        const int sourceRow = bufferCoord.Y + (y - region->Top);
        for (int x = left; x <= right; ++x) {
            const CHAR_INFO& c = buffer[sourceRow * bufferSize.X + bufferCoord.X + (x - region->Left)];
            cells[y * cellColumns + x] = makeCell(static_cast<std::uint8_t>(c.Char.AsciiChar),
                                                  static_cast<std::uint8_t>(c.Attributes & 0xFF));
        }
    }
    *region = SMALL_RECT{static_cast<SHORT>(left), static_cast<SHORT>(top), static_cast<SHORT>(right),
                         static_cast<SHORT>(bottom)};
    host().present();
    return TRUE;
}

BOOL SetConsoleCursorInfo(HANDLE h, const CONSOLE_CURSOR_INFO* info) {
    if (!isScreen(h) || info == nullptr) return FALSE;
    host().setCursorVisible(info->bVisible != FALSE);
    return TRUE;
}

DWORD GetTickCount(void) { return monotonicMilliseconds(); }

// The terminal is the console window: it is found by the last title set.
HWND FindWindowA(LPCSTR className, LPCSTR windowName) {
    if (className != nullptr || windowName == nullptr || !host().titleIs(windowName)) return nullptr;
    return reinterpret_cast<HWND>(&windowToken);
}

// A terminal window is left as the user arranged it; the result says that
// the window was visible.
BOOL ShowWindow(HWND window, int) { return window != nullptr ? TRUE : FALSE; }

SHORT GetAsyncKeyState(int virtualKey) { return static_cast<SHORT>(host().keyState(virtualKey)); }

BOOL GetCursorPos(POINT* point) {
    if (point == nullptr) return FALSE;
    int column = 0;
    int row = 0;
    host().cursorPosition(column, row);
    *point = POINT{column, row};
    return TRUE;
}

// The cursor's range is the terminal, in cells.
BOOL GetClipCursor(RECT* rect) {
    if (rect == nullptr) return FALSE;
    int columns = 0;
    int rows = 0;
    host().terminalSize(columns, rows);
    *rect = RECT{0, 0, columns, rows};
    return TRUE;
}

}  // extern "C"
