#include "demo/controls.h"

#include "console/win32.h"

namespace vantrel {

namespace {

constexpr float centre = 0.5f;

// (position - low) / (high - low) as 32-bit floats; a rectangle with no
// extent on this axis gives the centre instead of a division by zero.
float fraction(LONG position, LONG low, LONG high) {
    const LONG extent = high - low;
    if (extent <= 0) return centre;
    return static_cast<float>(position - low) / static_cast<float>(extent);
}

bool isDown(int key) { return GetAsyncKeyState(key) != 0; }

}  // namespace

void readMouse(float& mouseX, float& mouseY) {
    POINT p{0, 0};
    RECT c{0, 0, 0, 0};
    const BOOL havePosition = GetCursorPos(&p);
    const BOOL haveClip = GetClipCursor(&c);
    if (!havePosition || !haveClip) {
        mouseX = centre;
        mouseY = centre;
        return;
    }
    mouseX = fraction(p.x, c.left, c.right);
    mouseY = fraction(p.y, c.top, c.bottom);
}

void applySpeedButtons(float& cameraSpeed) {
    const bool left = isDown(VK_LBUTTON);
    const bool right = isDown(VK_RBUTTON);
    const bool middle = isDown(VK_MBUTTON);
    if (left) cameraSpeed += 0.005f;
    if (right) cameraSpeed -= 0.005f;
    if (middle) {
        cameraSpeed = 0.0f;
        return;
    }
    if (cameraSpeed < 0.0f) cameraSpeed = 0.0f;
    if (cameraSpeed > 1.0f) cameraSpeed = 1.0f;
}

void steerCamera(Transform& camera, float mouseX, float mouseY, float cameraSpeed) {
    const float roll = (2.0f * mouseX - 1.0f) * 0.02f;
    camera = compose(rotationZ(roll), camera);
    const float pitch = (2.0f * mouseY - 1.0f) * 0.005f;
    camera = compose(rotationX(pitch), camera);
    const float perFrame = cameraSpeed * 100.0f;
    camera.tx += camera.m[6] * perFrame * 0.01f;
    camera.ty += camera.m[7] * perFrame * 0.01f;
    camera.tz += camera.m[8] * perFrame * 0.01f;
}

}  // namespace vantrel
