#include "demo/frame_loop.h"

#include <cstring>

#include "console/console_screen.h"
#include "console/win32.h"
#include "demo/controls.h"
#include "demo/gauges.h"
#include "demo/scene.h"
#include "demo/stars.h"
#include "vantrel/glyph_renderer.h"
#include "vantrel/screen_pixels.h"
#include "vantrel/shade_renderer.h"

namespace vantrel {

namespace {

// The shade renderer ignores the flags; the glyph renderer reads 0xFFFF as
// "printable ASCII only".
constexpr std::int32_t tableFlags = 0xFFFF;  // both glyph flags set, and every bit above them

constexpr SourceRect wholeScreen{0, 0, screenWidth, screenHeight};

}  // namespace

std::uint32_t waitForFrame(std::uint32_t& frameDeadline) {
    frameDeadline += framePeriodMs;
    for (;;) {
        const std::uint32_t tick = GetTickCount();
        // The first tick strictly past the deadline ends the wait. The
        // difference is taken modulo 2^32 and read as signed, so a deadline
        // just below the wrap is passed by the small ticks after it.
        if (static_cast<std::int32_t>(tick - frameDeadline) > 0) return tick;
    }
}

void renderFrame(FlightState& state, std::uint32_t frameTick, const CellRenderer& renderer) {
    pulseHighlight(frameTick);
    applySpeedButtons(state.cameraSpeed);
    updateInstances(state.instances);
    steerCamera(state.camera, state.mouseX, state.mouseY, state.cameraSpeed);

    std::memset(static_cast<void*>(screenPixels), 0, sizeof(Pixel) * screenPixelCount);

    drawStars(state.camera);
    drawInstances(state.instances, state.camera);
    drawSpeedBar(state.cameraSpeed);

    renderer.convert1x1(screenPixels, wholeScreen, screenWidth, 0, 0, consoleScreen.cells.data());
}

bool runFrame(FlightState& state, std::uint32_t& frameDeadline, const CellRenderer& renderer) {
    const std::uint32_t frameTick = waitForFrame(frameDeadline);
    readMouse(state.mouseX, state.mouseY);
    // Down now, or pressed since the last query: any nonzero result counts.
    if (GetAsyncKeyState(VK_ESCAPE) != 0) return false;
    renderFrame(state, frameTick, renderer);
    presentCells();
    return true;
}

void runDemo() {
    ShadeRenderer shadeRenderer;
    GlyphRenderer glyphRenderer;
    shadeRenderer.buildTable(tableFlags);
    glyphRenderer.buildTable(tableFlags);
    setTitle("Lines");

    FlightState state{};
    setupScene(state.camera, state.instances);

    std::uint32_t frameDeadline = GetTickCount();
    while (runFrame(state, frameDeadline, shadeRenderer)) {
    }
    // The renderers go in reverse order of construction: the glyph renderer
    // first, the shade renderer last.
}

}  // namespace vantrel
