#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "console/console_screen.h"
#include "fake_host.h"

using namespace vantrel;

namespace {

std::string textOf(const RecordedCall& call) { return call.text; }

class ConsoleScreenTest : public ::testing::Test {
protected:
    void SetUp() override { resetFakeHost(); }
};

TEST_F(ConsoleScreenTest, InitConsoleMakesExactlyTheseCallsInThisOrder) {
    fakeHost.scriptTicks({123456});
    initConsole();

    const Win32Call expected[] = {
        Win32Call::CreateConsoleScreenBuffer, Win32Call::SetConsoleActiveScreenBuffer,
        Win32Call::SetConsoleScreenBufferSize, Win32Call::SetConsoleMode,
        Win32Call::GetTickCount, Win32Call::SetConsoleTitleA,
        Win32Call::FindWindowA, Win32Call::SetConsoleTitleA,
        Win32Call::ShowWindow,
    };
    ASSERT_EQ(fakeHost.callCount, std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(fakeHost.calls[i].function, expected[i]) << "call " << i;
    }
    const RecordedCall* c = fakeHost.calls.data();
    EXPECT_EQ(c[0].value[0], 0x40000000u);  // GENERIC_WRITE
    EXPECT_EQ(c[0].value[1], 0u);           // no sharing
    EXPECT_EQ(c[0].pointer, nullptr);       // no security attributes
    EXPECT_EQ(c[0].value[2], 1u);           // CONSOLE_TEXTMODE_BUFFER
    EXPECT_EQ(c[0].pointer2, nullptr);
    EXPECT_EQ(consoleScreen.output, fakeHost.screenHandle);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(c[i].handle, fakeHost.screenHandle) << "call " << i;
    EXPECT_EQ(c[2].coord[0].X, 80);
    EXPECT_EQ(c[2].coord[0].Y, 50);
    EXPECT_EQ(c[3].value[0], 0u);  // no processed output, no wrapping

    // The window is looked up by the probe title just set, with no class name.
    EXPECT_EQ(c[6].pointer, nullptr);
    EXPECT_EQ(textOf(c[6]), textOf(c[5]));
    EXPECT_EQ(consoleScreen.window, fakeHost.window);
    EXPECT_EQ(textOf(c[7]), "Vantrel console window - press alt-enter for fullscreen");
    EXPECT_EQ(c[8].handle, fakeHost.window);
    EXPECT_EQ(c[8].value[0], 3u);  // SW_SHOWMAXIMIZED
}

TEST_F(ConsoleScreenTest, ProbeTitleIsEightyLettersFromTheMaskAndFollowsTheTick) {
    auto probeFor = [](DWORD tick) {
        resetFakeHost();
        fakeHost.scriptTicks({tick});
        initConsole();
        return textOf(fakeHost.calls[5]);
    };
    const std::string first = probeFor(777);
    ASSERT_EQ(first.size(), 80u);
    bool sawUpper = false, sawLower = false;
    for (const char ch : first) {
        EXPECT_NE(std::strchr("ABQRabqr", ch), nullptr) << "unexpected '" << ch << "'";
        sawUpper |= ch < 'a';
        sawLower |= ch >= 'a';
    }
    EXPECT_TRUE(sawUpper && sawLower) << first;
    // Seeded from the tick: the same tick gives the same title, another tick another.
    EXPECT_EQ(probeFor(777), first);
    EXPECT_NE(probeFor(778), first);
}

TEST_F(ConsoleScreenTest, PresentCellsWritesTheWholeFrameThenHidesTheCursor) {
    initConsole();
    for (int k = 0; k < cellCount; ++k) {
        consoleScreen.cells[k] = makeCell(static_cast<std::uint8_t>(k * 7), static_cast<std::uint8_t>(k * 13));
    }
    consoleScreen.cells[0] = 0x1FDB;  // full block, white on blue
    consoleScreen.cells[cellCount - 1] = 0xFFB0;
    const std::size_t before = fakeHost.callCount;

    presentCells();
    presentCells();  // the cursor is hidden again on every frame

    ASSERT_EQ(fakeHost.callCount, before + 4);
    for (std::size_t i = before; i < before + 4; i += 2) {
        const RecordedCall& write = fakeHost.calls[i];
        ASSERT_EQ(write.function, Win32Call::WriteConsoleOutputA);
        EXPECT_EQ(write.handle, fakeHost.screenHandle);
        EXPECT_EQ(write.coord[0].X, 80);
        EXPECT_EQ(write.coord[0].Y, 50);
        EXPECT_EQ(write.coord[1].X, 0);
        EXPECT_EQ(write.coord[1].Y, 0);
        EXPECT_EQ(write.region.Left, 0);
        EXPECT_EQ(write.region.Top, 0);
        EXPECT_EQ(write.region.Right, 79);
        EXPECT_EQ(write.region.Bottom, 49);
        const RecordedCall& cursor = fakeHost.calls[i + 1];
        ASSERT_EQ(cursor.function, Win32Call::SetConsoleCursorInfo);
        EXPECT_EQ(cursor.handle, fakeHost.screenHandle);
        EXPECT_EQ(cursor.cursor.dwSize, 1u);
        EXPECT_EQ(cursor.cursor.bVisible, FALSE);
    }
    EXPECT_EQ(static_cast<unsigned char>(fakeHost.written[0].Char.AsciiChar), 219);
    EXPECT_EQ(fakeHost.written[0].Attributes, 0x1F);
    EXPECT_EQ(fakeHost.written[cellCount - 1].Attributes, 0xFF);  // zero-extended, never sign-extended
    for (int k = 0; k < cellCount; ++k) {
        ASSERT_EQ(static_cast<unsigned char>(fakeHost.written[k].Char.AsciiChar), consoleScreen.cells[k] & 0xFF)
            << "cell " << k;
        ASSERT_EQ(fakeHost.written[k].Attributes, consoleScreen.cells[k] >> 8) << "cell " << k;
    }
}

TEST_F(ConsoleScreenTest, SetTitleIsOneCallWhoseResultPassesThrough) {
    fakeHost.titleResult = 0;
    EXPECT_EQ(setTitle("Lines"), 0);
    fakeHost.titleResult = 42;
    EXPECT_EQ(setTitle("Lines"), 42);
    ASSERT_EQ(fakeHost.callCount, 2u);
    EXPECT_EQ(fakeHost.calls[1].function, Win32Call::SetConsoleTitleA);
    EXPECT_EQ(textOf(fakeHost.calls[1]), "Lines");
}

}  // namespace
