#include "picture/area_average.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

// The source pixels under one target pixel: the first and each one's share.
struct Footprint {
    int first = 0;
    std::vector<double> shares;
};

// Target pixel i covers source [i, i + 1) * source / target.
std::vector<Footprint> footprints(int source, int target) {
    std::vector<Footprint> result(static_cast<std::size_t>(target));
    const double scale = static_cast<double>(source) / target;
    for (int i = 0; i < target; ++i) {
        const double a = i * scale, b = (i + 1) * scale;
        Footprint& f = result[static_cast<std::size_t>(i)];
        f.first = std::min(static_cast<int>(std::floor(a)), source - 1);
        double sum = 0;
        for (int j = f.first; j < source && j < b; ++j) {
            const double overlap = std::max(0.0, std::min(b, j + 1.0) - std::max(a, static_cast<double>(j)));
            f.shares.push_back(overlap);
            sum += overlap;
        }
        for (double& share : f.shares) share /= sum;
    }
    return result;
}

}  // namespace

double linearOfByte(std::uint8_t v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

std::vector<double> areaAverage(const std::uint8_t* rgb, int width, int height, std::ptrdiff_t rowBytes,
                                int targetWidth, int targetHeight) {
    double linear[256];
    for (int v = 0; v < 256; ++v) linear[v] = linearOfByte(static_cast<std::uint8_t>(v));
    const std::vector<Footprint> across = footprints(width, targetWidth), down = footprints(height, targetHeight);
    const std::size_t rowValues = 3 * static_cast<std::size_t>(targetWidth);

    // Every source row averaged across, then the rows averaged down.
    std::vector<double> rows(rowValues * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = rgb + y * rowBytes;
        double* out = rows.data() + static_cast<std::size_t>(y) * rowValues;
        for (int x = 0; x < targetWidth; ++x) {
            const Footprint& f = across[static_cast<std::size_t>(x)];
            double sum[3] = {0, 0, 0};
            for (std::size_t k = 0; k < f.shares.size(); ++k) {
                const std::uint8_t* p = in + 3 * (static_cast<std::size_t>(f.first) + k);
                for (int c = 0; c < 3; ++c) sum[c] += f.shares[k] * linear[p[c]];
            }
            for (int c = 0; c < 3; ++c) out[3 * x + c] = sum[c];
        }
    }
    std::vector<double> result(rowValues * static_cast<std::size_t>(targetHeight), 0.0);
    for (int y = 0; y < targetHeight; ++y) {
        const Footprint& f = down[static_cast<std::size_t>(y)];
        double* out = result.data() + static_cast<std::size_t>(y) * rowValues;
        for (std::size_t k = 0; k < f.shares.size(); ++k) {
            const double* in = rows.data() + (static_cast<std::size_t>(f.first) + k) * rowValues;
            for (std::size_t i = 0; i < rowValues; ++i) out[i] += f.shares[k] * in[i];
        }
    }
    return result;
}

}  // namespace vantrel
