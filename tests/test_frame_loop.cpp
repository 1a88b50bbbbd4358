#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "console/console_screen.h"
#include "demo/frame_loop.h"
#include "demo/random.h"
#include "fake_host.h"
#include "vantrel/screen_pixels.h"

using namespace vantrel;

namespace {

class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetFakeHost();
        randomState = initialRandomState;
    }
    // GetTickCount calls made by one wait.
    static std::size_t ticksRead(std::size_t before) { return fakeHost.callCount - before; }
};

TEST_F(FrameLoopTest, TheFirstTickPastTheDeadlineEndsTheWait) {
    std::uint32_t deadline = 1000;
    fakeHost.scriptTicks({1003, 1009, 1010, 1010, 1011, 1012});
    EXPECT_EQ(waitForFrame(deadline), 1011u);  // equal to the deadline is not past it
    EXPECT_EQ(deadline, 1010u);
    EXPECT_EQ(fakeHost.callCount, 5u);
}

TEST_F(FrameLoopTest, AfterAStallFramesCatchUpWithoutWaitingOnTheSameGrid) {
    std::uint32_t deadline = 1000;
    fakeHost.scriptTicks({1011, 1064});  // the second frame starts 54 ms late
    EXPECT_EQ(waitForFrame(deadline), 1011u);
    EXPECT_EQ(waitForFrame(deadline), 1064u);
    // The grid holds: deadlines 1030, 1040, 1050 and 1060 are already past,
    // so those frames start at once; 1070 has to be waited for again.
    std::vector<std::size_t> reads;
    for (int frame = 0; frame < 5; ++frame) {
        const std::size_t before = fakeHost.callCount;
        waitForFrame(deadline);
        reads.push_back(ticksRead(before));
    }
    EXPECT_EQ(reads, (std::vector<std::size_t>{1, 1, 1, 1, 3}));  // 1069, 1070, 1071
    EXPECT_EQ(deadline, 1070u);
    EXPECT_EQ(fakeHost.lastTick, 1071u);
}

TEST_F(FrameLoopTest, TheWaitEndsAcrossTheClockWrap) {
    // A deadline at the very top of the range: no 32-bit tick is greater.
    std::uint32_t deadline = 0xFFFFFFF5u;
    fakeHost.scriptTicks({0xFFFFFFFEu, 0xFFFFFFFFu, 0u});
    EXPECT_EQ(waitForFrame(deadline), 0u);
    EXPECT_EQ(deadline, 0xFFFFFFFFu);
    // A deadline just past the wrap: ticks still below the wrap are early.
    deadline = 0xFFFFFFFAu;
    fakeHost.scriptTicks({0xFFFFFFFEu, 3u, 4u, 5u});
    EXPECT_EQ(waitForFrame(deadline), 5u);
    EXPECT_EQ(deadline, 4u);
    // The grid carries on past the wrap.
    EXPECT_EQ(waitForFrame(deadline), 15u);
}

// A run of runDemo against the fake: Escape at the given query.
void runUntilEscapeQuery(std::uint64_t query, SHORT value) {
    fakeHost.logTicks = false;
    fakeHost.escapeAt = query;
    fakeHost.escapeValue = value;
    fakeHost.scriptTicks({5000});
    initConsole();
    runDemo();
}

std::array<Pixel, screenPixelCount> pixelsAtLastWrite;
void keepPixels() { std::memcpy(pixelsAtLastWrite.data(), screenPixels, sizeof pixelsAtLastWrite); }

TEST_F(FrameLoopTest, EachFrameReadsInputTestsEscapeUpdatesAndPresentsInOrder) {
    fakeHost.onWrite = keepPixels;
    runUntilEscapeQuery(3, static_cast<SHORT>(0x8000));
    EXPECT_FALSE(fakeHost.overflowed);
    EXPECT_EQ(fakeHost.writes, 2u);

    // After initConsole: the demo's title, then two frames and the Escape frame.
    std::size_t i = 0;
    while (fakeHost.calls[i].function != Win32Call::ShowWindow) ++i;
    ++i;
    ASSERT_EQ(fakeHost.calls[i].function, Win32Call::SetConsoleTitleA);
    EXPECT_STREQ(fakeHost.calls[i].text, "Lines");
    ++i;
    struct Step {
        Win32Call function;
        std::uint32_t key;
    };
    const Step frame[] = {
        {Win32Call::GetCursorPos, 0},     {Win32Call::GetClipCursor, 0},
        {Win32Call::GetAsyncKeyState, 27}, {Win32Call::GetAsyncKeyState, 1},
        {Win32Call::GetAsyncKeyState, 2}, {Win32Call::GetAsyncKeyState, 4},
        {Win32Call::WriteConsoleOutputA, 0}, {Win32Call::SetConsoleCursorInfo, 0},
    };
    for (int f = 0; f < 2; ++f) {
        for (const Step& step : frame) {
            ASSERT_LT(i, fakeHost.callCount);
            EXPECT_EQ(fakeHost.calls[i].function, step.function) << "frame " << f << ", call " << i;
            if (step.function == Win32Call::GetAsyncKeyState) {
                EXPECT_EQ(fakeHost.calls[i].value[0], step.key);
            }
            ++i;
        }
    }
    // The Escape frame reads the mouse and Escape, and does nothing else.
    ASSERT_EQ(fakeHost.callCount, i + 3);
    EXPECT_EQ(fakeHost.calls[i].function, Win32Call::GetCursorPos);
    EXPECT_EQ(fakeHost.calls[i + 2].function, Win32Call::GetAsyncKeyState);
    EXPECT_EQ(fakeHost.calls[i + 2].value[0], 27u);
    // Nothing was cleared or drawn after the last presented frame.
    EXPECT_EQ(std::memcmp(pixelsAtLastWrite.data(), screenPixels, sizeof pixelsAtLastWrite), 0);
}

TEST_F(FrameLoopTest, EscapePressedSinceTheLastQueryCountsToo) {
    runUntilEscapeQuery(1, 0x0001);  // low bit only: no longer down, but was pressed
    EXPECT_EQ(fakeHost.writes, 0u);
}

TEST_F(FrameLoopTest, FramesKeepTheTenMillisecondGridFromTheStartTick) {
    // The clock reads 5000 in initConsole, then one more on each further call:
    // the start tick is 5001 and frame k begins at the first tick past 5001 + 10k.
    fakeHost.logTicks = true;
    fakeHost.escapeAt = 4;
    fakeHost.scriptTicks({5000});
    initConsole();
    runDemo();
    std::vector<std::uint32_t> frameTicks;
    for (std::size_t i = 1; i < fakeHost.callCount; ++i) {
        if (fakeHost.calls[i].function == Win32Call::GetCursorPos) {
            frameTicks.push_back(fakeHost.calls[i - 1].value[0]);
        }
    }
    EXPECT_EQ(frameTicks, (std::vector<std::uint32_t>{5012, 5022, 5032, 5042}));
}

}  // namespace
