// What the terminal shows of a video, full-screen: the picture's mosaic
// cells through the diffing mosaic encoder.
#pragma once

#include <string_view>

#include "vantrel/mosaic_encoder.h"
#include "tools/view/view_picture.h"

namespace vantrel {

class VideoScreen {
public:
    explicit VideoScreen(ColourMode mode) : encoder_(mode, FrameLayout{}) {}
    void setLayout(const FrameLayout& layout) { encoder_.setLayout(layout); }
    void forgetScreen() { encoder_.forgetScreen(); }
    std::string_view encode(const ShownPicture& shown) { return encoder_.encode(shown.view()); }

private:
    MosaicEncoder encoder_;
};

}  // namespace vantrel
