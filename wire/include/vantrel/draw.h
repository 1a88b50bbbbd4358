// Additive, saturating drawing into 80-pixel-wide frames: one pixel, a
// clipped antialiased line, a soft point.
#pragma once

#include <cstdint>

#include "vantrel/screen_pixels.h"
#include "vantrel/transform.h"

namespace vantrel {

// A line's two end points in screen pixel units. Pixel (i, j) covers the
// square from (i, j) to (i + 1, j + 1).
struct ScreenLine {
    float x0;
    float y0;
    float x1;
    float y1;
};

// Adds the amounts to red, green and blue, each channel clamped to 0..255.
// The fourth byte is left alone.
void addColour(Pixel& pixel, std::int32_t red, std::int32_t green, std::int32_t blue);

// Antialiased line (two pixels across the line per column or row, end
// columns dimmed by their coverage) whose end points lie in the window
// [1, 79] x [1, 49]. A line and its reverse light identical pixels; no add
// ever lands outside the 80x50 grid. A line with an end outside the frame
// [0, 80] x [0, 50], or not finite, draws nothing.
void drawLine(const ScreenLine& line, Pixel* target, Vec3 colour);

// Clips the line to the window [1, 79] x [1, 49] in place and draws it into
// screenPixels. Lines with coordinates that are not finite draw nothing.
// The clipped end points are written back into `line`.
void clipAndDrawLine(ScreenLine& line, Vec3 colour);

// Projects a camera-space point and adds it as a soft 2x2 dot to screenPixels
// when it lands strictly inside (0, 79) x (0, 49).
void splatPoint(Vec3 point, Vec3 colour);

}  // namespace vantrel
