// Internal: error diffusion for the mosaic, at sample resolution. Cells are
// decided one at a time in serpentine order (even rows left to right, odd
// rows right to left). A cell is decided on the light wanted of each of its
// samples, the picture's plus the error carried to it, held to 0..1; the
// error of each sample, wanted less shown, is then carried on, a share
// `carried` of it, in Floyd and Steinberg's proportions but keeping its place
// inside the cell:
//   7/16 to the cell ahead, each sample row's error along the same row;
//   5/16 to the cell below, each sample column's error down the same column;
//   3/16 and 1/16 to the cells below behind and below ahead, spread evenly.
// Errors that would leave the grid are dropped. Everything in linear light.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

#include "vantrel/linear_light.h"

namespace vantrel {

class MosaicDiffusion {
public:
    static constexpr int side = 8;  // samples a cell, each way
    static constexpr int cellSamples = side * side;

    explicit MosaicDiffusion(float carried) : carried_(carried) {}

    // Room for rows of `columns` cells; allocates only when it grows.
    void reserve(int columns) {
        const auto need = static_cast<std::size_t>(columns) * cellSamples;
        if (current_.size() < need) {
            current_.resize(need);
            next_.resize(need);
        }
    }

    // `samples`: columns * 8 x rows * 8, row y at samples[y * stride].
    // decide(column, row, wanted, shown) is called once a cell, in
    // serpentine order, with the cell's 64 wanted samples (row-major) and
    // writes the 64 samples the chosen cell shows. Call reserve first.
    template <class Decide>
    void run(const LinearRgb* samples, std::ptrdiff_t stride, int columns, int rows, Decide&& decide) {
        const auto used = static_cast<std::size_t>(columns) * cellSamples;
        std::fill_n(current_.begin(), used, LinearRgb{0, 0, 0});
        std::array<LinearRgb, cellSamples> wanted;
        std::array<LinearRgb, cellSamples> shown;
        for (int r = 0; r < rows; ++r) {
            std::fill_n(next_.begin(), used, LinearRgb{0, 0, 0});
            const bool leftward = (r & 1) != 0;
            const int step = leftward ? -1 : 1;
            const bool hasBelow = r + 1 < rows;
            for (int i = 0; i < columns; ++i) {
                const int c = leftward ? columns - 1 - i : i;
                LinearRgb* carriedIn = &current_[static_cast<std::size_t>(c) * cellSamples];
                for (int y = 0; y < side; ++y) {
                    const LinearRgb* in = samples + (static_cast<std::ptrdiff_t>(r) * side + y) * stride + c * side;
                    for (int x = 0; x < side; ++x) {
                        const LinearRgb e = carriedIn[y * side + x];
                        wanted[static_cast<std::size_t>(y * side + x)] = {clamp(in[x].red + e.red),
                                                                          clamp(in[x].green + e.green),
                                                                          clamp(in[x].blue + e.blue)};
                    }
                }
                decide(c, r, wanted.data(), shown.data());
                // Each sample row's and column's error, and the whole cell's.
                std::array<LinearRgb, side> rowError{};
                std::array<LinearRgb, side> columnError{};
                for (int y = 0; y < side; ++y) {
                    for (int x = 0; x < side; ++x) {
                        const auto k = static_cast<std::size_t>(y * side + x);
                        const LinearRgb e{wanted[k].red - shown[k].red, wanted[k].green - shown[k].green,
                                          wanted[k].blue - shown[k].blue};
                        add(rowError[static_cast<std::size_t>(y)], e, 1.0f);
                        add(columnError[static_cast<std::size_t>(x)], e, 1.0f);
                    }
                }
                LinearRgb total{0, 0, 0};
                for (const LinearRgb& e : rowError) add(total, e, 1.0f);
                const int ahead = c + step;
                const int behind = c - step;
                const bool hasAhead = ahead >= 0 && ahead < columns;
                const bool hasBehind = behind >= 0 && behind < columns;
                if (hasAhead) {
                    LinearRgb* to = &current_[static_cast<std::size_t>(ahead) * cellSamples];
                    for (int y = 0; y < side; ++y) {
                        for (int x = 0; x < side; ++x) add(to[y * side + x], rowError[static_cast<std::size_t>(y)], carried_ * 7.0f / 16.0f / side);
                    }
                }
                if (!hasBelow) continue;
                LinearRgb* below = &next_[static_cast<std::size_t>(c) * cellSamples];
                for (int y = 0; y < side; ++y) {
                    for (int x = 0; x < side; ++x) add(below[y * side + x], columnError[static_cast<std::size_t>(x)], carried_ * 5.0f / 16.0f / side);
                }
                if (hasBehind) {
                    LinearRgb* to = &next_[static_cast<std::size_t>(behind) * cellSamples];
                    for (int k = 0; k < cellSamples; ++k) add(to[k], total, carried_ * 3.0f / 16.0f / cellSamples);
                }
                if (hasAhead) {
                    LinearRgb* to = &next_[static_cast<std::size_t>(ahead) * cellSamples];
                    for (int k = 0; k < cellSamples; ++k) add(to[k], total, carried_ * 1.0f / 16.0f / cellSamples);
                }
            }
            std::swap(current_, next_);
        }
    }

private:
    static float clamp(float v) { return std::min(std::max(v, 0.0f), 1.0f); }
    static void add(LinearRgb& to, const LinearRgb& e, float share) {
        to.red += e.red * share;
        to.green += e.green * share;
        to.blue += e.blue * share;
    }

    float carried_;
    std::vector<LinearRgb> current_;  // the error carried to each sample of this row of cells
    std::vector<LinearRgb> next_;     // and of the next
};

}  // namespace vantrel
