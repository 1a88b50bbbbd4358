#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "vantrel/transform.h"

using namespace vantrel;

namespace {

constexpr float halfPi = std::numbers::pi_v<float> / 2;

void expectNear(Vec3 a, Vec3 b, float tolerance = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

void expectNear(const Transform& a, const Transform& b, float tolerance = 1e-5f) {
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(a.m[i], b.m[i], tolerance) << "m" << i;
    EXPECT_NEAR(a.tx, b.tx, tolerance * 100);
    EXPECT_NEAR(a.ty, b.ty, tolerance * 100);
    EXPECT_NEAR(a.tz, b.tz, tolerance * 100);
}

Transform randomRigid(std::mt19937& rng) {
    std::uniform_real_distribution<float> angle(-3.2f, 3.2f);
    std::uniform_real_distribution<float> offset(-100.0f, 100.0f);
    Transform t = compose(compose(rotationX(angle(rng)), rotationY(angle(rng))), rotationZ(angle(rng)));
    t.tx = offset(rng);
    t.ty = offset(rng);
    t.tz = offset(rng);
    return t;
}

TEST(Transform, PointsAndDirections) {
    Transform t = rotationZ(0.7f);
    t.tx = 3;
    t.ty = -4;
    t.tz = 5;
    expectNear(transformPoint({0, 0, 0}, t), {3, -4, 5}, 0);
    expectNear(transformDirection({0, 0, 0}, t), {0, 0, 0}, 0);
    // A direction ignores the translation: it is the point minus the origin.
    const Vec3 p = transformPoint({1, 2, 3}, t);
    expectNear(transformDirection({1, 2, 3}, t), {p.x - 3, p.y + 4, p.z - 5});
    // Row i is where axis i goes.
    const Transform s{{1, 2, 3, 4, 5, 6, 7, 8, 9}, 10, 20, 30};
    expectNear(transformPoint({1, 0, 0}, s), {11, 22, 33}, 0);
    expectNear(transformPoint({0, 1, 0}, s), {14, 25, 36}, 0);
    expectNear(transformDirection({0, 0, 1}, s), {7, 8, 9}, 0);
}

TEST(Transform, QuarterTurnsFollowTheAxisOrder) {
    expectNear(transformPoint({0, 1, 0}, rotationX(halfPi)), {0, 0, 1});
    expectNear(transformPoint({0, 0, 1}, rotationY(halfPi)), {1, 0, 0});
    expectNear(transformPoint({1, 0, 0}, rotationZ(halfPi)), {0, 1, 0});
    expectNear(rotationX(0), Transform{}, 0);
}

TEST(Transform, ComposeAppliesItsFirstArgumentFirst) {
    std::mt19937 rng(3);
    for (int i = 0; i < 100; ++i) {
        const Transform a = randomRigid(rng);
        const Transform b = randomRigid(rng);
        const Vec3 p{static_cast<float>(i) - 50, 2.5f, -7};
        expectNear(transformPoint(p, compose(a, b)), transformPoint(transformPoint(p, a), b), 1e-3f);
        expectNear(transformPoint(transformPoint(p, a), inverse(a)), p, 1e-3f);
        expectNear(compose(a, inverse(a)), Transform{}, 1e-5f);
        expectNear(composeInverse(a, b), compose(a, inverse(b)), 0);
    }
    expectNear(compose(rotationX(0.3f), rotationX(0.5f)), rotationX(0.8f));
    // Not commutative: X then Z differs from Z then X.
    const Vec3 viaXZ = transformPoint({0, 1, 0}, compose(rotationX(halfPi), rotationZ(halfPi)));
    const Vec3 viaZX = transformPoint({0, 1, 0}, compose(rotationZ(halfPi), rotationX(halfPi)));
    expectNear(viaXZ, {0, 0, 1});
    expectNear(viaZX, {-1, 0, 0});
}

TEST(Projection, ExactScreenPositions) {
    for (float z : {0.001f, 1.0f, 7.0f, 1e6f}) {
        const Vec3 s = projectToScreen({0, 0, z});
        EXPECT_EQ(s.x, 40.0f);
        EXPECT_EQ(s.y, 25.0f);
        EXPECT_EQ(s.z, z);
    }
    const Vec3 s = projectToScreen({0.0078125f, 0, 1});
    EXPECT_EQ(s.x, 40.625f);
    EXPECT_EQ(s.y, 25.0f);
    EXPECT_EQ(projectToScreen({0.5f * 8, 0, 8}).x, 80.0f);
    EXPECT_EQ(projectToScreen({0, 0.3125f * 8, 8}).y, 50.0f);
    // Behind the viewer: mirrored position, negative depth kept.
    const Vec3 behind = projectToScreen({1, 1, -2});
    EXPECT_EQ(behind.x, 0.0f);
    EXPECT_FLOAT_EQ(behind.y, -15.0f);
    EXPECT_EQ(behind.z, -2.0f);
}

TEST(Projection, DepthZeroLandsOffEveryScreenRange) {
    for (const Vec3 p : {Vec3{0, 0, 0}, Vec3{1, -1, 0}, Vec3{-3, 2, -0.0f}}) {
        const Vec3 s = projectToScreen(p);
        EXPECT_EQ(s.z, 0.0f);
        EXPECT_FALSE(s.x >= 0 && s.x <= 80) << s.x;
        EXPECT_FALSE(s.y >= 0 && s.y <= 50) << s.y;
    }
}

}  // namespace
