// The vector forms of the fast glyph search for x86. Each function carries
// its own target attribute, so this file builds for any x86 (the 32-bit
// build included) and the caller picks a form at run time.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include "render/glyph_search_keys.h"

namespace vantrel {

namespace {

// Minimum of the eight 16-bit lanes. Keys stay below 0x8000, so the signed
// minimum of SSE2 orders them as unsigned numbers.
__attribute__((target("sse2"))) inline unsigned minimumLane(__m128i m) {
    m = _mm_min_epi16(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(1, 0, 3, 2)));
    m = _mm_min_epi16(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(2, 3, 0, 1)));
    m = _mm_min_epi16(m, _mm_shufflelo_epi16(m, _MM_SHUFFLE(2, 3, 0, 1)));
    return static_cast<unsigned>(_mm_cvtsi128_si32(m)) & 0xFFFFu;
}

__attribute__((target("sse2"))) inline __m128i load128(const std::uint16_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
__attribute__((target("sse2"))) inline void store128(std::uint16_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

__attribute__((target("avx2"))) inline __m256i load256(const std::uint16_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
__attribute__((target("avx2"))) inline void store256(std::uint16_t* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// Minimum of the sixteen lanes: fold the halves, then the SSE4.1 horizontal
// minimum (which every AVX2 processor has).
__attribute__((target("avx2"))) inline unsigned minimumLane(__m256i m) {
    const __m128i half = _mm_min_epu16(_mm256_castsi256_si128(m), _mm256_extracti128_si256(m, 1));
    return static_cast<unsigned>(_mm_cvtsi128_si32(_mm_minpos_epu16(half))) & 0xFFFFu;
}

}  // namespace

// Both forms walk the table in index order. The sum of the top two quadrants'
// keys is formed once per (top left, top right) and that of the top three once
// per bottom left; each entry then costs one addition and one minimum per
// vector of codes, two entries at a time to share the loads, and one
// horizontal minimum.
__attribute__((target("sse2"))) void searchGlyphKeysSse2(const GlyphSearchKeys& k, Cell* table) {
    alignas(16) std::uint16_t top[256];
    alignas(16) std::uint16_t upper[256];
    const int lanes = k.lanes;
    for (int tl = 0; tl < 16; ++tl) {
        for (int tr = 0; tr < 16; ++tr) {
            for (int i = 0; i < lanes; i += 8)
                store128(top + i, _mm_add_epi16(load128(k.keys[0][tl] + i), load128(k.keys[1][tr] + i)));
            for (int bl = 0; bl < 16; ++bl) {
                for (int i = 0; i < lanes; i += 8)
                    store128(upper + i, _mm_add_epi16(load128(top + i), load128(k.keys[2][bl] + i)));
                Cell* out = table + ((tl << 12) | (tr << 8) | (bl << 4));
                for (int br = 0; br < 16; br += 2) {
                    const std::uint16_t* a = k.keys[3][br];
                    const std::uint16_t* b = k.keys[3][br + 1];
                    __m128i bestA = _mm_set1_epi16(0x7FFF);
                    __m128i bestB = bestA;
                    for (int i = 0; i < lanes; i += 8) {
                        const __m128i u = load128(upper + i);
                        bestA = _mm_min_epi16(bestA, _mm_add_epi16(u, load128(a + i)));
                        bestB = _mm_min_epi16(bestB, _mm_add_epi16(u, load128(b + i)));
                    }
                    out[br] = glyphEntry(minimumLane(bestA));
                    out[br + 1] = glyphEntry(minimumLane(bestB));
                }
            }
        }
    }
}

__attribute__((target("avx2"))) void searchGlyphKeysAvx2(const GlyphSearchKeys& k, Cell* table) {
    alignas(16) std::uint16_t top[256];
    alignas(16) std::uint16_t upper[256];
    const int lanes = k.lanes;
    for (int tl = 0; tl < 16; ++tl) {
        for (int tr = 0; tr < 16; ++tr) {
            for (int i = 0; i < lanes; i += 16)
                store256(top + i, _mm256_add_epi16(load256(k.keys[0][tl] + i), load256(k.keys[1][tr] + i)));
            for (int bl = 0; bl < 16; ++bl) {
                for (int i = 0; i < lanes; i += 16)
                    store256(upper + i, _mm256_add_epi16(load256(top + i), load256(k.keys[2][bl] + i)));
                Cell* out = table + ((tl << 12) | (tr << 8) | (bl << 4));
                for (int br = 0; br < 16; br += 2) {
                    const std::uint16_t* a = k.keys[3][br];
                    const std::uint16_t* b = k.keys[3][br + 1];
                    __m256i bestA = _mm256_set1_epi16(0x7FFF);
                    __m256i bestB = bestA;
                    for (int i = 0; i < lanes; i += 16) {
                        const __m256i u = load256(upper + i);
                        bestA = _mm256_min_epu16(bestA, _mm256_add_epi16(u, load256(a + i)));
                        bestB = _mm256_min_epu16(bestB, _mm256_add_epi16(u, load256(b + i)));
                    }
                    out[br] = glyphEntry(minimumLane(bestA));
                    out[br + 1] = glyphEntry(minimumLane(bestB));
                }
            }
        }
    }
}

}  // namespace vantrel
#endif
