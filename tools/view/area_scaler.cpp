#include "tools/view/area_scaler.h"

#include <algorithm>

#include "tools/view/srgb_encoding.h"

namespace vantrel {

// Target pixel i covers the source from i * source / target to
// (i + 1) * source / target. In units of 1 / target of a source pixel, it
// covers [i * source, (i + 1) * source) and source pixel s covers
// [s * target, (s + 1) * target): integers, so the overlaps are exact.
void AreaScaler::makeSpans(int source, int target, std::vector<Span>& spans) {
    spans.assign(static_cast<std::size_t>(target), Span{});
    const std::int64_t s = source;
    const std::int64_t t = target;
    const float unit = 1.0f / static_cast<float>(source);  // the share of one unit of overlap
    for (std::int64_t i = 0; i < t; ++i) {
        const std::int64_t begin = i * s;
        const std::int64_t end = begin + s;
        Span& span = spans[static_cast<std::size_t>(i)];
        span.first = static_cast<int>(begin / t);
        span.last = static_cast<int>((end - 1) / t);
        span.innerWeight = static_cast<float>(t) * unit;
        if (span.first == span.last) {
            span.firstWeight = 1.0f;
        } else {
            span.firstWeight = static_cast<float>((span.first + 1) * t - begin) * unit;
            span.lastWeight = static_cast<float>(end - span.last * t) * unit;
        }
    }
}

void AreaScaler::setSizes(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight) {
    makeSpans(std::max(sourceWidth, 1), std::max(targetWidth, 1), columns_);
    makeSpans(std::max(sourceHeight, 1), std::max(targetHeight, 1), rows_);
    rowCache_.assign(columns_.size() * 3, 0.0f);
    sum_.assign(columns_.size() * 3, 0.0f);
    cachedRow_ = -1;
}

// Source row y scaled across, in linear light; the last one is kept, since
// neighbouring target rows share their border source row.
const float* AreaScaler::sourceRow(int y, const std::uint8_t* rgb, std::ptrdiff_t rowBytes) {
    if (y == cachedRow_) return rowCache_.data();
    const std::uint8_t* row = rgb + y * rowBytes;
    const float* linear = srgbToLinearTable.data();
    float* out = rowCache_.data();
    for (const Span& span : columns_) {
        const std::uint8_t* p = row + span.first * 3;
        float r = linear[p[0]] * span.firstWeight;
        float g = linear[p[1]] * span.firstWeight;
        float b = linear[p[2]] * span.firstWeight;
        if (span.last > span.first) {
            // Two sums a channel, every other pixel, so that the additions
            // need not wait on each other.
            float ir = 0, ig = 0, ib = 0, jr = 0, jg = 0, jb = 0;
            const std::uint8_t* end = row + span.last * 3;
            for (p += 3; p + 3 < end; p += 6) {
                ir += linear[p[0]];
                ig += linear[p[1]];
                ib += linear[p[2]];
                jr += linear[p[3]];
                jg += linear[p[4]];
                jb += linear[p[5]];
            }
            if (p < end) {
                ir += linear[p[0]];
                ig += linear[p[1]];
                ib += linear[p[2]];
                p += 3;
            }
            ir += jr;
            ig += jg;
            ib += jb;
            r += ir * span.innerWeight + linear[p[0]] * span.lastWeight;
            g += ig * span.innerWeight + linear[p[1]] * span.lastWeight;
            b += ib * span.innerWeight + linear[p[2]] * span.lastWeight;
        }
        out[0] = r;
        out[1] = g;
        out[2] = b;
        out += 3;
    }
    cachedRow_ = y;
    return rowCache_.data();
}

// Target row y, summed into sum_.
void AreaScaler::scaleRow(int y, const std::uint8_t* rgb, std::ptrdiff_t rowBytes) {
    const Span& span = rows_[static_cast<std::size_t>(y)];
    const std::size_t n = sum_.size();
    float* sum = sum_.data();
    const float* first = sourceRow(span.first, rgb, rowBytes);
    for (std::size_t i = 0; i < n; ++i) sum[i] = first[i] * span.firstWeight;
    if (span.last == span.first) return;
    for (int sy = span.first + 1; sy < span.last; ++sy) {
        const float* row = sourceRow(sy, rgb, rowBytes);
        for (std::size_t i = 0; i < n; ++i) sum[i] += row[i] * span.innerWeight;
    }
    const float* last = sourceRow(span.last, rgb, rowBytes);
    for (std::size_t i = 0; i < n; ++i) sum[i] += last[i] * span.lastWeight;
}

template <class WriteRow>
void AreaScaler::scaleRows(const std::uint8_t* rgb, std::ptrdiff_t rowBytes, WriteRow writeRow) {
    cachedRow_ = -1;
    for (int y = 0; y < targetHeight(); ++y) {
        scaleRow(y, rgb, rowBytes);
        writeRow(y, sum_.data());
    }
}

void AreaScaler::scale(const std::uint8_t* rgb, std::ptrdiff_t rowBytes, Pixel* out, std::ptrdiff_t outStride) {
    const SrgbEncoding& encoding = SrgbEncoding::table();
    scaleRows(rgb, rowBytes, [&](int y, const float* sum) {
        Pixel* row = out + y * outStride;
        for (int x = 0; x < targetWidth(); ++x, sum += 3) {
            row[x] = Pixel{encoding.encode(sum[0]), encoding.encode(sum[1]), encoding.encode(sum[2]), 0};
        }
    });
}

void AreaScaler::scaleLinear(const std::uint8_t* rgb, std::ptrdiff_t rowBytes, LinearRgb* out,
                             std::ptrdiff_t outStride) {
    scaleRows(rgb, rowBytes, [&](int y, const float* sum) {
        LinearRgb* row = out + y * outStride;
        for (int x = 0; x < targetWidth(); ++x, sum += 3) row[x] = LinearRgb{sum[0], sum[1], sum[2]};
    });
}

}  // namespace vantrel
