#include "render/cell_renderer.h"

CellRenderer::~CellRenderer() = default;
