// SSIM (Wang, Bovik, Sheikh and Simoncelli, 2004) of two planes of the same
// size: how far each neighbourhood's mean, contrast and structure agree, 1
// when the planes are equal.
#pragma once

#include <vector>

namespace vantrel {

// The mean SSIM of `first` and `second`, width x height values row-major in
// 0..1 (data range 1, K1 0.01, K2 0.03): local means, population variances
// and covariance weighted by a Gaussian window of sigma 1.5 pixels cut at
// 3.5 sigma (11 pixels across), mirrored at the edges. The mean leaves out a
// margin of the window's radius (5 pixels) on every side, where the window
// would reach past the edge; a plane too small to keep anything is
// averaged whole.
// `first` and `second` are overwritten; `work` holds the planes in between.
struct SimilarityWork {
    std::vector<double> squaresFirst, squaresSecond, products, scratch;
};
double structureSimilarity(std::vector<double>& first, std::vector<double>& second, int width, int height,
                           SimilarityWork& work);

}  // namespace vantrel
