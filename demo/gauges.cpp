#include "demo/gauges.h"

#include <algorithm>
#include <cmath>

#include "vantrel/screen_pixels.h"
#include "vantrel/draw.h"
#include "vantrel/mesh.h"

namespace vantrel {

namespace {
constexpr int speedBarLength = 20;
}

void pulseHighlight(std::uint32_t frameTick) {
    // Double precision: a tick count of days of uptime still has its
    // milliseconds after the scaling.
    const double t = static_cast<double>(frameTick) * 0.0025;
    const double phase = t - std::floor(t);
    const double value = phase <= 0.5 ? 2.0 * phase : 2.0 - 2.0 * phase;
    highlightColour = Vec3{1.0f, static_cast<float>(value), 0.0f};
}

void drawSpeedBar(float cameraSpeed) {
    // The speed lies in [0, 1]; the bar never leaves its 20 pixels of row 0.
    const int n = std::min(static_cast<int>(cameraSpeed * 20.0f), speedBarLength);
    for (int i = 0; i < n; ++i) {
        const auto green = static_cast<std::int32_t>(255.0f * (1.0f - 0.05f * static_cast<float>(i)));
        addColour(screenPixels[i], 255, green, 0);
    }
}

}  // namespace vantrel
