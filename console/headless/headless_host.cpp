#include "console/headless/headless_host.h"

#include <cstring>

#include "console/win32.h"
#include "console/write_region.h"

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

// Copies the region's records into the 80x50 screen (clipped by the rule of
// write_region.h), reports the region actually written, then hands the whole
// screen to the sink.
BOOL WriteConsoleOutputA(HANDLE hConsoleOutput, const CHAR_INFO* lpBuffer, COORD dwBufferSize,
                         COORD dwBufferCoord, SMALL_RECT* lpWriteRegion) {
    if (!isScreen(hConsoleOutput) || lpBuffer == nullptr || lpWriteRegion == nullptr) return FALSE;
    const ClippedWrite clip = clipWrite(cellColumns, cellRows, dwBufferSize, dwBufferCoord, *lpWriteRegion);
    const SMALL_RECT& w = clip.written;
    for (int y = w.Top; y <= w.Bottom; ++y) {
        const CHAR_INFO* source = lpBuffer + (clip.sourceRow + y - w.Top) * dwBufferSize.X + clip.sourceColumn;
        for (int x = w.Left; x <= w.Right; ++x) {
            const CHAR_INFO& record = source[x - w.Left];
            host.screen[y * cellColumns + x] = makeCell(static_cast<std::uint8_t>(record.Char.AsciiChar),
                                                        static_cast<std::uint8_t>(record.Attributes));
        }
    }
    *lpWriteRegion = w;
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
