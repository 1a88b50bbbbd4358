// S-CIELAB (Zhang and Wandell, 1996): a picture as the eye sees it at a
// viewing distance, in CIELAB. The picture goes into three opponent colour
// channels (lightness, red-green, blue-yellow), each blurred by its own sum
// of Gaussians whose spreads are angles of view, and comes back to CIE XYZ
// and CIELAB (D65 white).
#pragma once

#include <vector>

#include "vantrel/colour_difference.h"

namespace vantrel {

// `linear`: width x height pixels row-major, three doubles each (red, green,
// blue in linear light, 1 the sRGB byte 255). `pixelsPerDegree`: how many
// pixels one degree of the viewer's sight spans. Returns the filtered
// picture's colours, row-major.
//
// A spread of s degrees is a Gaussian of s * pixelsPerDegree / sqrt(2)
// pixels, cut at three of them. A Gaussian of 16 pixels or more blurs a copy
// shrunk by f = floor(sigma / 8) (the means of f x f blocks, the rows and
// columns beyond a multiple of f left out) by sigma / f, which is enlarged
// back by bilinear interpolation (the corner pixels' centres kept in place):
// at that width the eye cannot tell the difference, and it is many times
// faster.
// `work` holds the planes in between, for the next picture of the same size.
struct ScielabWork {
    std::vector<double> channel, blurred, small, scratch, filtered[3];
};
void scielab(const std::vector<double>& linear, int width, int height, double pixelsPerDegree,
             std::vector<Lab>& lab, ScielabWork& work);

// CIELAB (D65 white) of a colour in linear light; each channel is first
// held to 0..1.
Lab labOfLinear(const double* rgb);

}  // namespace vantrel
