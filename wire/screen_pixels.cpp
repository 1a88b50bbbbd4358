#include "vantrel/screen_pixels.h"

namespace vantrel {

namespace {
PixelBuffer screenFrame{};
}

constinit Pixel* const screenPixels = screenFrame.data();

}  // namespace vantrel
