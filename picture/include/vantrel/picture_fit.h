// How many cells a picture takes.
#pragma once

namespace vantrel {

struct CellCount {
    int columns = 0;
    int rows = 0;
};

struct FitRequest {
    int columns = 80;         // at most this many columns
    int rows = 0;             // at most this many rows; 0: as many as the aspect asks
    double cellAspect = 2.0;  // a cell's height over its width
    bool stretch = false;     // take exactly columns x rows (rows must then be set)
    bool enlarge = false;     // may show a pixel across more than one cell column
};

// The cells for a picture of width x height pixels (both at least 1): the
// largest grid within the request that keeps the picture's shape, with
// cells cellAspect times as tall as wide; at least one cell each way.
// Without `enlarge`, no more columns than the picture has pixels across.
CellCount fitPicture(int width, int height, const FitRequest& request);

// The request for a picture printed inline in a terminal window of columns
// x rows cells: within all of its columns and all of its rows but the last,
// which is kept for the prompt that follows (at least one row); with
// `widthOnly`, within its columns alone, however many rows that takes (a
// tall picture to be scrolled).
FitRequest windowFit(int columns, int rows, double cellAspect, bool widthOnly = false);

// The narrowest and widest cell aspects taken as real.
inline constexpr double minCellAspect = 0.25;
inline constexpr double maxCellAspect = 8.0;

// The aspect (height over width) of cells cellWidth x cellHeight pixels, as
// a terminal tells them; `fallback` when either side is below 1 or the
// aspect lies outside minCellAspect..maxCellAspect.
double cellAspectOf(int cellWidth, int cellHeight, double fallback = 2.0);

}  // namespace vantrel
