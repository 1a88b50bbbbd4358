#include "vantrel/transform.h"

#include <cmath>
#include <limits>

#include "vantrel/pixel.h"

namespace vantrel {

// Every sum is evaluated left to right as written, in single precision, so
// that all builds light the same pixels.

Vec3 transformPoint(Vec3 p, const Transform& t) {
    const float x = t.m[0] * p.x + t.m[3] * p.y + t.m[6] * p.z + t.tx;
    const float y = t.m[1] * p.x + t.m[4] * p.y + t.m[7] * p.z + t.ty;
    const float z = t.m[2] * p.x + t.m[5] * p.y + t.m[8] * p.z + t.tz;
    return {x, y, z};
}

Vec3 transformDirection(Vec3 d, const Transform& t) {
    const float x = t.m[0] * d.x + t.m[3] * d.y + t.m[6] * d.z;
    const float y = t.m[1] * d.x + t.m[4] * d.y + t.m[7] * d.z;
    const float z = t.m[2] * d.x + t.m[5] * d.y + t.m[8] * d.z;
    return {x, y, z};
}

Transform rotationX(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {{1, 0, 0, 0, c, s, 0, -s, c}, 0, 0, 0};
}

Transform rotationY(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {{c, 0, -s, 0, 1, 0, s, 0, c}, 0, 0, 0};
}

Transform rotationZ(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {{c, s, 0, -s, c, 0, 0, 0, 1}, 0, 0, 0};
}

Transform inverse(const Transform& t) {
    const float* m = t.m;
    Transform r;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) r.m[3 * i + j] = m[3 * j + i];
    }
    r.tx = -(m[0] * t.tx + m[1] * t.ty + m[2] * t.tz);
    r.ty = -(m[3] * t.tx + m[4] * t.ty + m[5] * t.tz);
    r.tz = -(m[6] * t.tx + m[7] * t.ty + m[8] * t.tz);
    return r;
}

Transform compose(const Transform& a, const Transform& b) {
    Transform r;
    for (int i = 0; i < 3; ++i) {
        const Vec3 row = transformDirection({a.m[3 * i], a.m[3 * i + 1], a.m[3 * i + 2]}, b);
        r.m[3 * i] = row.x;
        r.m[3 * i + 1] = row.y;
        r.m[3 * i + 2] = row.z;
    }
    const Vec3 origin = transformPoint({a.tx, a.ty, a.tz}, b);
    r.tx = origin.x;
    r.ty = origin.y;
    r.tz = origin.z;
    return r;
}

Transform composeInverse(const Transform& a, const Transform& b) { return compose(a, inverse(b)); }

Vec3 projectToScreen(Vec3 p) {
    if (p.z == 0.0f) {
        // The plain division would give infinities or NaN; a fixed position
        // far off the screen keeps every caller's range test simple.
        constexpr float off = -std::numeric_limits<float>::infinity();
        return {off, off, p.z};
    }
    const float r = 1.0f / p.z;
    constexpr float width = static_cast<float>(screenWidth);
    constexpr float height = static_cast<float>(screenHeight);
    const float sx = ((2.0f * (p.x * r)) + 1.0f) * 0.5f * width;
    const float sy = ((3.2f * (p.y * r)) + 1.0f) * 0.5f * height;
    return {sx, sy, p.z};
}

}  // namespace vantrel
