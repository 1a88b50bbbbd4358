#include "vantrel/linear_light.h"

#include <algorithm>

namespace vantrel {

namespace {

// x^(1/5) for 0 < x <= 1: Newton's method from 1, which falls monotonically
// onto the root; it stops when a step no longer lowers the estimate.
constexpr double fifthRoot(double x) {
    double y = 1.0;
    for (int i = 0; i < 200; ++i) {
        const double y2 = y * y;
        const double next = (4.0 * y + x / (y2 * y2)) / 5.0;
        if (!(next < y)) break;
        y = next;
    }
    return y;
}

// The sRGB decoding of v in 0..1; a^2.4 is formed as a^2 times the fifth
// root of a^2.
constexpr double decode(double v) {
    if (v <= 0.04045) return v / 12.92;
    const double a = (v + 0.055) / 1.055;
    const double a2 = a * a;
    return a2 * fifthRoot(a2);
}

constexpr std::array<float, 256> makeLinearTable() {
    std::array<float, 256> table{};
    for (int v = 0; v < 256; ++v) table[v] = static_cast<float>(decode(v / 255.0));
    return table;
}

// Threshold b: the linear value whose encoding is b + 0.5, where rounding
// turns from byte b to byte b + 1.
constexpr std::array<double, 255> makeThresholds() {
    std::array<double, 255> t{};
    for (int b = 0; b < 255; ++b) t[b] = decode((b + 0.5) / 255.0);
    return t;
}

constexpr std::array<double, 255> thresholds = makeThresholds();

}  // namespace

constinit const std::array<float, 256> srgbToLinearTable = makeLinearTable();

static_assert(makeLinearTable()[0] == 0.0f && makeLinearTable()[255] == 1.0f);

std::uint8_t linearToSrgb(float linear) {
    if (!(linear > 0.0f)) return 0;  // NaN too
    const auto above = std::upper_bound(thresholds.begin(), thresholds.end(), static_cast<double>(linear));
    return static_cast<std::uint8_t>(above - thresholds.begin());
}

}  // namespace vantrel
