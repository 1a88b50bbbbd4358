// Cell frames for the terminal tests: a recorded flight and random frames.
#pragma once

#include <vector>

#include "vantrel/cell.h"

// tests/terminal_flight.cells: frames 41 to 72 of the benchmark's flight
// (bench/flight600.input), recorded with
//   lines-capture --frames 600 --input bench/flight600.input --cells FILE
// and cut out with dd bs=8000 skip=40 count=32.
std::vector<vantrel::CellBuffer> recordedFlight();

// Random characters and attributes: every few frames a wholly new frame,
// in between a few percent of the cells changed. Row-major grids of
// columns x rows cells, or 80x50 frames.
std::vector<std::vector<vantrel::Cell>> randomGrids(int columns, int rows, int frames, unsigned seed);
std::vector<vantrel::CellBuffer> randomFrames(int frames, unsigned seed);
