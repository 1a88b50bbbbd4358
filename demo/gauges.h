// What the frame shows besides the scene: the pulsing highlight colour of
// flagged mesh edges and the speed gauge in the top pixel row.
#pragma once

#include <cstdint>

namespace vantrel {

// highlightColour = (1, v, 0), v rising from 0 to 1 and back over 400 ms of
// the tick clock: red, yellow at mid-cycle, red again.
void pulseHighlight(std::uint32_t frameTick);

// One pixel per 0.05 of speed from the top-left corner rightwards, shading
// from yellow towards red; added on top of what is already there.
void drawSpeedBar(float cameraSpeed);

}  // namespace vantrel
