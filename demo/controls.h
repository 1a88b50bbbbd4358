// Flying by mouse: the cursor's place in its clip rectangle rolls and pitches
// the camera, the buttons set its forward speed.
#pragma once

#include "vantrel/transform.h"

namespace vantrel {

// The cursor position as fractions of the cursor clip rectangle, 0 at its
// left or top edge, 0.5 at its centre. An axis along which the rectangle has
// no extent, or a failed query, reads 0.5: the attitude holds.
void readMouse(float& mouseX, float& mouseY);

// Left button +0.005, right button -0.005, middle button stops (speed 0);
// otherwise the speed is clamped to [0, 1]. All three are queried every frame.
void applySpeedButtons(float& cameraSpeed);

// Rolls about the camera's forward axis by (2 mouseX - 1) * 0.02, pitches
// about its X axis by (2 mouseY - 1) * 0.005, then moves it forward by
// cameraSpeed units a frame.
void steerCamera(Transform& camera, float mouseX, float mouseY, float cameraSpeed);

}  // namespace vantrel
