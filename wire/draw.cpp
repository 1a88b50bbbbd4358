#include "vantrel/draw.h"

#include <cmath>

namespace vantrel {

namespace {

// The frame: the whole 80x50 screen, edges included, in pixel units.
constexpr float frameRight = static_cast<float>(screenWidth);
constexpr float frameBottom = static_cast<float>(screenHeight);
// The window lines are clipped to and points must lie in: one pixel in from
// every edge of the frame.
constexpr float windowLeft = 1;
constexpr float windowTop = 1;
constexpr float windowRight = static_cast<float>(screenWidth - 1);
constexpr float windowBottom = static_cast<float>(screenHeight - 1);

std::uint8_t saturatingAdd(std::uint8_t value, std::int32_t amount) {
    const std::int32_t sum = value + amount;
    if (sum > 255) return 255;
    if (sum < 0) return 0;
    return static_cast<std::uint8_t>(sum);
}

// Adds weight w of the colour to pixel (column, row) when it lies on the grid.
// Rounding can carry a line walk one step past the frame at a border; such a
// step carries no light and must not wrap into a neighbouring row.
void addWeighted(Pixel* target, int column, int row, float w, Vec3 colour) {
    if (column < 0 || column >= screenWidth || row < 0 || row >= screenHeight) return;
    addColour(target[row * screenWidth + column], static_cast<std::int32_t>(w * colour.x * 255.0f),
              static_cast<std::int32_t>(w * colour.y * 255.0f),
              static_cast<std::int32_t>(w * colour.z * 255.0f));
}

}  // namespace

void addColour(Pixel& pixel, std::int32_t red, std::int32_t green, std::int32_t blue) {
    pixel.red = saturatingAdd(pixel.red, red);
    pixel.green = saturatingAdd(pixel.green, green);
    pixel.blue = saturatingAdd(pixel.blue, blue);
}

void drawLine(const ScreenLine& line, Pixel* target, Vec3 colour) {
    // Infinite or NaN coordinates (a vertex projected from a depth near 0)
    // fail every clipping test and would reach the walk as garbage. A clipped
    // finite line always lies within the frame, give or take rounding.
    const bool inFrame = line.x0 >= 0 && line.x0 <= frameRight && line.x1 >= 0 && line.x1 <= frameRight &&
                         line.y0 >= 0 && line.y0 <= frameBottom && line.y1 >= 0 && line.y1 <= frameBottom;
    if (!inFrame) return;

    const float dx = line.x1 - line.x0;
    const float dy = line.y1 - line.y0;
    const bool xMajor = std::fabs(dy) < std::fabs(dx);

    // Walk from the end with the smaller major coordinate, so that a line and
    // its reverse light the same pixels.
    float as, bs, da, db;
    if (xMajor) {
        const bool reverse = dx < 0;
        as = reverse ? line.x1 : line.x0;
        bs = reverse ? line.y1 : line.y0;
        da = reverse ? -dx : dx;
        db = reverse ? -dy : dy;
    } else {
        const bool reverse = dy < 0;
        as = reverse ? line.y1 : line.y0;
        bs = reverse ? line.x1 : line.x0;
        da = reverse ? -dy : dy;
        db = reverse ? -dx : dx;
    }
    // Coinciding end points: nothing to draw (and no 0/0 gradient).
    if (!(da > 0)) return;

    const float ae = as + da;
    const int ma = static_cast<int>(as);
    const int me = static_cast<int>(ae);
    int n = static_cast<int>(bs);

    float cs = 1.0f - (as - static_cast<float>(ma));
    const float ce = ae - static_cast<float>(me);
    const float g = db / da;

    float f = (cs - 0.5f) * g + (bs - static_cast<float>(n)) - 0.5f;
    if (f < 0) {
        f = f + 1.0f;
        n = n - 1;
    }
    if (ma == me) cs = cs - (1.0f - ce);

    for (int m = ma; m <= me; ++m) {
        const float c = m == ma ? cs : (m == me ? ce : 1.0f);
        if (xMajor) {
            addWeighted(target, m, n, (1.0f - f) * c, colour);
            addWeighted(target, m, n + 1, c * f, colour);
        } else {
            addWeighted(target, n, m, (1.0f - f) * c, colour);
            addWeighted(target, n + 1, m, c * f, colour);
        }
        f = f + g;
        if (f > 1.0f) {
            f = f - 1.0f;
            ++n;
        } else if (f < 0.0f) {
            f = f + 1.0f;
            --n;
        }
    }
}

namespace {

// One clipping test: when end a lies beyond `bound` on the tested axis (below
// it or above it), the line is rejected if end b lies beyond it too;
// otherwise a moves along the line onto the boundary. The formula reads the
// coordinates as they were before this test's own assignments.
bool clipEnd(float& aAxis, float& aOther, float bAxis, float bOther, float bound, bool below) {
    const bool aOutside = below ? aAxis < bound : aAxis > bound;
    if (!aOutside) return true;
    const bool bOutside = below ? bAxis < bound : bAxis > bound;
    if (bOutside) return false;
    aOther = bOther + (bAxis - bound) / (bAxis - aAxis) * (aOther - bOther);
    aAxis = bound;
    return true;
}

}  // namespace

void clipAndDrawLine(ScreenLine& l, Vec3 colour) {
    // Eight tests in a fixed order, x before y: each end against the left,
    // right, top and bottom of the window [1, 79] x [1, 49]. Coordinates on
    // the boundary are inside.
    constexpr bool below = true;
    constexpr bool above = false;
    const bool kept =
        clipEnd(l.x0, l.y0, l.x1, l.y1, windowLeft, below) && clipEnd(l.x1, l.y1, l.x0, l.y0, windowLeft, below) &&
        clipEnd(l.x0, l.y0, l.x1, l.y1, windowRight, above) && clipEnd(l.x1, l.y1, l.x0, l.y0, windowRight, above) &&
        clipEnd(l.y0, l.x0, l.y1, l.x1, windowTop, below) && clipEnd(l.y1, l.x1, l.y0, l.x0, windowTop, below) &&
        clipEnd(l.y0, l.x0, l.y1, l.x1, windowBottom, above) && clipEnd(l.y1, l.x1, l.y0, l.x0, windowBottom, above);
    if (!kept) return;
    drawLine(l, screenPixels, colour);
}

void splatPoint(Vec3 point, Vec3 colour) {
    const Vec3 s = projectToScreen(point);
    if (!(s.x > 0 && s.y > 0 && s.x < windowRight && s.y < windowBottom)) return;
    const int ix = static_cast<int>(std::floor(s.x));
    const int iy = static_cast<int>(std::floor(s.y));
    const float fx = s.x - static_cast<float>(ix);
    const float corner = (1.0f - fx) * (1.0f - fx);
    const float side = fx * (1.0f - fx);
    const float far = fx * fx;
    const auto add = [&](int x, int y, float w) {
        const float a = 255.0f * w;
        addColour(screenPixels[y * screenWidth + x], static_cast<std::int32_t>(a * colour.x),
                  static_cast<std::int32_t>(a * colour.y), static_cast<std::int32_t>(a * colour.z));
    };
    add(ix, iy, corner);
    add(ix + 1, iy, side);
    add(ix, iy + 1, side);
    add(ix + 1, iy + 1, far);
}

}  // namespace vantrel
