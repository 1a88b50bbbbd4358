// Scaling a picture to any size by area averaging in linear light: each
// output pixel is the mean of the source area it covers, partly covered
// source pixels weighted by the part covered, with light added up as light
// (sRGB decoded before averaging, encoded after). So a fine pattern keeps
// its true brightness: black and white pixels average to the grey that
// looks like them from afar (sRGB 188), not to 128.
//
// The tables are built when the sizes are set; scaling allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vantrel/linear_light.h"
#include "vantrel/pixel.h"

namespace vantrel {

class AreaScaler {
public:
    // From sourceWidth x sourceHeight to targetWidth x targetHeight pixels,
    // all at least 1.
    void setSizes(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight);

    int targetWidth() const { return static_cast<int>(columns_.size()); }
    int targetHeight() const { return static_cast<int>(rows_.size()); }

    // `rgb`: the source, 3 bytes a pixel (sRGB red, green, blue), rows
    // rowBytes apart. The target pixels, row r at out[r * outStride]: as
    // sRGB pixels (the fourth byte 0), or in linear light.
    void scale(const std::uint8_t* rgb, std::ptrdiff_t rowBytes, Pixel* out, std::ptrdiff_t outStride);
    void scaleLinear(const std::uint8_t* rgb, std::ptrdiff_t rowBytes, LinearRgb* out, std::ptrdiff_t outStride);

private:
    // The source pixels under one target pixel, with the share of each:
    // first and last partly covered, those between wholly.
    struct Span {
        int first = 0;
        int last = 0;
        float firstWeight = 0;
        float lastWeight = 0;  // 0 when first == last
        float innerWeight = 0;
    };
    static void makeSpans(int source, int target, std::vector<Span>& spans);
    // Sums each target row in turn and hands it to writeRow(y, sums): 3 floats a pixel.
    template <class WriteRow>
    void scaleRows(const std::uint8_t* rgb, std::ptrdiff_t rowBytes, WriteRow writeRow);
    void scaleRow(int y, const std::uint8_t* rgb, std::ptrdiff_t rowBytes);
    const float* sourceRow(int y, const std::uint8_t* rgb, std::ptrdiff_t rowBytes);

    std::vector<Span> columns_;
    std::vector<Span> rows_;
    std::vector<float> rowCache_;  // one source row scaled across: 3 floats a target pixel
    int cachedRow_ = -1;
    std::vector<float> sum_;       // one target row being summed
};

}  // namespace vantrel
