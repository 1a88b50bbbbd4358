// The Win32 surface implemented deterministically for lines-capture: a
// virtual millisecond clock, a scripted cursor and buttons, Escape after a
// fixed number of frames, and every presented frame handed to a sink.
//
// Clock: GetTickCount returns startTick on its first call and one more on
// each further call. Cursor: the clip rectangle is (0, 0, 1000, 1000); the
// cursor starts at (500, 500) with no button down; frame k runs from the
// k-th GetCursorPos call to the next, and the scripted entry with the
// largest frame not after k sets the cursor and buttons. Escape reads as
// pressed from the (frames + 1)-th Escape query on, or from the first query
// after the sink asked to stop.
#pragma once

#include <cstddef>
#include <cstdint>

#include "console/headless/input_script.h"
#include "vantrel/cell.h"

namespace vantrel {

// Called with the whole 80x50 screen after every WriteConsoleOutputA. Returns
// false to end the run early (say, when the frame could not be stored):
// Escape then reads as pressed from the next query on.
using HeadlessFrameSink = bool (*)(const CellBuffer& screen, void* context);

struct HeadlessConfig {
    std::uint32_t startTick = 1000;
    std::uint64_t frames = 1;
    const ScriptedInput* inputs = nullptr;  // sorted by frame; must outlive the run
    std::size_t inputCount = 0;
    HeadlessFrameSink sink = nullptr;
    void* sinkContext = nullptr;
};

inline constexpr std::int32_t headlessClipSize = 1000;

// Resets the host to its start state with this configuration.
void startHeadlessHost(const HeadlessConfig& config);

// What the program has done to the console so far.
struct HeadlessConsoleState {
    const char* title;         // the current window title
    bool bufferActive;         // the created screen buffer was made active
    bool windowMaximised;      // ShowWindow maximised the console window
    std::uint64_t framesPresented;
};
HeadlessConsoleState headlessConsoleState();

}  // namespace vantrel
