// The one frame the demo's scene is drawn into. The drawing operations that
// take no target buffer (clipAndDrawLine, splatPoint, and through them
// drawMesh) add into it.
#pragma once

#include "vantrel/pixel.h"

namespace vantrel {

// Program-wide; the pointer holds its value from program start (constant
// initialisation), so it is usable before main.
extern Pixel* const screenPixels;

}  // namespace vantrel
