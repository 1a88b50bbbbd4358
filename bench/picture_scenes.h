// Pictures made here, of any size, for measuring the viewer: they need no
// file and are the same on every machine.
#pragma once

#include "tools/view/rgb_picture.h"

namespace vantrel {

// Hue across, from white at the top through full colour to black at the bottom.
RgbPicture gradientPicture(int width, int height);
// A ray-traced scene: sky, a chequered floor in perspective, shaded spheres.
RgbPicture scenePicture(int width, int height);
// A chart of 6x4 colour patches (greys, skin tones, primaries and
// secondaries at several strengths) on a dark grey ground.
RgbPicture chartPicture(int width, int height);

}  // namespace vantrel
