#include "tests/test_frames.h"

#include <cstdio>
#include <random>

std::vector<CellBuffer> recordedFlight() {
    std::vector<CellBuffer> frames;
    std::FILE* f = std::fopen(VANTREL_TERMINAL_FLIGHT, "rb");
    if (f == nullptr) return frames;
    unsigned char bytes[cellCount * 2];
    while (std::fread(bytes, sizeof bytes, 1, f) == 1) {
        CellBuffer& frame = frames.emplace_back();
        for (std::size_t i = 0; i < frame.size(); ++i) {
            frame[i] = static_cast<Cell>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        }
    }
    std::fclose(f);
    return frames;
}

std::vector<CellBuffer> randomFrames(int frames, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<CellBuffer> out(static_cast<std::size_t>(frames));
    CellBuffer current{};
    for (int f = 0; f < frames; ++f) {
        if (f % 5 == 0) {
            for (Cell& c : current) c = static_cast<Cell>(rng());
        } else {
            for (int n = 0; n < 200; ++n) current[rng() % cellCount] = static_cast<Cell>(rng());
        }
        out[static_cast<std::size_t>(f)] = current;
    }
    return out;
}
