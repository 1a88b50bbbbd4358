#include "console/headless/headless_host.h"

#include <algorithm>
#include <cstring>

#include "console/win32.h"

namespace vantrel {

namespace {

constexpr SHORT keyDown = static_cast<SHORT>(0x8000);
constexpr std::size_t titleCapacity = 256;

struct ScreenBuffer {};
struct Window {};
ScreenBuffer theScreenBuffer;
Window theWindow;

struct HostState {
    HeadlessConfig config;
    std::uint32_t nextTick = 1000;
    std::uint64_t escapeQueries = 0;
    bool stopped = false;  // the sink asked to end the run
    std::uint64_t cursorQueries = 0;
    std::size_t nextInput = 0;
    POINT cursor{500, 500};
    bool left = false;
    bool right = false;
    bool middle = false;
    bool created = false;
    bool active = false;
    bool maximised = false;
    char title[titleCapacity] = {};
    CellBuffer screen{};
    std::uint64_t framesPresented = 0;
};
HostState host;

HANDLE screenHandle() { return &theScreenBuffer; }
HWND windowHandle() { return reinterpret_cast<HWND>(&theWindow); }
bool isScreen(HANDLE handle) { return host.created && handle == screenHandle(); }

}  // namespace

void startHeadlessHost(const HeadlessConfig& config) {
    host = HostState{};
    host.config = config;
    host.nextTick = config.startTick;
}

HeadlessConsoleState headlessConsoleState() {
    return {host.title, host.active, host.maximised, host.framesPresented};
}

}  // namespace vantrel

using namespace vantrel;

extern "C" {

HANDLE CreateConsoleScreenBuffer(DWORD, DWORD, const SECURITY_ATTRIBUTES*, DWORD dwFlags, LPVOID) {
    if (dwFlags != CONSOLE_TEXTMODE_BUFFER) return nullptr;
    host.created = true;
    return screenHandle();
}

BOOL SetConsoleActiveScreenBuffer(HANDLE hConsoleOutput) {
    if (!isScreen(hConsoleOutput)) return FALSE;
    host.active = true;
    return TRUE;
}

BOOL SetConsoleScreenBufferSize(HANDLE hConsoleOutput, COORD dwSize) {
    return isScreen(hConsoleOutput) && dwSize.X == cellColumns && dwSize.Y == cellRows;
}

BOOL SetConsoleMode(HANDLE hConsoleHandle, DWORD) { return isScreen(hConsoleHandle); }

BOOL SetConsoleTitleA(LPCSTR lpConsoleTitle) {
    if (lpConsoleTitle == nullptr) return FALSE;
    std::strncpy(host.title, lpConsoleTitle, titleCapacity - 1);
    host.title[titleCapacity - 1] = '\0';
    return TRUE;
}

// Copies the region's records from the source block into the 80x50 screen,
// clipped to both, reports the region actually written, then hands the whole
// screen to the sink.
BOOL WriteConsoleOutputA(HANDLE hConsoleOutput, const CHAR_INFO* lpBuffer, COORD dwBufferSize,
                         COORD dwBufferCoord, SMALL_RECT* lpWriteRegion) {
    if (!isScreen(hConsoleOutput) || lpBuffer == nullptr || lpWriteRegion == nullptr) return FALSE;
    SMALL_RECT& region = *lpWriteRegion;
    // Screen cell (x, y) of the region takes the source record at
    // dwBufferCoord + (x - Left, y - Top).
    const int left = std::max({0, int{region.Left}, region.Left - dwBufferCoord.X});
    const int top = std::max({0, int{region.Top}, region.Top - dwBufferCoord.Y});
    const int right = std::min({cellColumns - 1, int{region.Right}, region.Left + dwBufferSize.X - 1 - dwBufferCoord.X});
    const int bottom = std::min({cellRows - 1, int{region.Bottom}, region.Top + dwBufferSize.Y - 1 - dwBufferCoord.Y});
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            const int sx = dwBufferCoord.X + x - region.Left;
            const int sy = dwBufferCoord.Y + y - region.Top;
            const CHAR_INFO& record = lpBuffer[sy * dwBufferSize.X + sx];
            host.screen[y * cellColumns + x] = makeCell(static_cast<std::uint8_t>(record.Char.AsciiChar),
                                                        static_cast<std::uint8_t>(record.Attributes));
        }
    }
    region = SMALL_RECT{static_cast<SHORT>(left), static_cast<SHORT>(top), static_cast<SHORT>(right),
                        static_cast<SHORT>(bottom)};
    ++host.framesPresented;
    if (host.config.sink != nullptr && !host.config.sink(host.screen, host.config.sinkContext)) host.stopped = true;
    return TRUE;
}

BOOL SetConsoleCursorInfo(HANDLE hConsoleOutput, const CONSOLE_CURSOR_INFO* lpConsoleCursorInfo) {
    return isScreen(hConsoleOutput) && lpConsoleCursorInfo != nullptr;
}

DWORD GetTickCount(void) { return host.nextTick++; }

HWND FindWindowA(LPCSTR, LPCSTR lpWindowName) {
    if (lpWindowName == nullptr || std::strcmp(lpWindowName, host.title) != 0) return nullptr;
    return windowHandle();
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
    if (hWnd != windowHandle()) return FALSE;
    host.maximised = nCmdShow == SW_SHOWMAXIMIZED;
    return TRUE;
}

SHORT GetAsyncKeyState(int vKey) {
    switch (vKey) {
        case VK_ESCAPE:
            return ++host.escapeQueries > host.config.frames || host.stopped ? keyDown : 0;
        case VK_LBUTTON:
            return host.left ? keyDown : 0;
        case VK_RBUTTON:
            return host.right ? keyDown : 0;
        case VK_MBUTTON:
            return host.middle ? keyDown : 0;
        default:
            return 0;
    }
}

BOOL GetCursorPos(POINT* lpPoint) {
    if (lpPoint == nullptr) return FALSE;
    ++host.cursorQueries;
    while (host.nextInput < host.config.inputCount &&
           host.config.inputs[host.nextInput].frame <= host.cursorQueries) {
        const ScriptedInput& input = host.config.inputs[host.nextInput++];
        host.cursor = POINT{input.x, input.y};
        host.left = input.left;
        host.right = input.right;
        host.middle = input.middle;
    }
    *lpPoint = host.cursor;
    return TRUE;
}

BOOL GetClipCursor(RECT* lpRect) {
    if (lpRect == nullptr) return FALSE;
    *lpRect = RECT{0, 0, headlessClipSize, headlessClipSize};
    return TRUE;
}

}  // extern "C"
