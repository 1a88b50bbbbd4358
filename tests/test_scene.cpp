#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "demo/random.h"
#include "demo/scene.h"
#include "demo/stars.h"
#include "fake_host.h"
#include "vantrel/screen_pixels.h"
#include "vantrel/builtin_meshes.h"

using namespace vantrel;

namespace {

void clearScreen() { std::memset(static_cast<void*>(screenPixels), 0, sizeof(Pixel) * screenPixelCount); }

bool screenIsBlack() {
    return std::all_of(screenPixels, screenPixels + screenPixelCount,
                       [](const Pixel& p) { return pixelWord(p) == 0; });
}

void expectTransformNear(const Transform& actual, const Transform& expected, float tolerance) {
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(actual.m[i], expected.m[i], tolerance) << "m" << i;
    EXPECT_NEAR(actual.tx, expected.tx, tolerance);
    EXPECT_NEAR(actual.ty, expected.ty, tolerance);
    EXPECT_NEAR(actual.tz, expected.tz, tolerance);
}

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetFakeHost();
        randomState = initialRandomState;
        clearScreen();
    }
    Transform camera;
    InstanceArray instances{};
};

TEST_F(SceneTest, GeneratorStartsWithTheKnownValues) {
    EXPECT_EQ(nextRandom(), 10869251u);
    EXPECT_EQ(nextRandom(), 187690128u);
    EXPECT_EQ(nextRandom(), 3168248320u);
    randomState = initialRandomState;
    EXPECT_EQ(randomUnit(), 165.0f / 65536);
    EXPECT_EQ(randomUnit(), 2863.0f / 65536);
    EXPECT_EQ(randomUnit(), 48343.0f / 65536);
}

TEST_F(SceneTest, SetupPlacesTheFirstStarAndTheKnownInstances) {
    setupScene(camera, instances);

    const Star& first = starField[0];
    EXPECT_EQ(first.x, -0.994964599609375f);
    EXPECT_EQ(first.y, -0.912628173828125f);
    EXPECT_EQ(first.z, 1.0f);
    EXPECT_EQ(first.brightness, 0.86882781982421875f);

    expectTransformNear(camera, rotationX(0), 0);

    const MeshInstance& dart0 = instances[0];
    EXPECT_EQ(dart0.mesh, &dartMesh);
    EXPECT_EQ(dart0.pose.tx, 27.48291015625f);
    EXPECT_EQ(dart0.pose.ty, -13.02978515625f);
    EXPECT_EQ(dart0.pose.tz, 18.07373046875f);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(dart0.pose.m[i], rotationX(0).m[i]);
    EXPECT_EQ(dart0.speed, 5.0f);
    EXPECT_EQ(instances[1].pose.tx, -32.88818359375f);
    EXPECT_EQ(instances[1].pose.ty, 0.277099609375f);
    EXPECT_EQ(instances[1].pose.tz, 4.091796875f);

    const MeshInstance& cubo = instances[100];
    EXPECT_EQ(cubo.mesh, &cuboctahedronMesh);
    Transform expected = compose(compose(rotationX(-0.652587890625f), rotationY(0.936126708984375f)),
                                 rotationZ(-0.0877685546875f));
    expected.tx = 1032.04345703125f;
    expected.ty = 1521.6064453125f;
    expected.tz = 1818.05419921875f;
    expectTransformNear(cubo.pose, expected, 0);
    expectTransformNear(cubo.spin, rotationZ(0.005f), 0);
    EXPECT_EQ(cubo.speed, 0.0f);
    EXPECT_EQ(instances[119].mesh, &cuboctahedronMesh);
    EXPECT_EQ(instances[99].mesh, &dartMesh);

    // Both meshes were prepared, the dart first.
    EXPECT_NEAR(dartMesh.radius, 4.2426405f, 1e-6f);
    EXPECT_NEAR(cuboctahedronMesh.radius, 141.42136f, 1e-4f);

    // 600 draws for the stars and six for each of the 120 placements: none
    // needed a second try, and nothing else drew.
    const std::uint32_t after = randomState;
    randomState = initialRandomState;
    for (int i = 0; i < 600 + 120 * 6; ++i) nextRandom();
    EXPECT_EQ(after, randomState);
}

TEST_F(SceneTest, ObjectsSpinThenCruiseAlongTheirNewHeading) {
    setupScene(camera, instances);
    const InstanceArray start = instances;
    const int frames = 40;
    updateInstances(instances);
    // A dart turns by its spin about its own axes, then moves 0.05 along its new +Z.
    const Transform turned = compose(start[0].spin, start[0].pose);
    EXPECT_FLOAT_EQ(instances[0].pose.tx, start[0].pose.tx + turned.m[6] * 0.05f);
    EXPECT_FLOAT_EQ(instances[0].pose.ty, start[0].pose.ty + turned.m[7] * 0.05f);
    EXPECT_FLOAT_EQ(instances[0].pose.tz, start[0].pose.tz + turned.m[8] * 0.05f);
    for (int f = 1; f < frames; ++f) updateInstances(instances);

    // A cuboctahedron stays put and turns 0.005 a frame about its own Z axis.
    for (int i = 100; i < instanceCount; ++i) {
        Transform expected = compose(rotationZ(0.005f * frames), start[i].pose);
        EXPECT_EQ(instances[i].pose.tx, start[i].pose.tx);
        EXPECT_EQ(instances[i].pose.ty, start[i].pose.ty);
        EXPECT_EQ(instances[i].pose.tz, start[i].pose.tz);
        expectTransformNear(instances[i].pose, expected, 1e-4f);
    }
}

TEST_F(SceneTest, StarsOffToTheRightOrBehindAreReplacedAheadAndNotDrawn) {
    // A turned camera: stars are judged, and replaced, in its frame.
    camera = compose(rotationY(0.3f), rotationX(0.2f));
    auto inView = [&](float x, float y, float z) {
        const Vec3 d = transformDirection(Vec3{x, y, z}, camera);
        return Star{d.x, d.y, d.z, 1.0f};
    };
    // Far left stays (undrawn, off the screen); far right, far down and behind go.
    for (Star& star : starField) star = inView(-10, 0, 1);
    starField[5] = inView(10, 0, 1);
    starField[9] = inView(0, 10, 1);
    starField[17] = inView(0, 0, -1);
    const Star stays = starField[0];

    drawStars(camera);
    const std::uint32_t afterDraw = randomState;

    EXPECT_TRUE(screenIsBlack());
    const Transform view = inverse(camera);
    for (int i = 0; i < starCount; ++i) {
        const Star& star = starField[i];
        const Vec3 v = transformDirection(Vec3{star.x, star.y, star.z}, view);
        if (i == 5 || i == 9 || i == 17) {
            // (u, w, 2) in the camera's frame with u and w in [-1, 1), brightness in [0.2, 1).
            EXPECT_NEAR(v.z, 2.0f, 1e-5f) << i;
            EXPECT_LT(std::abs(v.x), 1.0f) << i;
            EXPECT_LT(std::abs(v.y), 1.0f) << i;
            EXPECT_GE(star.brightness, 0.2f);
            EXPECT_LT(star.brightness, 1.0f);
        } else {
            EXPECT_EQ(star.x, stays.x) << i;
        }
    }
    // Three draws per replaced star, in the order u, w, brightness.
    randomState = initialRandomState;
    const float u = 2.0f * randomUnit() - 1.0f;
    const float w = 2.0f * randomUnit() - 1.0f;
    const float b = 0.8f * randomUnit() + 0.2f;
    const Vec3 expected = transformDirection(Vec3{u, w, 2.0f}, camera);
    EXPECT_EQ(starField[5].x, expected.x);
    EXPECT_EQ(starField[5].y, expected.y);
    EXPECT_EQ(starField[5].z, expected.z);
    EXPECT_EQ(starField[5].brightness, b);
    for (int i = 0; i < 6; ++i) nextRandom();
    EXPECT_EQ(afterDraw, randomState);
}

TEST_F(SceneTest, StarsAheadAreDrawnAndStarsSideOnToTheLeftStay) {
    for (Star& star : starField) star = Star{-10, 0, 1, 1};
    starField[0] = Star{0, 0, 1, 1};             // straight ahead: the screen centre
    starField[1] = Star{-0.25f, 0.0f, 1, 0.5f};  // left of centre, half bright
    starField[2] = Star{-1, 0, 0, 1};            // exactly side-on, to the left: stays
    starField[3] = Star{0, -1, 0, 1};            // exactly side-on, above: stays
    drawStars(camera);
    EXPECT_EQ(screenPixels[25 * 80 + 40].red, 255);
    EXPECT_EQ(screenPixels[25 * 80 + 40].blue, 255);
    EXPECT_EQ(screenPixels[25 * 80 + 20].green, 127);
    EXPECT_EQ(randomState, initialRandomState);  // nothing was replaced
    EXPECT_EQ(starField[2].x, -1.0f);
    int lit = 0;
    for (int i = 0; i < screenPixelCount; ++i) lit += pixelWord(screenPixels[i]) != 0;
    EXPECT_EQ(lit, 2);  // the centre star (whose neighbours get 0) and the half-bright one
}

}  // namespace
