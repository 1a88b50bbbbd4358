#include "vantrel/picture_renderer.h"

namespace vantrel {

PictureRenderer::~PictureRenderer() = default;

}  // namespace vantrel
