#include "vantrel/error_diffusion.h"

#include <algorithm>
#include <cmath>

#include "picture/srgb_encoding.h"

namespace vantrel {

ErrorDiffusion::ErrorDiffusion(Decide decide, const ConsoleColours& colours, bool grey, float greyScale)
    : decide_(std::move(decide)), colours_(colours), grey_(grey), greyScale_(greyScale) {}

void ErrorDiffusion::setSize(int columns, int rows, BlockSize block) {
    if (columns == columns_ && rows == rows_ && static_cast<int>(block) == block_ && !errorRows_.empty()) return;
    columns_ = columns;
    rows_ = rows;
    block_ = static_cast<int>(block);
    errorRows_.assign(static_cast<std::size_t>(columns + 2) * 2, LinearRgb{0, 0, 0});
    wanted_.assign(static_cast<std::size_t>(block_ * block_), LinearRgb{0, 0, 0});
    handed_.assign(wanted_.size(), Pixel{});
}

namespace {

std::uint8_t proportionalByte(float share) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(share, 0.0f, 1.0f) * 255.0f));
}

void addShare(LinearRgb& to, const LinearRgb& error, float share) {
    to.red += error.red * share;
    to.green += error.green * share;
    to.blue += error.blue * share;
}

}  // namespace

void ErrorDiffusion::convert(const Pixel* samples, int stride, Cell* cells) {
    const std::size_t width = static_cast<std::size_t>(columns_) + 2;
    std::fill(errorRows_.begin(), errorRows_.end(), LinearRgb{0, 0, 0});
    const float top = grey_ ? greyScale_ : 1.0f;
    const float pixelCount = static_cast<float>(block_ * block_);
    for (int row = 0; row < rows_; ++row) {
        LinearRgb* here = errorRows_.data() + (row % 2) * width + 1;
        LinearRgb* next = errorRows_.data() + ((row + 1) % 2) * width + 1;
        std::fill(next - 1, next - 1 + width, LinearRgb{0, 0, 0});
        const int step = row % 2 == 0 ? 1 : -1;
        for (int i = 0; i < columns_; ++i) {
            const int column = step > 0 ? i : columns_ - 1 - i;
            const LinearRgb carried = here[column];
            LinearRgb mean{0, 0, 0};
            for (int y = 0; y < block_; ++y) {
                const Pixel* p = samples + static_cast<std::ptrdiff_t>(row * block_ + y) * stride + column * block_;
                for (int x = 0; x < block_; ++x) {
                    LinearRgb v;
                    Pixel& out = handed_[static_cast<std::size_t>(y * block_ + x)];
                    if (grey_) {
                        const float g = std::clamp(srgbToLinear(p[x].green) * greyScale_ + carried.green, 0.0f, top);
                        v = {g, g, g};
                        const std::uint8_t byte = proportionalByte(g / greyScale_);
                        out = Pixel{byte, byte, byte, 0};
                    } else {
                        v = {std::clamp(srgbToLinear(p[x].red) + carried.red, 0.0f, 1.0f),
                             std::clamp(srgbToLinear(p[x].green) + carried.green, 0.0f, 1.0f),
                             std::clamp(srgbToLinear(p[x].blue) + carried.blue, 0.0f, 1.0f)};
                        out = Pixel{encodeSrgb(v.red), encodeSrgb(v.green), encodeSrgb(v.blue), 0};
                    }
                    addShare(mean, v, 1.0f / pixelCount);
                }
            }
            const Cell cell = decide_(PixelImage{handed_.data(), block_, block_, block_});
            cells[static_cast<std::ptrdiff_t>(row) * columns_ + column] = cell;
            const LinearRgb seen = colours_.seen(cell);
            LinearRgb error{mean.red - seen.red, mean.green - seen.green, mean.blue - seen.blue};
            if (grey_) error.red = error.blue = error.green;
            addShare(here[column + step], error, carriedShare * 7.0f / 16.0f);
            addShare(next[column - step], error, carriedShare * 3.0f / 16.0f);
            addShare(next[column], error, carriedShare * 5.0f / 16.0f);
            addShare(next[column + step], error, carriedShare * 1.0f / 16.0f);
        }
    }
}

}  // namespace vantrel
