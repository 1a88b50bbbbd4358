#include "tools/cell_frames.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

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

std::string readCellFrames(const char* path, std::size_t maxFrames, std::vector<CellBuffer>& frames) {
    frames.clear();
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return std::string("cannot open: ") + std::strerror(errno);
    const auto reader = std::make_unique<CellFrameReader>();
    std::uint8_t chunk[16384];
    bool tooMany = false;
    std::size_t got;
    while (!tooMany && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        reader->feed(chunk, got, [&](const CellBuffer& frame) {
            if (frames.size() < maxFrames) frames.push_back(frame);
            else tooMany = true;
        });
    }
    const int readError = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (readError != 0) return std::string("cannot read: ") + std::strerror(readError);
    if (tooMany) return "more than " + std::to_string(maxFrames) + " frames";
    if (reader->pendingBytes() != 0) {
        return "ends in part of a frame (" + std::to_string(reader->pendingBytes()) + " of " +
               std::to_string(cellFrameBytes) + " bytes)";
    }
    return {};
}

std::vector<CellBuffer> readCellFrames(const char* path) {
    std::vector<CellBuffer> frames;
    if (!readCellFrames(path, 65536, frames).empty()) frames.clear();
    return frames;
}

}  // namespace vantrel
