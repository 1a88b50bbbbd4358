#include "render/pixel.h"

namespace {
PixelBuffer screenFrame{};
}

constinit Pixel* const screenPixels = screenFrame.data();
