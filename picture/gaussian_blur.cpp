#include "picture/gaussian_blur.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace vantrel {

namespace {

// Index i (any integer) of a line of n samples, mirrored at both ends.
int mirrored(int i, int n) {
    const int period = 2 * n;
    i %= period;
    if (i < 0) i += period;
    return i < n ? i : period - 1 - i;
}

}  // namespace

std::vector<double> gaussianKernel(double sigma, double truncate) {
    sigma = std::max(sigma, 1e-3);
    const int radius = static_cast<int>(truncate * sigma + 0.5);
    std::vector<double> kernel(static_cast<std::size_t>(2 * radius + 1));
    double sum = 0;
    for (int x = -radius; x <= radius; ++x) {
        const double weight = std::exp(-0.5 * x * x / (sigma * sigma));
        kernel[static_cast<std::size_t>(x + radius)] = weight;
        sum += weight;
    }
    for (double& weight : kernel) weight /= sum;
    return kernel;
}

void blurPlane(const std::vector<double>& plane, int width, int height, const std::vector<double>& kernel,
               std::vector<double>& out, std::vector<double>& scratch) {
    const int radius = static_cast<int>(kernel.size() / 2);
    const auto w = static_cast<std::size_t>(width);
    // Down the columns, a whole row at a time: row y of the result sums the
    // kernel's rows around y.
    scratch.resize(w * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        double* sums = scratch.data() + static_cast<std::size_t>(y) * w;
        for (int k = -radius; k <= radius; ++k) {
            const double weight = kernel[static_cast<std::size_t>(k + radius)];
            const double* in = plane.data() + static_cast<std::size_t>(mirrored(y + k, height)) * w;
            if (k == -radius) {
                for (std::size_t x = 0; x < w; ++x) sums[x] = weight * in[x];
            } else {
                for (std::size_t x = 0; x < w; ++x) sums[x] += weight * in[x];
            }
        }
    }
    out.resize(w * static_cast<std::size_t>(height));
    // Along the rows, each row first laid out with its mirrored margins.
    std::vector<double> line(w + 2 * static_cast<std::size_t>(radius));
    for (int y = 0; y < height; ++y) {
        const double* in = scratch.data() + static_cast<std::size_t>(y) * w;
        for (int x = -radius; x < width + radius; ++x) {
            line[static_cast<std::size_t>(x + radius)] = in[mirrored(x, width)];
        }
        // Weight by weight over the whole row, which vectorises; each sum
        // still adds its terms in the kernel's order.
        double* row = out.data() + static_cast<std::size_t>(y) * w;
        for (std::size_t x = 0; x < w; ++x) row[x] = kernel[0] * line[x];
        for (std::size_t k = 1; k < kernel.size(); ++k) {
            const double weight = kernel[k];
            const double* from = line.data() + k;
            for (std::size_t x = 0; x < w; ++x) row[x] += weight * from[x];
        }
    }
}

}  // namespace vantrel
