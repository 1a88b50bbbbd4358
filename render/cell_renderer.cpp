#include "vantrel/cell_renderer.h"

namespace vantrel {

CellRenderer::~CellRenderer() = default;

}  // namespace vantrel
