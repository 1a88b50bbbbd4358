#include "vantrel/picture_fit.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

CellCount fitPicture(int width, int height, const FitRequest& request) {
    const int maxColumns = std::max(request.columns, 1);
    if (request.stretch && request.rows > 0) return {maxColumns, request.rows};
    const double w = std::max(width, 1);
    const double h = std::max(height, 1);
    // Cell columns per pixel.
    double scale = maxColumns / w;
    if (request.rows > 0) scale = std::min(scale, request.rows * request.cellAspect / h);
    if (!request.enlarge) scale = std::min(scale, 1.0);
    CellCount cells;
    cells.columns = std::clamp(static_cast<int>(std::lround(w * scale)), 1, maxColumns);
    cells.rows = std::max(static_cast<int>(std::lround(h * scale / request.cellAspect)), 1);
    if (request.rows > 0) cells.rows = std::min(cells.rows, request.rows);
    return cells;
}

FitRequest windowFit(int columns, int rows, double cellAspect, bool widthOnly) {
    FitRequest request;
    request.columns = columns;
    request.rows = widthOnly ? 0 : std::max(rows - 1, 1);
    request.cellAspect = cellAspect;
    return request;
}

double cellAspectOf(int cellWidth, int cellHeight, double fallback) {
    if (cellWidth < 1 || cellHeight < 1) return fallback;
    const double aspect = static_cast<double>(cellHeight) / cellWidth;
    return aspect >= minCellAspect && aspect <= maxCellAspect ? aspect : fallback;
}

}  // namespace vantrel
