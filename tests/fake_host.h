// A recording stand-in for the Win32 surface: every call is logged with its
// arguments in a fixed array (no allocation while frames run), and the clock,
// keys, cursor and results are scripted by the test.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "console/win32.h"
#include "vantrel/cell.h"

enum class Win32Call {
    CreateConsoleScreenBuffer,
    SetConsoleActiveScreenBuffer,
    SetConsoleScreenBufferSize,
    SetConsoleMode,
    SetConsoleTitleA,
    WriteConsoleOutputA,
    SetConsoleCursorInfo,
    GetTickCount,
    FindWindowA,
    ShowWindow,
    GetAsyncKeyState,
    GetCursorPos,
    GetClipCursor,
};

struct RecordedCall {
    Win32Call function;
    const void* handle;      // the HANDLE or HWND argument
    std::uint32_t value[4];  // numeric arguments in order (DWORDs, key, show command)
    const void* pointer;     // a pointer argument that must be null (security attributes, class name)
    const void* pointer2;    // a second one (screen buffer data)
    COORD coord[2];          // buffer size, buffer origin / buffer size
    SMALL_RECT region;       // write region as passed in
    CONSOLE_CURSOR_INFO cursor;
    char text[128];          // title or window name; "<null>" for a null pointer
};

struct FakeHost {
    // Log
    std::array<RecordedCall, 4096> calls;
    std::size_t callCount = 0;
    bool logTicks = true;  // GetTickCount calls go into the log too
    bool overflowed = false;

    // Clock: the scripted ticks in order, then one more on each further call.
    std::array<DWORD, 64> ticks{};
    std::size_t tickCount = 0;
    std::size_t tickIndex = 0;
    DWORD lastTick = 0;
    std::uint64_t ticksAfterScript = 0;

    // Keys: Escape returns escapeValue from query number escapeAt on (0: never).
    std::uint64_t escapeQueries = 0;
    std::uint64_t escapeAt = 0;
    SHORT escapeValue = static_cast<SHORT>(0x8000);
    SHORT left = 0;
    SHORT right = 0;
    SHORT middle = 0;

    // Cursor
    POINT cursor{500, 500};
    RECT clip{0, 0, 1000, 1000};
    BOOL cursorResult = TRUE;
    BOOL clipResult = TRUE;

    // Console
    HANDLE screenHandle = reinterpret_cast<HANDLE>(0x5C5C);
    HWND window = reinterpret_cast<HWND>(0x3D3D);
    BOOL titleResult = TRUE;
    char title[128] = {};
    std::array<CHAR_INFO, vantrel::cellCount> written{};
    std::uint64_t writes = 0;

    // Called after each WriteConsoleOutputA has been recorded.
    void (*onWrite)() = nullptr;

    void scriptTicks(std::initializer_list<DWORD> values);
    // The logged calls of one function, in order, copied into `out`; returns how many.
    std::size_t callsOf(Win32Call function, const RecordedCall** out, std::size_t room) const;
};

extern FakeHost fakeHost;

// Puts the fake back into its start state.
void resetFakeHost();
