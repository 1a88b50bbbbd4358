// Gaussian blurs of planes of doubles, one axis after the other, with
// mirrored edges: beyond an edge the plane continues as its mirror image,
// the edge pixel repeated (d c b a | a b c d | d c b a).
#pragma once

#include <vector>

namespace vantrel {

// The normalised Gaussian of `sigma` pixels (at least 0.001), cut at
// radius int(truncate * sigma + 0.5) pixels: 2 * radius + 1 weights.
std::vector<double> gaussianKernel(double sigma, double truncate);

// Blurs `plane`, width x height values row-major, by `kernel` (an odd
// number of weights) down the columns, then along the rows, into `out`
// (which may be `plane`). `scratch` is resized as needed.
void blurPlane(const std::vector<double>& plane, int width, int height, const std::vector<double>& kernel,
               std::vector<double>& out, std::vector<double>& scratch);

}  // namespace vantrel
