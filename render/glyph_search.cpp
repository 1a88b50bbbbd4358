#include "render/glyph_search.h"

#include <bit>
#include <memory>

#include "vantrel/font8x12.h"
#include "render/cpu_features.h"
#include "render/glyph_search_keys.h"

namespace vantrel {

namespace {

constexpr int glyphRows = 12;

std::int32_t absolute(std::int32_t v) { return v < 0 ? -v : v; }

// Set pixels of rows [firstRow, firstRow + 6) under `mask`, scaled to 0..16.
std::int32_t quadrantCoverage(const std::uint8_t* glyph, int firstRow, unsigned mask) {
    int n = 0;
    for (int r = firstRow; r < firstRow + glyphRows / 2; ++r) n += std::popcount(glyph[r] & mask);
    return n * 16 / 24;
}

// The reference: every entry against every code in ascending order, keeping
// the first strictly nearer one.
void searchPlain(const GlyphCoverage* records, GlyphCodeRange range, Cell* table) {
    for (int index = 0; index < glyphTableSize; ++index) {
        const std::int32_t tl = (index >> 12) & 0xF;
        const std::int32_t tr = (index >> 8) & 0xF;
        const std::int32_t bl = (index >> 4) & 0xF;
        const std::int32_t br = index & 0xF;
        std::int32_t best = 65535;
        int choice = 0;
        for (int c = range.first; c <= range.last; ++c) {
            const GlyphCoverage& g = records[c];
            const std::int32_t distance = absolute(g.topLeft - tl) + absolute(g.topRight - tr) +
                                          absolute(g.bottomLeft - bl) + absolute(g.bottomRight - br);
            if (distance < best) {
                best = distance;
                choice = c;
            }
        }
        table[index] = static_cast<Cell>(choice + 0x0700);
    }
}

void makeSearchKeys(const GlyphCoverage* records, GlyphCodeRange range, GlyphSearchKeys& k) {
    k.count = range.last - range.first + 1;
    k.lanes = (k.count + 15) & ~15;
    for (int level = 0; level < 16; ++level) {
        for (int i = 0; i < k.lanes; ++i) {
            if (i >= k.count) {
                k.keys[0][level][i] = GlyphSearchKeys::paddingKey;
                k.keys[1][level][i] = k.keys[2][level][i] = k.keys[3][level][i] = 0;
                continue;
            }
            const int code = range.first + i;
            const GlyphCoverage& g = records[code];
            const auto key = [level](std::int32_t coverage) {
                return static_cast<std::uint16_t>(absolute(coverage - level) << 8);
            };
            k.keys[0][level][i] = static_cast<std::uint16_t>(key(g.topLeft) | code);
            k.keys[1][level][i] = key(g.topRight);
            k.keys[2][level][i] = key(g.bottomLeft);
            k.keys[3][level][i] = key(g.bottomRight);
        }
    }
}

// The portable fast search: the sums of the top two quadrants' keys are
// formed once per (top left, top right), of the top three once per bottom
// left, leaving one addition and one minimum per code and entry. The codes
// go in chunks of 16 lanes (padding included) with a minimum per lane, a
// shape that compilers turn into vector code on any target.
void searchKeysScalar(const GlyphSearchKeys& k, Cell* table) {
    constexpr int chunk = 16;
    std::uint16_t top[256];
    std::uint16_t upper[256];
    for (int tl = 0; tl < 16; ++tl) {
        for (int tr = 0; tr < 16; ++tr) {
            for (int i = 0; i < k.lanes; ++i)
                top[i] = static_cast<std::uint16_t>(k.keys[0][tl][i] + k.keys[1][tr][i]);
            for (int bl = 0; bl < 16; ++bl) {
                for (int i = 0; i < k.lanes; ++i)
                    upper[i] = static_cast<std::uint16_t>(top[i] + k.keys[2][bl][i]);
                Cell* out = table + ((tl << 12) | (tr << 8) | (bl << 4));
                for (int br = 0; br < 16; ++br) {
                    const std::uint16_t* last = k.keys[3][br];
                    std::uint16_t best[chunk];
                    for (int j = 0; j < chunk; ++j) best[j] = GlyphSearchKeys::paddingKey;
                    for (int i = 0; i < k.lanes; i += chunk) {
                        for (int j = 0; j < chunk; ++j) {
                            const auto key = static_cast<std::uint16_t>(upper[i + j] + last[i + j]);
                            best[j] = key < best[j] ? key : best[j];
                        }
                    }
                    unsigned least = best[0];
                    for (int j = 1; j < chunk; ++j) least = best[j] < least ? best[j] : least;
                    out[br] = glyphEntry(least);
                }
            }
        }
    }
}

}  // namespace

GlyphCodeRange glyphCodeRange(std::int32_t flags) {
    if (flags & 2) return {32, 126};
    if (flags & 1) return {32, 255};
    return {0, 255};
}

void measureGlyphCoverage(const std::uint8_t* font, GlyphCodeRange range, GlyphCoverage* records) {
    for (int c = range.first; c <= range.last; ++c) {
        const std::uint8_t* glyph = font + glyphRows * c;
        records[c] = {quadrantCoverage(glyph, 0, 0x0F), quadrantCoverage(glyph, 0, 0xF0),
                      quadrantCoverage(glyph, 6, 0x0F), quadrantCoverage(glyph, 6, 0xF0)};
    }
}

bool glyphSearchSupported(GlyphSearch search) {
    switch (search) {
        case GlyphSearch::plain:
        case GlyphSearch::scalar:
            return true;
        case GlyphSearch::sse2:
            return cpuHasSse2();
        case GlyphSearch::avx2:
            return cpuHasAvx2();
    }
    return false;
}

GlyphSearch fastestGlyphSearch() {
    static const GlyphSearch fastest = glyphSearchSupported(GlyphSearch::avx2)   ? GlyphSearch::avx2
                                       : glyphSearchSupported(GlyphSearch::sse2) ? GlyphSearch::sse2
                                                                                 : GlyphSearch::scalar;
    return fastest;
}

void searchGlyphTable(GlyphSearch search, const GlyphCoverage* records, GlyphCodeRange range,
                      Cell* table) {
    if (search == GlyphSearch::plain) {
        searchPlain(records, range, table);
        return;
    }
    if (!glyphSearchSupported(search)) search = GlyphSearch::scalar;

    // 32 KiB of keys: fixed-size scratch on the stack, no allocation.
    GlyphSearchKeys keys;
    makeSearchKeys(records, range, keys);
#if defined(__x86_64__) || defined(__i386__)
    if (search == GlyphSearch::avx2) {
        searchGlyphKeysAvx2(keys, table);
        return;
    }
    if (search == GlyphSearch::sse2) {
        searchGlyphKeysSse2(keys, table);
        return;
    }
#endif
    searchKeysScalar(keys, table);
}

void buildGlyphTable(GlyphSearch search, std::int32_t flags, Cell* table) {
    // The temporary coverage array, one record per code (4 KiB), freed on return.
    const auto records = std::make_unique<GlyphCoverage[]>(glyphCodes);
    const GlyphCodeRange range = glyphCodeRange(flags);
    measureGlyphCoverage(font8x12.data(), range, records.get());
    searchGlyphTable(search, records.get(), range, table);
}

}  // namespace vantrel
