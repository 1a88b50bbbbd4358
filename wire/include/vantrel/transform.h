// Three-float vectors, rigid transforms and the perspective projection onto
// the 80x50 screen.
#pragma once

namespace vantrel {

struct Vec3 {
    float x = 0;
    float y = 0;
    float z = 0;
};

// A 3x3 matrix and a translation, for row vectors: row i (m[3i..3i+2]) is
// where local axis i goes, (tx, ty, tz) where the local origin goes.
struct Transform {
    float m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    float tx = 0;
    float ty = 0;
    float tz = 0;
};

// The point moved by the matrix and the translation.
Vec3 transformPoint(Vec3 p, const Transform& t);
// The direction turned by the matrix only.
Vec3 transformDirection(Vec3 d, const Transform& t);

Transform rotationX(float angle);
Transform rotationY(float angle);
Transform rotationZ(float angle);

// Inverse of a rigid transform (orthonormal rows): transpose and turned,
// negated translation.
Transform inverse(const Transform& t);
// The transform that applies a first, then b.
Transform compose(const Transform& a, const Transform& b);
// compose(a, inverse(b)): with a an object's pose and b the camera's, object
// space to camera space.
Transform composeInverse(const Transform& a, const Transform& b);

// Camera space (x right, y down, z away from the viewer) to screen pixels:
// (40 + 80 x/z, 25 + 80 y/z, z). At z == 0 the screen position is -infinity
// on both axes, off every screen range, and z stays 0.
Vec3 projectToScreen(Vec3 p);

}  // namespace vantrel
