// Cell frames as files hold them (lines-capture --cells, golden frames,
// recorded flights): 4000 little-endian 16-bit cells a frame, row-major.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "vantrel/cell.h"

namespace vantrel {

inline constexpr std::size_t cellFrameBytes = cellCount * 2;

void encodeCellFrame(const CellBuffer& cells, std::uint8_t* bytes);
CellBuffer decodeCellFrame(const std::uint8_t* bytes);

// Cuts a stream of bytes that arrives in pieces of any size into frames,
// through one frame's worth of buffer.
class CellFrameReader {
public:
    // Takes the next bytes; calls onFrame(const CellBuffer&) for every frame
    // they complete, in order.
    template <class OnFrame>
    void feed(const std::uint8_t* bytes, std::size_t size, OnFrame&& onFrame) {
        while (size > 0) {
            const std::size_t room = cellFrameBytes - pending_;
            const std::size_t take = size < room ? size : room;
            for (std::size_t i = 0; i < take; ++i) partial_[pending_ + i] = bytes[i];
            pending_ += take;
            bytes += take;
            size -= take;
            if (pending_ == cellFrameBytes) {
                pending_ = 0;
                onFrame(decodeCellFrame(partial_));
            }
        }
    }
    // Bytes of a frame begun but not complete.
    std::size_t pendingBytes() const { return pending_; }

private:
    std::size_t pending_ = 0;
    std::uint8_t partial_[cellFrameBytes];
};

// Reads the frames of a file into `frames`, at most maxFrames of them.
// Returns an empty string, or what is wrong: the file cannot be read, ends in
// part of a frame, or holds more than maxFrames frames.
std::string readCellFrames(const char* path, std::size_t maxFrames, std::vector<CellBuffer>& frames);

// Every frame of a file of at most 65536 frames; empty when it cannot be read
// whole.
std::vector<CellBuffer> readCellFrames(const char* path);

}  // namespace vantrel
