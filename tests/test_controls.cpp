#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "demo/controls.h"
#include "demo/gauges.h"
#include "fake_host.h"
#include "vantrel/screen_pixels.h"
#include "vantrel/mesh.h"

using namespace vantrel;

namespace {

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetFakeHost();
        std::memset(static_cast<void*>(screenPixels), 0, sizeof(Pixel) * screenPixelCount);
    }
    static void readAt(LONG x, LONG y, RECT clip, float& mouseX, float& mouseY) {
        fakeHost.cursor = POINT{x, y};
        fakeHost.clip = clip;
        readMouse(mouseX, mouseY);
    }
};

TEST_F(ControlsTest, MouseFractionsOfTheClipRectangle) {
    float mx = -1, my = -1;
    readAt(250, 750, RECT{0, 0, 1000, 1000}, mx, my);
    EXPECT_EQ(mx, 0.25f);
    EXPECT_EQ(my, 0.75f);
    readAt(150, 500, RECT{100, 200, 300, 600}, mx, my);
    EXPECT_EQ(mx, 0.25f);
    EXPECT_EQ(my, 0.75f);
    readAt(1, 2, RECT{0, 0, 3, 3}, mx, my);
    EXPECT_EQ(mx, 1.0f / 3.0f);  // divided as 32-bit floats
    EXPECT_EQ(my, 2.0f / 3.0f);
    // Position first, then the clip rectangle.
    ASSERT_GE(fakeHost.callCount, 2u);
    EXPECT_EQ(fakeHost.calls[0].function, Win32Call::GetCursorPos);
    EXPECT_EQ(fakeHost.calls[1].function, Win32Call::GetClipCursor);
}

TEST_F(ControlsTest, ADegenerateClipRectangleOrAFailedQueryHoldsTheAttitude) {
    float mx = -1, my = -1;
    readAt(300, 250, RECT{300, 0, 300, 1000}, mx, my);  // no width
    EXPECT_EQ(mx, 0.5f);
    EXPECT_EQ(my, 0.25f);
    readAt(250, 40, RECT{0, 40, 1000, 40}, mx, my);  // no height
    EXPECT_EQ(mx, 0.25f);
    EXPECT_EQ(my, 0.5f);
    readAt(7, 7, RECT{7, 7, 7, 7}, mx, my);
    EXPECT_EQ(mx, 0.5f);
    EXPECT_EQ(my, 0.5f);
    fakeHost.clip = RECT{0, 0, 1000, 1000};
    fakeHost.cursorResult = FALSE;
    readMouse(mx, my);
    EXPECT_EQ(mx, 0.5f);
    EXPECT_EQ(my, 0.5f);

    // Held attitude: the camera neither rolls nor pitches, and at speed 0 stays put.
    Transform camera = compose(rotationY(0.4f), rotationX(0.1f));
    camera.tx = 3;
    const Transform before = camera;
    steerCamera(camera, mx, my, 0.0f);
    EXPECT_EQ(std::memcmp(&camera, &before, sizeof camera), 0);
}

TEST_F(ControlsTest, SpeedButtons) {
    auto frame = [](float speed, SHORT left, SHORT right, SHORT middle) {
        fakeHost.left = left;
        fakeHost.right = right;
        fakeHost.middle = middle;
        applySpeedButtons(speed);
        return speed;
    };
    EXPECT_FLOAT_EQ(frame(0.2f, 1, 0, 0), 0.205f);  // any nonzero result counts
    EXPECT_FLOAT_EQ(frame(0.2f, 0, static_cast<SHORT>(0x8000), 0), 0.195f);
    EXPECT_EQ(frame(0.002f, 0, 1, 0), 0.0f);  // clamped at 0
    EXPECT_EQ(frame(0.998f, 1, 0, 0), 1.0f);  // clamped at 1
    EXPECT_NEAR(frame(0.3f, 1, 1, 0), 0.3f, 1e-7f);
    EXPECT_EQ(frame(0.7f, 1, 0, 1), 0.0f);  // middle stops even with left held
    EXPECT_EQ(frame(0.7f, 0, 0, 1), 0.0f);

    // From a standstill to full speed in about 200 frames, and no further.
    float speed = 0;
    int frames = 0;
    while (speed < 1.0f && frames < 1000) speed = frame(speed, 1, 0, 0), ++frames;
    EXPECT_NEAR(frames, 200, 1);
    EXPECT_EQ(frame(speed, 1, 0, 0), 1.0f);

    // All three buttons are asked every frame, left, right, middle.
    resetFakeHost();
    fakeHost.middle = 1;
    frame(0.5f, 0, 0, 1);
    ASSERT_EQ(fakeHost.callCount, 3u);
    EXPECT_EQ(fakeHost.calls[0].value[0], 1u);
    EXPECT_EQ(fakeHost.calls[1].value[0], 2u);
    EXPECT_EQ(fakeHost.calls[2].value[0], 4u);
}

TEST_F(ControlsTest, SteeringRollsThenPitchesThenMovesForward) {
    // Cursor at the right edge: the camera's X axis turns toward its Y axis.
    Transform camera;
    steerCamera(camera, 1.0f, 0.5f, 0.0f);
    EXPECT_NEAR(camera.m[1], std::sin(0.02f), 1e-7f);
    EXPECT_NEAR(camera.m[0], std::cos(0.02f), 1e-7f);

    // Cursor at the top: the nose drops toward the camera's +Y.
    camera = Transform{};
    steerCamera(camera, 0.5f, 0.0f, 0.0f);
    EXPECT_NEAR(camera.m[7], std::sin(0.005f), 1e-7f);

    // Roll first, then pitch, then one step along the new forward axis.
    camera = compose(rotationY(0.7f), rotationX(-0.3f));
    const Transform start = camera;
    steerCamera(camera, 0.8f, 0.1f, 0.5f);
    Transform expected = compose(rotationX((2 * 0.1f - 1) * 0.005f), compose(rotationZ((2 * 0.8f - 1) * 0.02f), start));
    for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(camera.m[i], expected.m[i]) << i;
    EXPECT_FLOAT_EQ(camera.tx, 0.5f * expected.m[6]);
    EXPECT_FLOAT_EQ(camera.ty, 0.5f * expected.m[7]);
    EXPECT_FLOAT_EQ(camera.tz, 0.5f * expected.m[8]);
}

TEST_F(ControlsTest, HighlightPulsesFromRedToYellowEvery400Ticks) {
    struct Case {
        std::uint32_t tick;
        float green;
    } cases[] = {{0, 0}, {400, 0}, {800, 0}, {100, 0.5f}, {300, 0.5f}, {200, 1}, {1000, 1}, {50, 0.25f},
                 // Late in the clock's range the milliseconds still count.
                 {4294966800u, 0}, {4294966900u, 0.5f}, {4294967000u, 1}};
    for (const Case& c : cases) {
        pulseHighlight(c.tick);
        EXPECT_EQ(highlightColour.x, 1.0f) << c.tick;
        EXPECT_NEAR(highlightColour.y, c.green, 1e-5f) << c.tick;
        EXPECT_EQ(highlightColour.z, 0.0f) << c.tick;
    }
}

TEST_F(ControlsTest, SpeedBarGrowsAlongTheTopRowFromYellowToRed) {
    auto litInRowZero = [] {
        int n = 0;
        while (n < screenPixelCount && pixelWord(screenPixels[n]) != 0) ++n;
        return n;
    };
    drawSpeedBar(0.0f);
    EXPECT_EQ(litInRowZero(), 0);
    drawSpeedBar(0.5f);
    EXPECT_EQ(litInRowZero(), 10);

    std::memset(static_cast<void*>(screenPixels), 0, sizeof(Pixel) * screenPixelCount);
    screenPixels[3] = Pixel{200, 0, 77, 0};  // already red and blue there
    drawSpeedBar(1.0f);
    EXPECT_EQ(litInRowZero(), 20);
    EXPECT_EQ(screenPixels[0].red, 255);
    EXPECT_EQ(screenPixels[0].green, 255);
    EXPECT_EQ(screenPixels[19].red, 255);
    EXPECT_EQ(screenPixels[19].green, 12);
    EXPECT_EQ(screenPixels[19].blue, 0);
    EXPECT_EQ(screenPixels[3].red, 255);  // saturated
    EXPECT_EQ(screenPixels[3].blue, 77);  // the gauge never adds blue
    for (int i = 20; i < screenPixelCount; ++i) ASSERT_EQ(pixelWord(screenPixels[i]), 0u) << i;
}

}  // namespace
