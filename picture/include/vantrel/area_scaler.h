// Scaling a picture to any size by area averaging in linear light: each
// output pixel is the mean of the source area it covers, partly covered
// source pixels weighted by the part covered, with light added up as light
// (sRGB decoded before averaging, encoded after). So a fine pattern keeps
// its true brightness: black and white pixels average to the grey that
// looks like them from afar (sRGB 188), not to 128. A picture with alpha is
// laid over a background colour first, in linear light.
//
// The work follows the picture: of the two orders (each source row scaled
// across, then rows summed; or rows summed at the source's width, then each
// sum scaled across) the one with fewer steps for the sizes is taken, so
// that a picture much taller than wide, shown wide, is not widened row by
// row. The spans and the scratch rows are made when the sizes change;
// scaling allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vantrel/byte_image.h"
#include "vantrel/linear_light.h"
#include "vantrel/pixel.h"

namespace vantrel {

class AreaScaler {
public:
    // From sourceWidth x sourceHeight to targetWidth x targetHeight pixels;
    // values below 1 count as 1. Allocates when the sizes differ from the
    // last ones.
    void setSizes(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight);

    int sourceWidth() const { return sourceWidth_; }
    int sourceHeight() const { return sourceHeight_; }
    int targetWidth() const { return static_cast<int>(columns_.size()); }
    int targetHeight() const { return static_cast<int>(rows_.size()); }

    // The colour under transparent pixels (PixelLayout::rgba), in linear
    // light; black until set.
    void setBackground(LinearRgb background) { background_ = background; }

    // `picture` (of the source size set) to the target pixels, row r at
    // out[r * outStride]: as sRGB pixels (the fourth byte 0), or in linear
    // light. False, writing nothing, when the picture is invalid, is not of
    // the source size, `out` is null or outStride < targetWidth().
    bool scale(const ByteImage& picture, Pixel* out, std::ptrdiff_t outStride);
    bool scaleLinear(const ByteImage& picture, LinearRgb* out, std::ptrdiff_t outStride);
    // Target rows firstRow to firstRow + rowCount - 1 only, firstRow at out:
    // the same values as those rows of the whole. False, writing nothing,
    // also when the rows are not all within the target.
    bool scaleLinear(const ByteImage& picture, LinearRgb* out, std::ptrdiff_t outStride, int firstRow, int rowCount);

    // The steps one scaling takes for the sizes set (source pixels read plus
    // weighted sums made, per channel): what the choice of order minimises.
    std::int64_t steps() const { return steps_; }

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
    bool fits(const ByteImage& picture, const void* out, std::ptrdiff_t outStride) const;
    // Sums each target row from firstRow to endRow - 1 in turn and hands it
    // to writeRow(y, sums): 3 floats a pixel.
    template <class WriteRow>
    void scaleRows(const ByteImage& picture, int firstRow, int endRow, WriteRow writeRow, float* direct = nullptr,
                   std::ptrdiff_t directStride = 0);
    // With `direct`, the sums of target row y are made in place at
    // direct + (y - firstRow) * directStride (3 floats a pixel) and writeRow
    // is not called.
    template <PixelLayout layout, class WriteRow>
    void scaleRowsAs(const ByteImage& picture, int firstRow, int endRow, WriteRow writeRow, float* direct,
                     std::ptrdiff_t directStride);
    template <PixelLayout layout>
    void acrossRow(const ByteImage& picture, int y, float* out) const;

    int sourceWidth_ = 0;
    int sourceHeight_ = 0;
    bool rowsFirst_ = false;  // sum rows at the source's width first
    // Every target column lies within one source column (no narrowing
    // across), and wholeColumns_: target column i is source column i.
    bool singleColumns_ = false;
    bool wholeColumns_ = false;
    std::int64_t steps_ = 0;
    LinearRgb background_{0, 0, 0};
    std::vector<Span> columns_;
    std::vector<Span> rows_;
    // Two source rows scaled across (3 floats a target pixel each), odd
    // rows in the second half, and which rows they hold.
    std::vector<float> rowCache_;
    int cachedRows_[2] = {-1, -1};
    std::vector<float> rowSum_;    // rows first: the source rows of one target row summed, 3 floats a source pixel
    std::vector<float> sum_;       // one target row being summed
};

}  // namespace vantrel
