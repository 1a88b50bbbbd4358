#include "fake_host.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

using namespace vantrel;

FakeHost fakeHost;

namespace {

// A wait that has not ended after this many extra clock readings never will.
constexpr std::uint64_t runawayTicks = 50'000'000;

RecordedCall& record(Win32Call function) {
    static RecordedCall spare;
    if (fakeHost.callCount == fakeHost.calls.size()) {
        fakeHost.overflowed = true;
        spare = RecordedCall{};
        return spare;
    }
    RecordedCall& call = fakeHost.calls[fakeHost.callCount++];
    call = RecordedCall{};
    call.function = function;
    return call;
}

void copyText(char (&to)[128], const char* from) {
    std::strncpy(to, from == nullptr ? "<null>" : from, sizeof to - 1);
    to[sizeof to - 1] = '\0';
}

}  // namespace

void FakeHost::scriptTicks(std::initializer_list<DWORD> values) {
    tickCount = 0;
    tickIndex = 0;
    for (const DWORD v : values) ticks[tickCount++] = v;
}

std::size_t FakeHost::callsOf(Win32Call function, const RecordedCall** out, std::size_t room) const {
    std::size_t n = 0;
    for (std::size_t i = 0; i < callCount && n < room; ++i) {
        if (calls[i].function == function) out[n++] = &calls[i];
    }
    return n;
}

void resetFakeHost() {
    fakeHost.~FakeHost();
    new (&fakeHost) FakeHost();
}

extern "C" {

HANDLE CreateConsoleScreenBuffer(DWORD dwDesiredAccess, DWORD dwShareMode,
                                 const SECURITY_ATTRIBUTES* lpSecurityAttributes, DWORD dwFlags,
                                 LPVOID lpScreenBufferData) {
    RecordedCall& call = record(Win32Call::CreateConsoleScreenBuffer);
    call.value[0] = dwDesiredAccess;
    call.value[1] = dwShareMode;
    call.value[2] = dwFlags;
    call.pointer = lpSecurityAttributes;
    call.pointer2 = lpScreenBufferData;
    return fakeHost.screenHandle;
}

BOOL SetConsoleActiveScreenBuffer(HANDLE hConsoleOutput) {
    record(Win32Call::SetConsoleActiveScreenBuffer).handle = hConsoleOutput;
    return TRUE;
}

BOOL SetConsoleScreenBufferSize(HANDLE hConsoleOutput, COORD dwSize) {
    RecordedCall& call = record(Win32Call::SetConsoleScreenBufferSize);
    call.handle = hConsoleOutput;
    call.coord[0] = dwSize;
    return TRUE;
}

BOOL SetConsoleMode(HANDLE hConsoleHandle, DWORD dwMode) {
    RecordedCall& call = record(Win32Call::SetConsoleMode);
    call.handle = hConsoleHandle;
    call.value[0] = dwMode;
    return TRUE;
}

BOOL SetConsoleTitleA(LPCSTR lpConsoleTitle) {
    copyText(record(Win32Call::SetConsoleTitleA).text, lpConsoleTitle);
    copyText(fakeHost.title, lpConsoleTitle);
    return fakeHost.titleResult;
}

BOOL WriteConsoleOutputA(HANDLE hConsoleOutput, const CHAR_INFO* lpBuffer, COORD dwBufferSize,
                         COORD dwBufferCoord, SMALL_RECT* lpWriteRegion) {
    RecordedCall& call = record(Win32Call::WriteConsoleOutputA);
    call.handle = hConsoleOutput;
    call.coord[0] = dwBufferSize;
    call.coord[1] = dwBufferCoord;
    if (lpWriteRegion != nullptr) call.region = *lpWriteRegion;
    if (lpBuffer != nullptr) std::memcpy(fakeHost.written.data(), lpBuffer, sizeof fakeHost.written);
    ++fakeHost.writes;
    if (fakeHost.onWrite != nullptr) fakeHost.onWrite();
    return TRUE;
}

BOOL SetConsoleCursorInfo(HANDLE hConsoleOutput, const CONSOLE_CURSOR_INFO* lpConsoleCursorInfo) {
    RecordedCall& call = record(Win32Call::SetConsoleCursorInfo);
    call.handle = hConsoleOutput;
    if (lpConsoleCursorInfo != nullptr) call.cursor = *lpConsoleCursorInfo;
    return TRUE;
}

DWORD GetTickCount(void) {
    DWORD tick;
    if (fakeHost.tickIndex < fakeHost.tickCount) {
        tick = fakeHost.ticks[fakeHost.tickIndex++];
    } else {
        tick = fakeHost.lastTick + 1;
        if (++fakeHost.ticksAfterScript > runawayTicks) {
            std::fputs("fake host: the clock was read 50 million times past its script; a wait never ends\n",
                       stderr);
            std::abort();
        }
    }
    fakeHost.lastTick = tick;
    if (fakeHost.logTicks) record(Win32Call::GetTickCount).value[0] = tick;
    return tick;
}

HWND FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName) {
    RecordedCall& call = record(Win32Call::FindWindowA);
    call.pointer = lpClassName;
    copyText(call.text, lpWindowName);
    return fakeHost.window;
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
    RecordedCall& call = record(Win32Call::ShowWindow);
    call.handle = hWnd;
    call.value[0] = static_cast<std::uint32_t>(nCmdShow);
    return FALSE;
}

SHORT GetAsyncKeyState(int vKey) {
    record(Win32Call::GetAsyncKeyState).value[0] = static_cast<std::uint32_t>(vKey);
    switch (vKey) {
        case VK_ESCAPE:
            ++fakeHost.escapeQueries;
            return fakeHost.escapeAt != 0 && fakeHost.escapeQueries >= fakeHost.escapeAt ? fakeHost.escapeValue : 0;
        case VK_LBUTTON:
            return fakeHost.left;
        case VK_RBUTTON:
            return fakeHost.right;
        case VK_MBUTTON:
            return fakeHost.middle;
        default:
            return 0;
    }
}

BOOL GetCursorPos(POINT* lpPoint) {
    record(Win32Call::GetCursorPos);
    if (fakeHost.cursorResult && lpPoint != nullptr) *lpPoint = fakeHost.cursor;
    return fakeHost.cursorResult;
}

BOOL GetClipCursor(RECT* lpRect) {
    record(Win32Call::GetClipCursor);
    if (fakeHost.clipResult && lpRect != nullptr) *lpRect = fakeHost.clip;
    return fakeHost.clipResult;
}

}  // extern "C"
