#include "vantrel/area_scaler.h"

#include <algorithm>
#include <cstring>

#include "picture/srgb_encoding.h"

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
    sourceWidth = std::max(sourceWidth, 1);
    sourceHeight = std::max(sourceHeight, 1);
    targetWidth = std::max(targetWidth, 1);
    targetHeight = std::max(targetHeight, 1);
    if (sourceWidth == sourceWidth_ && sourceHeight == sourceHeight_ && targetWidth == this->targetWidth() &&
        targetHeight == this->targetHeight()) {
        return;
    }
    sourceWidth_ = sourceWidth;
    sourceHeight_ = sourceHeight;
    makeSpans(sourceWidth, targetWidth, columns_);
    makeSpans(sourceHeight, targetHeight, rows_);
    // Across first: every source row read and scaled across, then each target
    // row summed from the scaled rows under it. Rows first: the rows under
    // each target row summed at the source's width, then the sum scaled
    // across. A span reaches at most one pixel past its share on either side.
    const std::int64_t sw = sourceWidth, sh = sourceHeight, tw = targetWidth, th = targetHeight;
    const std::int64_t acrossFirst = sh * (sw + tw) + (sh + th) * tw;
    const std::int64_t rowsFirst = (sh + th) * sw + th * (sw + tw);
    rowsFirst_ = rowsFirst < acrossFirst;
    steps_ = std::min(acrossFirst, rowsFirst);
    rowCache_.assign(columns_.size() * 6, 0.0f);
    singleColumns_ = std::all_of(columns_.begin(), columns_.end(), [](const Span& c) { return c.first == c.last; });
    wholeColumns_ = targetWidth == sourceWidth;
    sum_.assign(columns_.size() * 3, 0.0f);
    rowSum_.assign(rowsFirst_ ? static_cast<std::size_t>(sourceWidth) * 3 : 0, 0.0f);
}

namespace {

// Reads source pixels in linear light: from the picture's bytes in each
// layout, or from a row of sums.
template <PixelLayout layout>
struct ByteRow {
    const std::uint8_t* row;
    const float* linear;
    LinearRgb background;

    void read(int x, float& r, float& g, float& b) const {
        const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x) * bytesPerPixel(layout);
        if constexpr (layout == PixelLayout::rgba) {
            const float alpha = static_cast<float>(p[3]) * (1.0f / 255.0f);
            const float rest = 1.0f - alpha;
            r = linear[p[0]] * alpha + background.red * rest;
            g = linear[p[1]] * alpha + background.green * rest;
            b = linear[p[2]] * alpha + background.blue * rest;
        } else {
            r = linear[p[0]];
            g = linear[p[1]];
            b = linear[p[2]];
        }
    }
};

struct FloatRow {
    const float* row;

    void read(int x, float& r, float& g, float& b) const {
        const float* p = row + static_cast<std::ptrdiff_t>(x) * 3;
        r = p[0];
        g = p[1];
        b = p[2];
    }
};

template <class Row, class Span>
void across(const Row& source, const std::vector<Span>& spans, float* out) {
    for (const Span& span : spans) {
        float r, g, b;
        source.read(span.first, r, g, b);
        r *= span.firstWeight;
        g *= span.firstWeight;
        b *= span.firstWeight;
        if (span.last > span.first) {
            // Two sums a channel, every other pixel, so that the additions
            // need not wait on each other.
            float ir = 0, ig = 0, ib = 0, jr = 0, jg = 0, jb = 0;
            int x = span.first + 1;
            for (; x + 1 < span.last; x += 2) {
                float pr, pg, pb, qr, qg, qb;
                source.read(x, pr, pg, pb);
                source.read(x + 1, qr, qg, qb);
                ir += pr;
                ig += pg;
                ib += pb;
                jr += qr;
                jg += qg;
                jb += qb;
            }
            if (x < span.last) {
                float pr, pg, pb;
                source.read(x, pr, pg, pb);
                ir += pr;
                ig += pg;
                ib += pb;
            }
            ir += jr;
            ig += jg;
            ib += jb;
            float lr, lg, lb;
            source.read(span.last, lr, lg, lb);
            r += ir * span.innerWeight + lr * span.lastWeight;
            g += ig * span.innerWeight + lg * span.lastWeight;
            b += ib * span.innerWeight + lb * span.lastWeight;
        }
        out[0] = r;
        out[1] = g;
        out[2] = b;
        out += 3;
    }
}

// Four floats at a time (on any processor the compiler splits or joins
// them as it can): each element gets exactly the operations of one float.
using Floats = float __attribute__((vector_size(16)));
inline Floats load(const float* p) {
    Floats v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void store(float* p, Floats v) { std::memcpy(p, &v, sizeof v); }
inline Floats splat(float f) { return Floats{f, f, f, f}; }

// sum[i] = row[i] * weight (first) or sum[i] += row[i] * weight.
void weighted(float* sum, const float* row, std::size_t n, float weight, bool first) {
    const Floats w = splat(weight);
    std::size_t i = 0;
    if (first) {
        for (; i + 4 <= n; i += 4) store(sum + i, load(row + i) * w);
        for (; i < n; ++i) sum[i] = row[i] * weight;
    } else {
        for (; i + 4 <= n; i += 4) store(sum + i, load(sum + i) + load(row + i) * w);
        for (; i < n; ++i) sum[i] += row[i] * weight;
    }
}

// sum[i] = a[i] * wa + b[i] * wb.
void weighted2(float* sum, const float* a, float wa, const float* b, float wb, std::size_t n) {
    const Floats va = splat(wa), vb = splat(wb);
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) store(sum + i, load(a + i) * va + load(b + i) * vb);
    for (; i < n; ++i) sum[i] = a[i] * wa + b[i] * wb;
}

}  // namespace

template <PixelLayout layout, class WriteRow>
void AreaScaler::scaleRowsAs(const ByteImage& picture, int firstRow, int endRow, WriteRow writeRow, float* direct,
                             std::ptrdiff_t directStride) {
    const float* linear = srgbToLinearTable.data();
    const auto source = [&](int y) { return ByteRow<layout>{picture.row(y), linear, background_}; };
    if (rowsFirst_) {
        // The source rows of each target row summed at full width, then the
        // sum scaled across.
        float* sum = rowSum_.data();
        for (int y = firstRow; y < endRow; ++y) {
            const Span& span = rows_[static_cast<std::size_t>(y)];
            for (int sy = span.first; sy <= span.last; ++sy) {
                const float weight = sy == span.first  ? span.firstWeight
                                     : sy == span.last ? span.lastWeight
                                                       : span.innerWeight;
                const ByteRow<layout> row = source(sy);
                float* s = sum;
                if (sy == span.first) {
                    for (int x = 0; x < sourceWidth_; ++x, s += 3) {
                        row.read(x, s[0], s[1], s[2]);
                        s[0] *= weight;
                        s[1] *= weight;
                        s[2] *= weight;
                    }
                } else {
                    for (int x = 0; x < sourceWidth_; ++x, s += 3) {
                        float r, g, b;
                        row.read(x, r, g, b);
                        s[0] += r * weight;
                        s[1] += g * weight;
                        s[2] += b * weight;
                    }
                }
            }
            across(FloatRow{sum}, columns_, sum_.data());
            writeRow(y, sum_.data());
        }
        return;
    }
    // Each source row scaled across once, the last two kept (neighbouring
    // target rows share their border source rows), then summed.
    cachedRows_[0] = cachedRows_[1] = -1;
    const std::size_t n = sum_.size();
    const auto scaledRow = [&](int y) {
        float* row = rowCache_.data() + (y & 1) * n;
        if (cachedRows_[y & 1] != y) {
            acrossRow<layout>(picture, y, row);
            cachedRows_[y & 1] = y;
        }
        return static_cast<const float*>(row);
    };
    for (int y = firstRow; y < endRow; ++y) {
        const Span& span = rows_[static_cast<std::size_t>(y)];
        float* sum = direct != nullptr ? direct + (y - firstRow) * directStride : sum_.data();
        if (span.last == span.first) {
            weighted(sum, scaledRow(span.first), n, span.firstWeight, true);
        } else if (span.last == span.first + 1) {
            // Two rows (as every row of an enlargement): both in one pass,
            // the same sums as one row weighted and the other added.
            const float* a = scaledRow(span.first);
            weighted2(sum, a, span.firstWeight, scaledRow(span.last), span.lastWeight, n);
        } else {
            weighted(sum, scaledRow(span.first), n, span.firstWeight, true);
            for (int sy = span.first + 1; sy < span.last; ++sy) {
                weighted(sum, scaledRow(sy), n, span.innerWeight, false);
            }
            weighted(sum, scaledRow(span.last), n, span.lastWeight, false);
        }
        if (direct == nullptr) writeRow(y, sum);
    }
}

template <PixelLayout layout>
void AreaScaler::acrossRow(const ByteImage& picture, int y, float* out) const {
    const float* linear = srgbToLinearTable.data();
    const ByteRow<layout> row{picture.row(y), linear, background_};
    if constexpr (layout == PixelLayout::rgb) {
        if (wholeColumns_) {
            // Each byte decoded by table, nothing to sum.
            const std::uint8_t* bytes = row.row;
            const std::size_t n = static_cast<std::size_t>(sourceWidth_) * 3;
            std::size_t i = 0;
            for (; i + 4 <= n; i += 4) {
                const float v0 = linear[bytes[i]], v1 = linear[bytes[i + 1]];
                const float v2 = linear[bytes[i + 2]], v3 = linear[bytes[i + 3]];
                out[i] = v0;
                out[i + 1] = v1;
                out[i + 2] = v2;
                out[i + 3] = v3;
            }
            for (; i < n; ++i) out[i] = linear[bytes[i]];
            return;
        }
    }
    if (singleColumns_) {
        // Each target pixel inside one source pixel: its colour, weight 1.
        for (const Span& span : columns_) {
            row.read(span.first, out[0], out[1], out[2]);
            out += 3;
        }
        return;
    }
    across(row, columns_, out);
}

template <class WriteRow>
void AreaScaler::scaleRows(const ByteImage& picture, int firstRow, int endRow, WriteRow writeRow, float* direct,
                           std::ptrdiff_t directStride) {
    switch (picture.layout) {
        case PixelLayout::rgb:
            scaleRowsAs<PixelLayout::rgb>(picture, firstRow, endRow, writeRow, direct, directStride);
            break;
        case PixelLayout::rgba:
            scaleRowsAs<PixelLayout::rgba>(picture, firstRow, endRow, writeRow, direct, directStride);
            break;
        case PixelLayout::rgbx:
            scaleRowsAs<PixelLayout::rgbx>(picture, firstRow, endRow, writeRow, direct, directStride);
            break;
    }
}

bool AreaScaler::fits(const ByteImage& picture, const void* out, std::ptrdiff_t outStride) const {
    return picture.valid() && picture.width == sourceWidth_ && picture.height == sourceHeight_ && out != nullptr &&
           outStride >= targetWidth() && targetWidth() > 0;
}

bool AreaScaler::scale(const ByteImage& picture, Pixel* out, std::ptrdiff_t outStride) {
    if (!fits(picture, out, outStride)) return false;
    const SrgbEncoding& encoding = SrgbEncoding::table();
    scaleRows(picture, 0, targetHeight(), [&](int y, const float* sum) {
        Pixel* row = out + y * outStride;
        for (int x = 0; x < targetWidth(); ++x, sum += 3) {
            row[x] = Pixel{encoding.encode(sum[0]), encoding.encode(sum[1]), encoding.encode(sum[2]), 0};
        }
    });
    return true;
}

bool AreaScaler::scaleLinear(const ByteImage& picture, LinearRgb* out, std::ptrdiff_t outStride) {
    return scaleLinear(picture, out, outStride, 0, targetHeight());
}

bool AreaScaler::scaleLinear(const ByteImage& picture, LinearRgb* out, std::ptrdiff_t outStride, int firstRow,
                             int rowCount) {
    if (!fits(picture, out, outStride) || firstRow < 0 || rowCount < 1 || rowCount > targetHeight() - firstRow) {
        return false;
    }
    static_assert(sizeof(LinearRgb) == 3 * sizeof(float));
    // Summed across first, each target row is made in place.
    scaleRows(
        picture, firstRow, firstRow + rowCount,
        [&](int y, const float* sum) {
            LinearRgb* row = out + (y - firstRow) * outStride;
            for (int x = 0; x < targetWidth(); ++x, sum += 3) row[x] = LinearRgb{sum[0], sum[1], sum[2]};
        },
        rowsFirst_ ? nullptr : &out->red, outStride * 3);
    return true;
}

}  // namespace vantrel
