#include "picture/scielab.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "picture/gaussian_blur.h"

namespace vantrel {

namespace {

using Matrix = double[3][3];

// sRGB primaries to XYZ (D65, white Y = 1).
constexpr Matrix rgbToXyz = {{0.4124564, 0.3575761, 0.1804375},
                             {0.2126729, 0.7151522, 0.0721750},
                             {0.0193339, 0.1191920, 0.9503041}};
// XYZ to the opponent channels O1 (lightness), O2 (red-green), O3 (blue-yellow).
constexpr Matrix xyzToOpponent = {{0.279, 0.72, -0.107}, {-0.449, 0.29, -0.077}, {0.086, -0.59, 0.501}};

// Each channel's Gaussians: weights (normalised to sum 1 before use) and
// spreads in degrees.
struct ChannelFilter {
    int count;
    double weights[3];
    double spreads[3];
};
constexpr ChannelFilter channelFilters[3] = {
    {3, {1.00327, 0.114416, -0.117686}, {0.05, 0.225, 7.0}},
    {2, {0.616725, 0.383275, 0}, {0.0685, 0.826, 0}},
    {2, {0.567885, 0.432115, 0}, {0.0920, 0.6451, 0}},
};

void multiply(const Matrix& a, const Matrix& b, Matrix& out) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) out[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    }
}

void invert(const Matrix& m, Matrix& out) {
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            // The cofactor of (j, i) over the determinant.
            const int r0 = (j + 1) % 3, r1 = (j + 2) % 3, c0 = (i + 1) % 3, c1 = (i + 2) % 3;
            out[i][j] = (m[r0][c0] * m[r1][c1] - m[r0][c1] * m[r1][c0]) / det;
        }
    }
}

double labF(double t) {
    constexpr double epsilon = 216.0 / 24389.0;
    constexpr double kappa = 24389.0 / 27.0;
    return t > epsilon ? std::cbrt(t) : (kappa * t + 16.0) / 116.0;
}

// XYZ scaled so that the sRGB white is (1, 1, 1); negative values, which
// the filters' negative lobe can leave, count as 0.
Lab labOfWhiteScaled(double x, double y, double z) {
    const double fx = labF(std::max(x, 0.0)), fy = labF(std::max(y, 0.0)), fz = labF(std::max(z, 0.0));
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

double whiteOf(int row) { return rgbToXyz[row][0] + rgbToXyz[row][1] + rgbToXyz[row][2]; }

// `plane` blurred by a Gaussian of `sigma` pixels into `out`, through the
// shrunk copy when sigma is 16 or more.
void spatialBlur(const std::vector<double>& plane, int width, int height, double sigma, std::vector<double>& out,
                 std::vector<double>& small, std::vector<double>& scratch) {
    const int f = static_cast<int>(sigma / 8);
    const int smallWidth = f >= 2 ? width / f : 0, smallHeight = f >= 2 ? height / f : 0;
    if (smallWidth < 1 || smallHeight < 1) return blurPlane(plane, width, height, gaussianKernel(sigma, 3.0), out, scratch);
    const auto w = static_cast<std::size_t>(width), sw = static_cast<std::size_t>(smallWidth);
    small.assign(sw * static_cast<std::size_t>(smallHeight), 0.0);
    for (int y = 0; y < smallHeight * f; ++y) {
        const double* in = plane.data() + static_cast<std::size_t>(y) * w;
        double* sums = small.data() + static_cast<std::size_t>(y / f) * sw;
        for (int x = 0; x < smallWidth * f; ++x) sums[x / f] += in[x];
    }
    for (double& v : small) v /= static_cast<double>(f) * f;
    blurPlane(small, smallWidth, smallHeight, gaussianKernel(sigma / f, 3.0), small, scratch);

    // Output pixel i lies at i * (n - 1) / (N - 1) on the small plane.
    struct Tap {
        std::size_t first;
        std::size_t second;
        double share;  // of the second
    };
    const auto taps = [](int big, int little) {
        std::vector<Tap> result(static_cast<std::size_t>(big));
        const double zoom = big > 1 ? static_cast<double>(little - 1) / (big - 1) : 1.0;
        for (int i = 0; i < big; ++i) {
            const double at = i * zoom;
            int first = static_cast<int>(std::floor(at));
            double share = at - first;
            if (first >= little - 1) first = little - 1, share = 0;
            result[static_cast<std::size_t>(i)] = {static_cast<std::size_t>(first),
                                                   static_cast<std::size_t>(std::min(first + 1, little - 1)), share};
        }
        return result;
    };
    const std::vector<Tap> across = taps(width, smallWidth), down = taps(height, smallHeight);
    // Each small row enlarged across, then the rows mixed down.
    scratch.resize(w * static_cast<std::size_t>(smallHeight));
    for (std::size_t y = 0; y < static_cast<std::size_t>(smallHeight); ++y) {
        const double* in = small.data() + y * sw;
        double* row = scratch.data() + y * w;
        for (std::size_t x = 0; x < w; ++x) {
            const Tap& t = across[x];
            row[x] = (1 - t.share) * in[t.first] + t.share * in[t.second];
        }
    }
    out.resize(w * static_cast<std::size_t>(height));
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
        const Tap& t = down[y];
        const double* a = scratch.data() + t.first * w;
        const double* b = scratch.data() + t.second * w;
        double* row = out.data() + y * w;
        for (std::size_t x = 0; x < w; ++x) row[x] = (1 - t.share) * a[x] + t.share * b[x];
    }
}

}  // namespace

void scielab(const std::vector<double>& linear, int width, int height, double pixelsPerDegree,
             std::vector<Lab>& lab, ScielabWork& work) {
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    Matrix toOpponent, fromOpponent;
    multiply(xyzToOpponent, rgbToXyz, toOpponent);
    invert(xyzToOpponent, fromOpponent);

    std::vector<double>& channel = work.channel;
    std::vector<double>(&filtered)[3] = work.filtered;
    channel.resize(pixels);
    for (int c = 0; c < 3; ++c) {
        const double* m = toOpponent[c];
        for (std::size_t i = 0; i < pixels; ++i) {
            const double* p = linear.data() + 3 * i;
            channel[i] = m[0] * p[0] + m[1] * p[1] + m[2] * p[2];
        }
        const ChannelFilter& filter = channelFilters[c];
        double weightSum = 0;
        for (int k = 0; k < filter.count; ++k) weightSum += filter.weights[k];
        filtered[c].assign(pixels, 0.0);
        for (int k = 0; k < filter.count; ++k) {
            spatialBlur(channel, width, height, filter.spreads[k] * pixelsPerDegree / std::sqrt(2.0), work.blurred,
                        work.small, work.scratch);
            const double weight = filter.weights[k] / weightSum;
            for (std::size_t i = 0; i < pixels; ++i) filtered[c][i] += weight * work.blurred[i];
        }
    }
    lab.resize(pixels);
    const double white[3] = {whiteOf(0), whiteOf(1), whiteOf(2)};
    for (std::size_t i = 0; i < pixels; ++i) {
        double xyz[3];
        for (int r = 0; r < 3; ++r) {
            xyz[r] = (fromOpponent[r][0] * filtered[0][i] + fromOpponent[r][1] * filtered[1][i] +
                      fromOpponent[r][2] * filtered[2][i]) /
                     white[r];
        }
        lab[i] = labOfWhiteScaled(xyz[0], xyz[1], xyz[2]);
    }
}

Lab labOfLinear(const double* rgb) {
    double xyz[3];
    const double r = std::clamp(rgb[0], 0.0, 1.0), g = std::clamp(rgb[1], 0.0, 1.0), b = std::clamp(rgb[2], 0.0, 1.0);
    for (int row = 0; row < 3; ++row) {
        xyz[row] = (rgbToXyz[row][0] * r + rgbToXyz[row][1] * g + rgbToXyz[row][2] * b) / whiteOf(row);
    }
    return labOfWhiteScaled(xyz[0], xyz[1], xyz[2]);
}

}  // namespace vantrel
