// Whole frames of a short scripted flight, run through lines-capture's own
// path (initConsole, then runDemo, on the headless host), compared cell by
// cell with golden frames that were checked by eye (see golden/README.md).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "console/console_screen.h"
#include "console/headless/headless_host.h"
#include "console/headless/input_script.h"
#include "demo/frame_loop.h"
#include "demo/random.h"
#include "tools/cell_frames.h"

using namespace vantrel;

namespace {

const std::string goldenDir = VANTREL_GOLDEN_DIR;

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool keepFrame(const CellBuffer& screen, void* context) {
    static_cast<std::vector<CellBuffer>*>(context)->push_back(screen);
    return true;
}

std::vector<CellBuffer> fly(std::uint32_t startTick, std::uint64_t frames, const std::vector<ScriptedInput>& inputs) {
    std::vector<CellBuffer> presented;
    presented.reserve(frames);
    HeadlessConfig config;
    config.startTick = startTick;
    config.frames = frames;
    config.inputs = inputs.data();
    config.inputCount = inputs.size();
    config.sink = keepFrame;
    config.sinkContext = &presented;
    startHeadlessHost(config);
    // Each run in this process starts from the generator's start state, as a
    // fresh lines-capture process does.
    randomState = initialRandomState;
    initConsole();
    runDemo();
    return presented;
}

// Cells in the little-endian layout of lines-capture --cells.
CellBuffer readGoldenFrame(const std::string& path) {
    const std::string bytes = readFile(path);
    EXPECT_EQ(bytes.size(), cellFrameBytes) << path;
    if (bytes.size() != cellFrameBytes) return CellBuffer{};
    return decodeCellFrame(reinterpret_cast<const std::uint8_t*>(bytes.data()));
}

::testing::AssertionResult sameFrame(const CellBuffer& actual, const CellBuffer& expected) {
    int differing = 0;
    std::ostringstream first;
    for (int k = 0; k < cellCount; ++k) {
        if (actual[k] == expected[k]) continue;
        if (differing++ < 5) {
            first << " (" << k % cellColumns << "," << k / cellColumns << "): 0x" << std::hex << actual[k]
                  << " instead of 0x" << expected[k] << std::dec;
        }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " cells differ, first at" << first.str();
}

TEST(FlightGolden, ScriptedFlightMatchesTheCheckedFrames) {
    std::vector<ScriptedInput> inputs;
    ASSERT_EQ(parseInputScript(readFile(goldenDir + "/flight.input"), inputs), "");
    ASSERT_FALSE(inputs.empty());
    const std::vector<CellBuffer> frames = fly(1000, 120, inputs);
    ASSERT_EQ(frames.size(), 120u);
    EXPECT_STREQ(headlessConsoleState().title, "Lines");
    EXPECT_TRUE(headlessConsoleState().windowMaximised);
    for (const int k : {30, 60, 90, 120}) {
        char name[64];
        std::snprintf(name, sizeof name, "/flight_frame_%03d.cells", k);
        EXPECT_TRUE(sameFrame(frames[k - 1], readGoldenFrame(goldenDir + name))) << "frame " << k;
    }
}

TEST(FlightGolden, ARunAcrossTheClockWrapKeepsToItsGrid) {
    // initConsole reads 4294967264, the start tick is 4294967265, and frame 3's
    // deadline is 4294967295: no 32-bit tick is greater, so only a wrap-safe
    // wait ends it, at tick 0. Frame k then begins at tick 10 (k - 3).
    const std::vector<ScriptedInput> inputs = {{1, 700, 400, true, false, false}};
    const std::vector<CellBuffer> wrapped = fly(4294967264u, 8, inputs);
    ASSERT_EQ(wrapped.size(), 8u);
    // The highlight pulse reads the tick, so compare with runs whose frame
    // ticks agree modulo its 400 ms cycle: before the wrap a run from 864,
    // after it a run from 768 (frame 3 at tick 800).
    const std::vector<CellBuffer> before = fly(864, 8, inputs);
    const std::vector<CellBuffer> after = fly(768, 8, inputs);
    for (int k = 0; k < 8; ++k) {
        EXPECT_TRUE(sameFrame(wrapped[k], k < 2 ? before[k] : after[k])) << "frame " << k + 1;
    }
}

}  // namespace
