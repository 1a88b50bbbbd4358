// The Win32 surface that the console code and the demo call. On Windows it is
// the platform's own header; everywhere else these are our declarations of
// exactly the names, types and constants used, with the Win32 layouts, and
// one host library (console/posix, console/headless or a test fake)
// supplies the functions at link time.
#pragma once

#ifdef _WIN32

#include <windows.h>

#else

#include <cstdint>

using BOOL = int;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using SHORT = std::int16_t;
using LONG = std::int32_t;
using CHAR = char;
using WCHAR = char16_t;
using HANDLE = void*;
struct HWND__;
using HWND = HWND__*;
using LPVOID = void*;
using LPCSTR = const char*;

inline constexpr BOOL FALSE = 0;
inline constexpr BOOL TRUE = 1;

struct COORD {
    SHORT X;
    SHORT Y;
};

struct SMALL_RECT {
    SHORT Left;
    SHORT Top;
    SHORT Right;
    SHORT Bottom;
};

struct CHAR_INFO {
    union {
        WCHAR UnicodeChar;
        CHAR AsciiChar;
    } Char;
    WORD Attributes;
};

struct CONSOLE_CURSOR_INFO {
    DWORD dwSize;
    BOOL bVisible;
};

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

// Only ever passed as a null pointer.
struct SECURITY_ATTRIBUTES;

static_assert(sizeof(COORD) == 4 && sizeof(SMALL_RECT) == 8, "Win32 COORD and SMALL_RECT layouts");
static_assert(sizeof(CHAR_INFO) == 4, "a CHAR_INFO is a 16-bit character and a 16-bit attribute");
static_assert(sizeof(CONSOLE_CURSOR_INFO) == 8, "Win32 CONSOLE_CURSOR_INFO layout");
static_assert(sizeof(POINT) == 8 && sizeof(RECT) == 16, "Win32 POINT and RECT layouts");

inline constexpr DWORD GENERIC_WRITE = 0x40000000u;
inline constexpr DWORD CONSOLE_TEXTMODE_BUFFER = 1;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int VK_LBUTTON = 0x01;
inline constexpr int VK_RBUTTON = 0x02;
inline constexpr int VK_MBUTTON = 0x04;
inline constexpr int VK_ESCAPE = 0x1B;

extern "C" {

// kernel32: console
HANDLE CreateConsoleScreenBuffer(DWORD dwDesiredAccess, DWORD dwShareMode,
                                 const SECURITY_ATTRIBUTES* lpSecurityAttributes, DWORD dwFlags,
                                 LPVOID lpScreenBufferData);
BOOL SetConsoleActiveScreenBuffer(HANDLE hConsoleOutput);
BOOL SetConsoleScreenBufferSize(HANDLE hConsoleOutput, COORD dwSize);
BOOL SetConsoleMode(HANDLE hConsoleHandle, DWORD dwMode);
BOOL SetConsoleTitleA(LPCSTR lpConsoleTitle);
BOOL WriteConsoleOutputA(HANDLE hConsoleOutput, const CHAR_INFO* lpBuffer, COORD dwBufferSize,
                         COORD dwBufferCoord, SMALL_RECT* lpWriteRegion);
BOOL SetConsoleCursorInfo(HANDLE hConsoleOutput, const CONSOLE_CURSOR_INFO* lpConsoleCursorInfo);

// kernel32: the millisecond clock
DWORD GetTickCount(void);

// user32: window, keyboard and mouse
HWND FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName);
BOOL ShowWindow(HWND hWnd, int nCmdShow);
SHORT GetAsyncKeyState(int vKey);
BOOL GetCursorPos(POINT* lpPoint);
BOOL GetClipCursor(RECT* lpRect);

}  // extern "C"

#endif
