// Everything the demo's run owns and carries from frame to frame.
#pragma once

#include "demo/scene.h"
#include "vantrel/transform.h"

namespace vantrel {

struct FlightState {
    Transform camera;         // camera to world: rows are screen right, screen down, forward
    InstanceArray instances;  // the placed objects; the first instanceCount are used
    float cameraSpeed = 0.0f; // 0..1; at 1 the camera moves one unit a frame
    float mouseX = 0.5f;      // cursor fractions of the clip rectangle
    float mouseY = 0.5f;
};

}  // namespace vantrel
