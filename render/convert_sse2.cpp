// The SSE2 kernels: the averages and levels of four blocks at a time,
// formed exactly as the scalar kernels form them, then four table reads.
// SSE2 has no gather, so single pixels, and the glyph renderer's 4x4 blocks
// (green alone), gain nothing over the scalar kernels and use them. Each
// function carries its own target attribute, so this file builds for any x86.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include "render/convert_kernels.h"

namespace vantrel {

namespace {

__attribute__((target("sse2"))) inline __m128i load4(const Pixel* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

__attribute__((target("sse2"))) inline __m128i splat(int v) { return _mm_set1_epi32(v); }

// The rectangle four cells at a time along each row: Kernel::indexes forms
// the table indexes of the four blocks at a pixel, in cell order, and the
// cells are read one by one. The last four of a row end at the row's end,
// writing again, with the same values, cells the four before wrote. Rows
// shorter than four go to the scalar kernel.
template <class Kernel>
__attribute__((target("sse2"))) void convertRect(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst,
                                                 std::ptrdiff_t pitch, std::int32_t columns, std::int32_t rows) {
    if (columns < 4) {
        Kernel::scalar(table, src, stride, dst, pitch, columns, rows);
        return;
    }
    alignas(16) std::uint32_t at[4];
    const std::int32_t last = columns - 4;
    for (std::int32_t j = 0; j < rows; ++j) {
        const Pixel* row = src + j * Kernel::block * stride;
        Cell* cells = dst + j * pitch;
        for (std::int32_t i = 0;; i += 4) {
            if (i > last) i = last;
            _mm_store_si128(reinterpret_cast<__m128i*>(at), Kernel::indexes(row + Kernel::block * i, stride));
            for (int n = 0; n < 4; ++n) cells[i + n] = table[at[n]];
            if (i == last) break;
        }
    }
}

// Lanes 0 and 2 of a, then those of b.
__attribute__((target("sse2"))) inline __m128i evenLanes(__m128i a, __m128i b) {
    return _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b), _MM_SHUFFLE(2, 0, 2, 0)));
}

// Lane 0 of a, b, c and d.
__attribute__((target("sse2"))) inline __m128i firstLanes(__m128i a, __m128i b, __m128i c, __m128i d) {
    return _mm_unpacklo_epi64(_mm_unpacklo_epi32(a, b), _mm_unpacklo_epi32(c, d));
}

// ---- Shade renderer -------------------------------------------------------

__attribute__((target("sse2"))) inline __m128i shadeIndex4(__m128i w) {
    const __m128i high = splat(0xF0);
    const __m128i red = _mm_slli_epi32(_mm_and_si128(w, high), 4);
    const __m128i green = _mm_and_si128(_mm_srli_epi32(w, 8), high);
    const __m128i blue = _mm_and_si128(_mm_srli_epi32(w, 20), splat(0x0F));
    return _mm_add_epi32(_mm_add_epi32(red, green), blue);
}

// The two-channels-at-a-time average of the scalar kernels.
__attribute__((target("sse2"))) inline __m128i shadeAverage(__m128i redBlue, __m128i green, int shift) {
    const __m128i rb = _mm_and_si128(_mm_srli_epi32(redBlue, shift), splat(0x00FF00FF));
    const __m128i g = _mm_and_si128(_mm_srli_epi32(green, shift), splat(0x0000FF00));
    return _mm_add_epi32(rb, g);
}

// Averages of the blocks of four pixel columns and Rows rows: of the two 2x2
// blocks in lanes 0 and 2, or of the 4x4 block in lane 0.
template <int Rows>
__attribute__((target("sse2"))) inline __m128i shadeAverages(const Pixel* p, std::ptrdiff_t stride) {
    __m128i rb = _mm_setzero_si128();
    __m128i g = _mm_setzero_si128();
#pragma GCC unroll 4
    for (int y = 0; y < Rows; ++y) {
        const __m128i w = load4(p + y * stride);
        rb = _mm_add_epi32(rb, _mm_and_si128(w, splat(0x00FF00FF)));
        g = _mm_add_epi32(g, _mm_and_si128(w, splat(0x0000FF00)));
    }
    rb = _mm_add_epi32(rb, _mm_srli_epi64(rb, 32));
    g = _mm_add_epi32(g, _mm_srli_epi64(g, 32));
    if constexpr (Rows == 4) {
        rb = _mm_add_epi32(rb, _mm_srli_si128(rb, 8));
        g = _mm_add_epi32(g, _mm_srli_si128(g, 8));
    }
    return shadeAverage(rb, g, Rows == 4 ? 4 : 2);
}

struct Shade2x2 {
    static constexpr int block = 2;
    static constexpr ConvertKernel scalar = shadeBlocks2x2;
    __attribute__((target("sse2"))) static __m128i indexes(const Pixel* p, std::ptrdiff_t stride) {
        return shadeIndex4(evenLanes(shadeAverages<2>(p, stride), shadeAverages<2>(p + 4, stride)));
    }
};

struct Shade4x4 {
    static constexpr int block = 4;
    static constexpr ConvertKernel scalar = shadeBlocks4x4;
    __attribute__((target("sse2"))) static __m128i indexes(const Pixel* p, std::ptrdiff_t stride) {
        return shadeIndex4(firstLanes(shadeAverages<4>(p, stride), shadeAverages<4>(p + 4, stride),
                                      shadeAverages<4>(p + 8, stride), shadeAverages<4>(p + 12, stride)));
    }
};

// ---- Glyph renderer -------------------------------------------------------

// Indexes of the two 2x2 blocks of four pixel columns, in lanes 0 and 2:
// each 64-bit lane holds a block's left pixel low and its right pixel high,
// and the top four bits of green (bits 12..15) move into their quadrants.
__attribute__((target("sse2"))) inline __m128i glyphQuadrants(const Pixel* p, std::ptrdiff_t stride) {
    const __m128i top = _mm_and_si128(load4(p), splat(0xF000));
    const __m128i bottom = _mm_and_si128(load4(p + stride), splat(0xF000));
    const __m128i upper = _mm_or_si128(top, _mm_srli_epi64(top, 36));
    const __m128i lower = _mm_or_si128(_mm_srli_epi64(bottom, 8), _mm_srli_epi64(bottom, 44));
    return _mm_or_si128(upper, lower);
}

struct Glyph2x2 {
    static constexpr int block = 2;
    static constexpr ConvertKernel scalar = glyphBlocks2x2;
    __attribute__((target("sse2"))) static __m128i indexes(const Pixel* p, std::ptrdiff_t stride) {
        return evenLanes(glyphQuadrants(p, stride), glyphQuadrants(p + 4, stride));
    }
};

}  // namespace

constinit const ConvertKernels shadeKernelsSse2 = {shadeBlocks1x1, convertRect<Shade2x2>, convertRect<Shade4x4>};
constinit const ConvertKernels glyphKernelsSse2 = {glyphBlocks1x1, convertRect<Glyph2x2>, glyphBlocks4x4};

}  // namespace vantrel
#endif
