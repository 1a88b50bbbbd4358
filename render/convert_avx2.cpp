// The AVX2 kernels of both renderers: eight table indexes at a time,
// formed exactly as the scalar kernels form them, then one gather of eight
// cells. Each function carries its own target attribute, so this file
// builds for any x86 (the 32-bit build included) and runs only when the
// processor has AVX2.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include "render/convert_kernels.h"

namespace vantrel {

namespace {

__attribute__((target("avx2"))) inline __m256i load8(const Pixel* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

__attribute__((target("avx2"))) inline __m256i splat(int v) { return _mm256_set1_epi32(v); }

// The cells at eight 32-bit indexes: each gather lane reads 32 bits at
// table + index, the cell in its low half (the table's spare cell covers the
// high half at the last index).
__attribute__((target("avx2"))) inline __m256i gatherCells(const Cell* table, __m256i index) {
    return _mm256_i32gather_epi32(reinterpret_cast<const int*>(table), index, 2);
}

// Stores the low 16 bits of the eight lanes of a, then of b, as cells.
__attribute__((target("avx2"))) inline void storeCells(Cell* dst, __m256i a, __m256i b) {
    const __m256i low = splat(0xFFFF);
    const __m256i packed = _mm256_packus_epi32(_mm256_and_si256(a, low), _mm256_and_si256(b, low));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), _mm256_permute4x64_epi64(packed, _MM_SHUFFLE(3, 1, 2, 0)));
}
__attribute__((target("avx2"))) inline void storeCells(Cell* dst, __m256i a) {
    const __m256i low = _mm256_and_si256(a, splat(0xFFFF));
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi32(low, low), _MM_SHUFFLE(3, 1, 2, 0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm256_castsi256_si128(packed));
}

// `Step` (8 or 16) cells from the blocks at `src`; Kernel::indexes forms the
// table indexes of the eight blocks at a pixel, in cell order.
template <class Kernel, int Step>
__attribute__((target("avx2"))) inline void convertStep(const Cell* table, const Pixel* src, std::ptrdiff_t stride,
                                                        Cell* dst) {
    const __m256i a = gatherCells(table, Kernel::indexes(src, stride));
    if constexpr (Step == 8) {
        storeCells(dst, a);
    } else {
        storeCells(dst, a, gatherCells(table, Kernel::indexes(src + 8 * Kernel::block, stride)));
    }
}

// The rectangle a step at a time along each row. The last step of a row ends
// at the row's end, writing again, with the same values, cells the step
// before wrote. Rows shorter than one step go to the scalar kernel.
template <class Kernel, int Step>
__attribute__((target("avx2"))) void convertRect(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst,
                                                 std::ptrdiff_t pitch, std::int32_t columns, std::int32_t rows) {
    if (columns < Step) {
        Kernel::scalar(table, src, stride, dst, pitch, columns, rows);
        return;
    }
    const std::int32_t last = columns - Step;
    for (std::int32_t j = 0; j < rows; ++j) {
        const Pixel* row = src + j * Kernel::block * stride;
        Cell* cells = dst + j * pitch;
        for (std::int32_t i = 0; i < last; i += Step)
            convertStep<Kernel, Step>(table, row + Kernel::block * i, stride, cells + i);
        convertStep<Kernel, Step>(table, row + Kernel::block * last, stride, cells + last);
    }
}

// Cells 0..7 from the lane order of one horizontal add of two vectors
// (c0 c1 c4 c5 | c2 c3 c6 c7) and of two rounds of them (c0 c2 c4 c6 | c1 c3 c5 c7).
__attribute__((target("avx2"))) inline __m256i afterOneAdd(__m256i v) {
    return _mm256_permute4x64_epi64(v, _MM_SHUFFLE(3, 1, 2, 0));
}
__attribute__((target("avx2"))) inline __m256i afterTwoAdds(__m256i v) {
    return _mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
}

// ---- Shade renderer -------------------------------------------------------

// shadeIndex on eight pixel words.
__attribute__((target("avx2"))) inline __m256i shadeIndex8(__m256i w) {
    const __m256i high = splat(0xF0);
    const __m256i red = _mm256_slli_epi32(_mm256_and_si256(w, high), 4);
    const __m256i green = _mm256_and_si256(_mm256_srli_epi32(w, 8), high);
    const __m256i blue = _mm256_and_si256(_mm256_srli_epi32(w, 20), splat(0x0F));
    return _mm256_add_epi32(_mm256_add_epi32(red, green), blue);
}

// The pixel words of `rows` rows summed down each of eight columns, under
// 0x00FF00FF (red and blue) and under 0x0000FF00 (green).
struct ColumnSums {
    __m256i redBlue;
    __m256i green;
};

template <int Rows>
__attribute__((target("avx2"))) inline ColumnSums columnSums(const Pixel* p, std::ptrdiff_t stride) {
    ColumnSums s{_mm256_setzero_si256(), _mm256_setzero_si256()};
#pragma GCC unroll 4
    for (int y = 0; y < Rows; ++y) {
        const __m256i w = load8(p + y * stride);
        s.redBlue = _mm256_add_epi32(s.redBlue, _mm256_and_si256(w, splat(0x00FF00FF)));
        s.green = _mm256_add_epi32(s.green, _mm256_and_si256(w, splat(0x0000FF00)));
    }
    return s;
}

// The index of the block averages from the channel sums of n = 4 or 16
// pixels. The scalar kernels take the top four bits of each average, the sum
// divided by n rounded down; that is the sum divided by 16n rounded down
// (floor(floor(s / n) / 16) == floor(s / 16n)), here read straight from the
// sums: with n = 2^shift, bits 4 + shift .. 7 + shift of each channel's sum.
// Red's sum sits at bit 0 and blue's at bit 16 of redBlue, green's at bit 8
// of green.
__attribute__((target("avx2"))) inline __m256i shadeSumIndex(__m256i redBlue, __m256i green, int shift) {
    const __m256i red = _mm256_and_si256(_mm256_slli_epi32(redBlue, 4 - shift), splat(0xF00));
    const __m256i g = _mm256_and_si256(_mm256_srli_epi32(green, 8 + shift), splat(0xF0));
    const __m256i blue = _mm256_and_si256(_mm256_srli_epi32(redBlue, 20 + shift), splat(0xF));
    return _mm256_or_si256(_mm256_or_si256(red, g), blue);
}

struct Shade1x1 {
    static constexpr int block = 1;
    static constexpr ConvertKernel scalar = shadeBlocks1x1;
    __attribute__((target("avx2"))) static __m256i indexes(const Pixel* p, std::ptrdiff_t) {
        return shadeIndex8(load8(p));
    }
};

// Sixteen pixel columns: the horizontal add sums the pixel pairs of each block.
struct Shade2x2 {
    static constexpr int block = 2;
    static constexpr ConvertKernel scalar = shadeBlocks2x2;
    __attribute__((target("avx2"))) static __m256i indexes(const Pixel* p, std::ptrdiff_t stride) {
        const ColumnSums a = columnSums<2>(p, stride);
        const ColumnSums b = columnSums<2>(p + 8, stride);
        return afterOneAdd(shadeSumIndex(_mm256_hadd_epi32(a.redBlue, b.redBlue),
                                             _mm256_hadd_epi32(a.green, b.green), 2));
    }
};

// Thirty-two pixel columns: two rounds of horizontal adds sum the four
// columns of each block.
struct Shade4x4 {
    static constexpr int block = 4;
    static constexpr ConvertKernel scalar = shadeBlocks4x4;
    __attribute__((target("avx2"))) static __m256i indexes(const Pixel* p, std::ptrdiff_t stride) {
        const ColumnSums a = columnSums<4>(p, stride);
        const ColumnSums b = columnSums<4>(p + 8, stride);
        const ColumnSums c = columnSums<4>(p + 16, stride);
        const ColumnSums d = columnSums<4>(p + 24, stride);
        const __m256i redBlue = _mm256_hadd_epi32(_mm256_hadd_epi32(a.redBlue, b.redBlue),
                                                  _mm256_hadd_epi32(c.redBlue, d.redBlue));
        const __m256i green =
            _mm256_hadd_epi32(_mm256_hadd_epi32(a.green, b.green), _mm256_hadd_epi32(c.green, d.green));
        return afterTwoAdds(shadeSumIndex(redBlue, green, 4));
    }
};

// ---- Glyph renderer -------------------------------------------------------

// Green bytes in place (bits 8..15) of eight pixels; their top four bits are
// the brightness level.
__attribute__((target("avx2"))) inline __m256i greens(const Pixel* p) {
    return _mm256_and_si256(load8(p), splat(0xFF00));
}

// Two rows of eight pixel columns summed down: green only, in place.
__attribute__((target("avx2"))) inline __m256i greenPairs(const Pixel* p, std::ptrdiff_t stride) {
    return _mm256_add_epi32(greens(p), greens(p + stride));
}

struct Glyph1x1 {
    static constexpr int block = 1;
    static constexpr ConvertKernel scalar = glyphBlocks1x1;
    __attribute__((target("avx2"))) static __m256i indexes(const Pixel* p, std::ptrdiff_t) {
        return _mm256_mullo_epi32(_mm256_srli_epi32(greens(p), 12), splat(0x1111));
    }
};

// Sixteen pixel columns: each pixel's level shifted into its quadrant's place
// (the top four bits of green, at 12..15, moved right by 0, 4, 8 or 12), the
// two rows added, and the pixel pairs of each block by a horizontal add.
struct Glyph2x2 {
    static constexpr int block = 2;
    static constexpr ConvertKernel scalar = glyphBlocks2x2;
    __attribute__((target("avx2"))) static __m256i quadrants(const Pixel* p, std::ptrdiff_t stride) {
        const __m256i level = splat(0xF000);
        const __m256i top =
            _mm256_srlv_epi32(_mm256_and_si256(load8(p), level), _mm256_setr_epi32(0, 4, 0, 4, 0, 4, 0, 4));
        const __m256i bottom = _mm256_srlv_epi32(_mm256_and_si256(load8(p + stride), level),
                                                 _mm256_setr_epi32(8, 12, 8, 12, 8, 12, 8, 12));
        return _mm256_add_epi32(top, bottom);
    }
    __attribute__((target("avx2"))) static __m256i indexes(const Pixel* p, std::ptrdiff_t stride) {
        return afterOneAdd(_mm256_hadd_epi32(quadrants(p, stride), quadrants(p + 8, stride)));
    }
};

// Thirty-two pixel columns: the green sums of the 2x2 sub-blocks by one
// horizontal add, their levels (sum >> 6, here >> 14 as the greens sit at
// bits 8..15) shifted into their quadrants' places, and a second horizontal
// add joins each cell's two halves.
struct Glyph4x4 {
    static constexpr int block = 4;
    static constexpr ConvertKernel scalar = glyphBlocks4x4;
    __attribute__((target("avx2"))) static __m256i halves(const Pixel* p, std::ptrdiff_t stride) {
        const Pixel* lower = p + 2 * stride;
        const __m256i top = _mm256_srli_epi32(_mm256_hadd_epi32(greenPairs(p, stride), greenPairs(p + 8, stride)), 14);
        const __m256i bottom =
            _mm256_srli_epi32(_mm256_hadd_epi32(greenPairs(lower, stride), greenPairs(lower + 8, stride)), 14);
        return _mm256_add_epi32(_mm256_sllv_epi32(top, _mm256_setr_epi32(12, 8, 12, 8, 12, 8, 12, 8)),
                                _mm256_sllv_epi32(bottom, _mm256_setr_epi32(4, 0, 4, 0, 4, 0, 4, 0)));
    }
    __attribute__((target("avx2"))) static __m256i indexes(const Pixel* p, std::ptrdiff_t stride) {
        return afterTwoAdds(_mm256_hadd_epi32(halves(p, stride), halves(p + 16, stride)));
    }
};

}  // namespace

constinit const ConvertKernels shadeKernelsAvx2 = {convertRect<Shade1x1, 16>, convertRect<Shade2x2, 8>,
                                                   convertRect<Shade4x4, 8>};
constinit const ConvertKernels glyphKernelsAvx2 = {convertRect<Glyph1x1, 16>, convertRect<Glyph2x2, 8>,
                                                   convertRect<Glyph4x4, 8>};

}  // namespace vantrel
#endif
