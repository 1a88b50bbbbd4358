#include "render/cell_frames.h"

#include <cstdio>

namespace vantrel {

void encodeCellFrame(const CellBuffer& cells, std::uint8_t* bytes) {
    for (std::size_t k = 0; k < cells.size(); ++k) {
        bytes[2 * k] = cellCharacter(cells[k]);
        bytes[2 * k + 1] = cellAttribute(cells[k]);
    }
}

CellBuffer decodeCellFrame(const std::uint8_t* bytes) {
    CellBuffer cells;
    for (std::size_t k = 0; k < cells.size(); ++k) cells[k] = makeCell(bytes[2 * k], bytes[2 * k + 1]);
    return cells;
}

std::vector<CellBuffer> readCellFrames(const char* path) {
    std::vector<CellBuffer> frames;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return frames;
    std::uint8_t bytes[cellFrameBytes];
    while (std::fread(bytes, sizeof bytes, 1, file) == 1) frames.push_back(decodeCellFrame(bytes));
    std::fclose(file);
    return frames;
}

}  // namespace vantrel
