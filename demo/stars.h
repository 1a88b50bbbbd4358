// The star field: 200 directions at infinity, drawn as soft points that only
// the camera's turning moves, replaced ahead of the camera when they leave.
#pragma once

#include <array>

#include "vantrel/transform.h"

namespace vantrel {

struct Star {
    float x;  // a world-space direction, not normalised
    float y;
    float z;
    float brightness;  // grey level 0..1
};

inline constexpr int starCount = 200;

// Program-wide; every pass runs from the first star to the last.
extern std::array<Star, starCount> starField;

// The start field: directions (2r-1, 2r-1, 1) with brightness (r+1)/2, three
// draws a star in the order x, y, brightness.
void seedStarField();

// Adds every star in front of the camera into screenPixels. A star lying
// more than 2.5 times as far right or down as ahead, or behind the camera, is
// replaced by a new one ahead of the camera and not drawn this frame.
void drawStars(const Transform& camera);

}  // namespace vantrel
