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

}  // namespace vantrel
