// Cell frames for the terminal tests: a drawn flight (mostly black, lines
// and points that move from frame to frame, a gauge) and random frames.
#pragma once

#include <vector>

#include "render/cell.h"

// Lines turning about the centre, drifting points and a growing gauge,
// drawn with the antialiased line drawing and converted by the shade renderer.
std::vector<CellBuffer> drawnFlight(int frames);

// Random characters and attributes: every few frames a wholly new frame,
// in between a few percent of the cells changed.
std::vector<CellBuffer> randomFrames(int frames, unsigned seed);
