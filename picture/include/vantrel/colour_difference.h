// How different two colours look: CIEDE2000 (Sharma, Wu and Dalal's
// formulation), from colours in linear light through CIE XYZ (sRGB
// primaries, D65 white) and CIELAB.
#pragma once

#include "vantrel/linear_light.h"

namespace vantrel {

struct Lab {
    double lightness;
    double a;
    double b;
};

Lab toLab(const LinearRgb& colour);

double ciede2000(const Lab& first, const Lab& second);

}  // namespace vantrel
