// The Win32 surface over the terminal host, as far as it goes without a
// terminal (standard output is not one under the test runner): the screen
// buffer's writes and clipping, finding the window by its title, the cursor
// and its clip rectangle, the clock and its rest between milliseconds.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <thread>
#include <vector>

#include "console/posix/terminal_host.h"
#include "console/win32.h"

using namespace vantrel;

namespace {

Cell screenCell(int x, int y) { return TerminalHost::instance().cells()[y * cellColumns + x]; }

TEST(Win32Terminal, WriteCopiesTheClippedRegion) {
    const HANDLE screen = CreateConsoleScreenBuffer(GENERIC_WRITE, 0, nullptr, CONSOLE_TEXTMODE_BUFFER, nullptr);
    ASSERT_NE(screen, nullptr);
    ASSERT_TRUE(SetConsoleScreenBufferSize(screen, COORD{80, 50}));
    EXPECT_FALSE(SetConsoleScreenBufferSize(screen, COORD{81, 50}));
    EXPECT_FALSE(SetConsoleScreenBufferSize(nullptr, COORD{80, 50}));

    // A 10x4 source; its part from (2, 1) goes to the screen at (75, 48):
    // clipped by the screen to 5x2 cells.
    std::vector<CHAR_INFO> source(40);
    for (int i = 0; i < 40; ++i) {
        source[static_cast<std::size_t>(i)].Char.AsciiChar = static_cast<CHAR>(0x80 + i);
        source[static_cast<std::size_t>(i)].Attributes = static_cast<WORD>(0x1200 | i);  // high byte is not a colour
    }
    SMALL_RECT region{75, 48, 90, 60};
    ASSERT_TRUE(WriteConsoleOutputA(screen, source.data(), COORD{10, 4}, COORD{2, 1}, &region));
    EXPECT_EQ(region.Left, 75);
    EXPECT_EQ(region.Top, 48);
    EXPECT_EQ(region.Right, 79);
    EXPECT_EQ(region.Bottom, 49);
    EXPECT_EQ(screenCell(75, 48), makeCell(0x80 + 12, 12));
    EXPECT_EQ(screenCell(79, 49), makeCell(0x80 + 26, 26));

    // Clipped by the source instead: from (7, 2) only 3x2 cells remain.
    SMALL_RECT second{0, 0, 79, 49};
    ASSERT_TRUE(WriteConsoleOutputA(screen, source.data(), COORD{10, 4}, COORD{7, 2}, &second));
    EXPECT_EQ(second.Right, 2);
    EXPECT_EQ(second.Bottom, 1);
    EXPECT_EQ(screenCell(2, 1), makeCell(0x80 + 39, 39));
    EXPECT_EQ(screenCell(0, 0), makeCell(0x80 + 27, 27));
    EXPECT_EQ(screenCell(3, 1), 0) << "a cell outside the source was written";

    // The whole frame, as the program writes it.
    std::vector<CHAR_INFO> frame(cellCount);
    for (int i = 0; i < cellCount; ++i) {
        frame[static_cast<std::size_t>(i)].Char.AsciiChar = static_cast<CHAR>(219);
        frame[static_cast<std::size_t>(i)].Attributes = static_cast<WORD>(i & 0xFF);
    }
    SMALL_RECT all{0, 0, 79, 49};
    ASSERT_TRUE(WriteConsoleOutputA(screen, frame.data(), COORD{80, 50}, COORD{0, 0}, &all));
    EXPECT_EQ(screenCell(79, 49), makeCell(219, (cellCount - 1) & 0xFF));
    EXPECT_FALSE(WriteConsoleOutputA(screen, nullptr, COORD{80, 50}, COORD{0, 0}, &all));
}

TEST(Win32Terminal, WindowIsFoundByTheLastTitle) {
    EXPECT_EQ(FindWindowA(nullptr, "AbQr"), nullptr);
    ASSERT_TRUE(SetConsoleTitleA("AbQr"));
    const HWND window = FindWindowA(nullptr, "AbQr");
    EXPECT_NE(window, nullptr);
    EXPECT_EQ(FindWindowA("ConsoleWindowClass", "AbQr"), nullptr);
    EXPECT_EQ(FindWindowA(nullptr, "AbQ"), nullptr);
    ASSERT_TRUE(SetConsoleTitleA("Lines"));
    EXPECT_EQ(FindWindowA(nullptr, "AbQr"), nullptr);
    EXPECT_TRUE(ShowWindow(window, SW_SHOWMAXIMIZED));
    EXPECT_FALSE(ShowWindow(nullptr, SW_SHOWMAXIMIZED));
}

TEST(Win32Terminal, CursorClockAndKeysWithoutATerminal) {
    RECT clip{};
    ASSERT_TRUE(GetClipCursor(&clip));
    EXPECT_EQ(clip.left, 0);
    EXPECT_EQ(clip.top, 0);
    EXPECT_EQ(clip.right, 80) << "no terminal: the frame's size";
    EXPECT_EQ(clip.bottom, 50);
    POINT p{-1, -1};
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, 40) << "at the centre until the first mouse report";
    EXPECT_EQ(p.y, 25);
    for (int key : {VK_ESCAPE, VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, int{'A'}}) EXPECT_EQ(GetAsyncKeyState(key), 0);

    const DWORD t0 = GetTickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const DWORD t1 = GetTickCount();
    EXPECT_GE(static_cast<DWORD>(t1 - t0), 29u);
    EXPECT_LT(static_cast<DWORD>(t1 - t0), 1000u);
}

// Polled as the frame loop polls it, the clock rests: every reading a later
// millisecond than the one before, in step with the real time, and little
// of the processor used.
TEST(Win32Terminal, PolledClockRestsBetweenMilliseconds) {
    const DWORD first = GetTickCount();
    const auto wall = std::chrono::steady_clock::now();
    const std::clock_t processor = std::clock();
    DWORD last = first;
    for (int i = 0; i < 100; ++i) {
        const DWORD now = GetTickCount();
        ASSERT_GT(static_cast<std::int32_t>(now - last), 0) << "the same millisecond twice";
        last = now;
    }
    const double wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall).count();
    EXPECT_NEAR(static_cast<double>(last - first), wallMs, 2.0);
    EXPECT_LT(1000.0 * static_cast<double>(std::clock() - processor) / CLOCKS_PER_SEC, wallMs / 4) << "it spins";
}

}  // namespace
