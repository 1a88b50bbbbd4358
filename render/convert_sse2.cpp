// The SSE2 row kernels of both renderers for 2x2 and 4x4 blocks: the
// averages and levels of four blocks at a time, formed exactly as the scalar
// kernels form them, then four table reads (SSE2 has no gather; for single
// pixels the scalar kernels are as fast). Each function carries its own
// target attribute, so this file builds for any x86.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include "render/convert_kernels.h"

namespace vantrel {

namespace {

__attribute__((target("sse2"))) inline __m128i load4(const Pixel* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

__attribute__((target("sse2"))) inline __m128i splat(int v) { return _mm_set1_epi32(v); }

// The cells at four 32-bit indexes.
__attribute__((target("sse2"))) inline void lookUp4(const Cell* table, __m128i index, Cell* dst) {
    alignas(16) std::uint32_t at[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(at), index);
    dst[0] = table[at[0]];
    dst[1] = table[at[1]];
    dst[2] = table[at[2]];
    dst[3] = table[at[3]];
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

__attribute__((target("sse2"))) inline __m128i shadeAverage(__m128i redBlue, __m128i green, int shift) {
    const __m128i rb = _mm_and_si128(_mm_srli_epi32(redBlue, shift), splat(0x00FF00FF));
    const __m128i g = _mm_and_si128(_mm_srli_epi32(green, shift), splat(0x0000FF00));
    return _mm_add_epi32(rb, g);
}

// Averages of the two 2x2 blocks of four pixel columns, in lanes 0 and 2.
__attribute__((target("sse2"))) inline __m128i shadeAverages2x2(const Pixel* p, std::ptrdiff_t stride) {
    const __m128i a = load4(p);
    const __m128i b = load4(p + stride);
    __m128i rb = _mm_add_epi32(_mm_and_si128(a, splat(0x00FF00FF)), _mm_and_si128(b, splat(0x00FF00FF)));
    __m128i g = _mm_add_epi32(_mm_and_si128(a, splat(0x0000FF00)), _mm_and_si128(b, splat(0x0000FF00)));
    rb = _mm_add_epi32(rb, _mm_srli_epi64(rb, 32));
    g = _mm_add_epi32(g, _mm_srli_epi64(g, 32));
    return shadeAverage(rb, g, 2);
}

// Average of the 4x4 block of four pixel columns, in lane 0.
__attribute__((target("sse2"))) inline __m128i shadeAverage4x4(const Pixel* p, std::ptrdiff_t stride) {
    __m128i rb = _mm_setzero_si128();
    __m128i g = _mm_setzero_si128();
    for (int y = 0; y < 4; ++y) {
        const __m128i w = load4(p + y * stride);
        rb = _mm_add_epi32(rb, _mm_and_si128(w, splat(0x00FF00FF)));
        g = _mm_add_epi32(g, _mm_and_si128(w, splat(0x0000FF00)));
    }
    rb = _mm_add_epi32(rb, _mm_srli_epi64(rb, 32));
    g = _mm_add_epi32(g, _mm_srli_epi64(g, 32));
    rb = _mm_add_epi32(rb, _mm_srli_si128(rb, 8));
    g = _mm_add_epi32(g, _mm_srli_si128(g, 8));
    return shadeAverage(rb, g, 4);
}

// ---- Glyph renderer -------------------------------------------------------

__attribute__((target("sse2"))) inline __m128i glyphLevels(__m128i w) {
    return _mm_and_si128(_mm_srli_epi32(w, 12), splat(0xF));
}

// Indexes of the two 2x2 blocks of four pixel columns, in lanes 0 and 2.
__attribute__((target("sse2"))) inline __m128i glyphIndexes2x2(const Pixel* p, std::ptrdiff_t stride) {
    const __m128i top = glyphLevels(load4(p));
    const __m128i bottom = glyphLevels(load4(p + stride));
    const __m128i upper = _mm_or_si128(_mm_slli_epi64(top, 12), _mm_srli_epi64(top, 24));
    const __m128i lower = _mm_or_si128(_mm_slli_epi64(bottom, 4), _mm_srli_epi64(bottom, 32));
    return _mm_or_si128(upper, lower);
}

// Levels of the two 2x2 sub-blocks of two pixel rows, in lanes 0 and 2.
__attribute__((target("sse2"))) inline __m128i glyphSubBlockLevels(const Pixel* p, std::ptrdiff_t stride) {
    const __m128i green = splat(0xFF);
    __m128i sum = _mm_add_epi32(_mm_and_si128(_mm_srli_epi32(load4(p), 8), green),
                                _mm_and_si128(_mm_srli_epi32(load4(p + stride), 8), green));
    sum = _mm_add_epi32(sum, _mm_srli_epi64(sum, 32));
    return _mm_srli_epi32(sum, 6);
}

// Index of the 4x4 block of four pixel columns, in lane 0.
__attribute__((target("sse2"))) inline __m128i glyphIndex4x4(const Pixel* p, std::ptrdiff_t stride) {
    const __m128i top = glyphSubBlockLevels(p, stride);
    const __m128i bottom = glyphSubBlockLevels(p + 2 * stride, stride);
    const __m128i upper = _mm_or_si128(_mm_slli_epi32(top, 12), _mm_slli_epi32(_mm_srli_si128(top, 8), 8));
    const __m128i lower = _mm_or_si128(_mm_slli_epi32(bottom, 4), _mm_srli_si128(bottom, 8));
    return _mm_or_si128(upper, lower);
}

}  // namespace

__attribute__((target("sse2"))) void shadeRow2x2Sse2(const Cell* table, const Pixel* src, std::ptrdiff_t stride,
                                                     Cell* dst, std::int32_t columns) {
    std::int32_t i = 0;
    for (; i + 4 <= columns; i += 4) {
        const Pixel* p = src + 2 * i;
        const __m128i average = evenLanes(shadeAverages2x2(p, stride), shadeAverages2x2(p + 4, stride));
        lookUp4(table, shadeIndex4(average), dst + i);
    }
    shadeRow2x2(table, src + 2 * i, stride, dst + i, columns - i);
}

__attribute__((target("sse2"))) void shadeRow4x4Sse2(const Cell* table, const Pixel* src, std::ptrdiff_t stride,
                                                     Cell* dst, std::int32_t columns) {
    std::int32_t i = 0;
    for (; i + 4 <= columns; i += 4) {
        const Pixel* p = src + 4 * i;
        const __m128i average = firstLanes(shadeAverage4x4(p, stride), shadeAverage4x4(p + 4, stride),
                                           shadeAverage4x4(p + 8, stride), shadeAverage4x4(p + 12, stride));
        lookUp4(table, shadeIndex4(average), dst + i);
    }
    shadeRow4x4(table, src + 4 * i, stride, dst + i, columns - i);
}

__attribute__((target("sse2"))) void glyphRow2x2Sse2(const Cell* table, const Pixel* src, std::ptrdiff_t stride,
                                                     Cell* dst, std::int32_t columns) {
    std::int32_t i = 0;
    for (; i + 4 <= columns; i += 4) {
        const Pixel* p = src + 2 * i;
        lookUp4(table, evenLanes(glyphIndexes2x2(p, stride), glyphIndexes2x2(p + 4, stride)), dst + i);
    }
    glyphRow2x2(table, src + 2 * i, stride, dst + i, columns - i);
}

__attribute__((target("sse2"))) void glyphRow4x4Sse2(const Cell* table, const Pixel* src, std::ptrdiff_t stride,
                                                     Cell* dst, std::int32_t columns) {
    std::int32_t i = 0;
    for (; i + 4 <= columns; i += 4) {
        const Pixel* p = src + 4 * i;
        const __m128i index = firstLanes(glyphIndex4x4(p, stride), glyphIndex4x4(p + 4, stride),
                                         glyphIndex4x4(p + 8, stride), glyphIndex4x4(p + 12, stride));
        lookUp4(table, index, dst + i);
    }
    glyphRow4x4(table, src + 4 * i, stride, dst + i, columns - i);
}

}  // namespace vantrel
#endif
