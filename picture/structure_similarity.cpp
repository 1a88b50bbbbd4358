#include "picture/structure_similarity.h"

#include <cstddef>

#include "picture/gaussian_blur.h"

namespace vantrel {

double structureSimilarity(std::vector<double>& first, std::vector<double>& second, int width, int height,
                           SimilarityWork& work) {
    const std::size_t pixels = first.size();
    const std::vector<double> window = gaussianKernel(1.5, 3.5);
    std::vector<double>&meanX = first, &meanY = second, &squaresX = work.squaresFirst, &squaresY = work.squaresSecond,
                        &products = work.products;
    squaresX.resize(pixels);
    squaresY.resize(pixels);
    products.resize(pixels);
    for (std::size_t i = 0; i < pixels; ++i) {
        squaresX[i] = first[i] * first[i];
        squaresY[i] = second[i] * second[i];
        products[i] = first[i] * second[i];
    }
    for (std::vector<double>* plane : {&meanX, &meanY, &squaresX, &squaresY, &products}) {
        blurPlane(*plane, width, height, window, *plane, work.scratch);
    }
    constexpr double c1 = 0.01 * 0.01, c2 = 0.03 * 0.03;
    const int margin = static_cast<int>(window.size() / 2);
    const bool cropped = width > 2 * margin && height > 2 * margin;
    const int x0 = cropped ? margin : 0, y0 = cropped ? margin : 0;
    double sum = 0;
    for (int y = y0; y < height - y0; ++y) {
        for (int x = x0; x < width - x0; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
            const double ux = meanX[i], uy = meanY[i];
            const double vx = squaresX[i] - ux * ux, vy = squaresY[i] - uy * uy, vxy = products[i] - ux * uy;
            sum += ((2 * ux * uy + c1) * (2 * vxy + c2)) / ((ux * ux + uy * uy + c1) * (vx + vy + c2));
        }
    }
    return sum / (static_cast<double>(width - 2 * x0) * (height - 2 * y0));
}

}  // namespace vantrel
