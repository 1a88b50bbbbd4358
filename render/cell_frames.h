// Cell frames as files hold them (lines-capture --cells, golden frames,
// recorded flights): 4000 little-endian 16-bit cells a frame, row-major.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vantrel/cell.h"

namespace vantrel {

inline constexpr std::size_t cellFrameBytes = cellCount * 2;

void encodeCellFrame(const CellBuffer& cells, std::uint8_t* bytes);
CellBuffer decodeCellFrame(const std::uint8_t* bytes);

// Every whole frame in the file; empty when it cannot be read.
std::vector<CellBuffer> readCellFrames(const char* path);

}  // namespace vantrel
