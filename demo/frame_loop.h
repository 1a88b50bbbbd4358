// The demo's spine: start-up, frames on a fixed 10 ms grid until Escape,
// shut-down.
#pragma once

#include <cstdint>

#include "demo/flight_state.h"
#include "vantrel/cell_renderer.h"

namespace vantrel {

inline constexpr std::uint32_t framePeriodMs = 10;

// Moves the deadline one step along the grid and busy-waits on GetTickCount
// until the tick passes it; returns that tick. Ticks are compared as a signed
// 32-bit difference, so the wait also ends across the clock's wrap at 2^32.
std::uint32_t waitForFrame(std::uint32_t& frameDeadline);

// The frame's work between input and presentation: update, clear, draw, and
// convert screenPixels into the console's cell frame with `renderer`.
void renderFrame(FlightState& state, std::uint32_t frameTick, const CellRenderer& renderer);

// One whole frame: wait, read the mouse, test Escape, then render and present.
// Returns false, having drawn and presented nothing, when Escape is pressed.
bool runFrame(FlightState& state, std::uint32_t& frameDeadline, const CellRenderer& renderer);

// Builds the renderers and the scene, runs frames until Escape, and destroys
// the renderers again. The console must be open (initConsole).
void runDemo();

}  // namespace vantrel
