// The Win32 console, window, clock and input calls that the program makes,
// answered by the terminal host. One screen buffer exists; its handle and
// the window's are tokens that stand for the host.
#include "console/posix/resting_clock.h"
#include "console/posix/terminal_host.h"
#include "console/win32.h"
#include "console/write_region.h"

namespace vantrel {

namespace {

constexpr DWORD wrapAtEndOfLine = 0x0002;  // ENABLE_WRAP_AT_EOL_OUTPUT

char windowToken;
// The frame loop waits on a grid of 10 ms frames (100 a second).
RestingClock tickClock(10);

// The host, for every call but the clock's: the program is doing something
// other than waiting for the clock.
TerminalHost& host() {
    tickClock.programActed();
    return TerminalHost::instance();
}

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

// Copies the region's records (clipped by the rule of write_region.h) and
// shows the result; the region comes back as what was written.
BOOL WriteConsoleOutputA(HANDLE h, const CHAR_INFO* buffer, COORD bufferSize, COORD bufferCoord,
                         SMALL_RECT* region) {
    if (!isScreen(h) || buffer == nullptr || region == nullptr) return FALSE;
    const ClippedWrite clip =
        clipWrite(host().screenColumns(), host().screenRows(), bufferSize, bufferCoord, *region);
    const SMALL_RECT& w = clip.written;
    Cell* cells = host().cells();
    for (int y = w.Top; y <= w.Bottom; ++y) {
        const CHAR_INFO* source = buffer + (clip.sourceRow + y - w.Top) * bufferSize.X + clip.sourceColumn;
        for (int x = w.Left; x <= w.Right; ++x) {
            const CHAR_INFO& c = source[x - w.Left];
            cells[y * cellColumns + x] = makeCell(static_cast<std::uint8_t>(c.Char.AsciiChar),
                                                  static_cast<std::uint8_t>(c.Attributes & 0xFF));
        }
    }
    *region = w;
    host().present();
    return TRUE;
}

BOOL SetConsoleCursorInfo(HANDLE h, const CONSOLE_CURSOR_INFO* info) {
    if (!isScreen(h) || info == nullptr) return FALSE;
    host().setCursorVisible(info->bVisible != FALSE);
    return TRUE;
}

// The frame loop polls the clock until its deadline: the clock rests
// meanwhile.
DWORD GetTickCount(void) { return tickClock.tickCount(); }

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
