#include "mosaic_symbols.h"

#include <algorithm>
#include <bit>

namespace vantrel {

namespace {

using Mask = std::array<std::uint8_t, mosaicCellHeight>;

// Columns x0..x1-1 of rows y0..y1-1.
Mask rectangle(int x0, int y0, int x1, int y1) {
    Mask m{};
    const auto bits = static_cast<std::uint8_t>(((1u << x1) - 1u) & ~((1u << x0) - 1u));
    for (int y = y0; y < y1; ++y) m[static_cast<std::size_t>(y)] = bits;
    return m;
}

Mask join(const Mask& a, const Mask& b) {
    Mask m{};
    for (std::size_t y = 0; y < m.size(); ++y) m[y] = static_cast<std::uint8_t>(a[y] | b[y]);
    return m;
}

MosaicSymbol shape(char32_t code, const Mask& mask) {
    int ink = 0;
    for (std::uint8_t row : mask) ink += std::popcount(row);
    return {code, mask, static_cast<float>(ink) / (mosaicCellWidth * mosaicCellHeight), false};
}

MosaicSymbol shade(char32_t code, float ink) { return {code, Mask{}, ink, true}; }

// Quadrants: top left, top right, bottom left, bottom right.
Mask quadrants(bool tl, bool tr, bool bl, bool br) {
    Mask m{};
    if (tl) m = join(m, rectangle(0, 0, 4, 8));
    if (tr) m = join(m, rectangle(4, 0, 8, 8));
    if (bl) m = join(m, rectangle(0, 8, 4, 16));
    if (br) m = join(m, rectangle(4, 8, 8, 16));
    return m;
}

}  // namespace

Mask sextantMask(int bits) {
    constexpr int rowEdges[] = {0, 5, 11, 16};
    Mask m{};
    for (int k = 0; k < 6; ++k) {
        if ((bits >> k & 1) == 0) continue;
        const int x0 = (k % 2) * 4;
        m = join(m, rectangle(x0, rowEdges[k / 2], x0 + 4, rowEdges[k / 2 + 1]));
    }
    return m;
}

char32_t sextantCode(int bits) {
    if (bits <= 0) return U' ';
    if (bits >= 63) return U'\u2588';
    if (bits == 21) return U'\u258C';  // the left column: ▌
    if (bits == 42) return U'\u2590';  // the right column: ▐
    // U+1FB00 onwards take the patterns 1..62 in order, skipping the two.
    return static_cast<char32_t>(0x1FB00 + bits - 1 - (bits > 21 ? 1 : 0) - (bits > 42 ? 1 : 0));
}

std::vector<MosaicSymbol> mosaicSymbols(MosaicSymbols set) {
    std::vector<MosaicSymbol> s;
    s.push_back(shape(U' ', Mask{}));
    s.push_back(shape(U'\u2588', rectangle(0, 0, 8, 16)));
    const auto upperHalf = shape(U'\u2580', rectangle(0, 0, 8, 8));
    const auto lowerHalf = shape(U'\u2584', rectangle(0, 8, 8, 16));
    const auto leftHalf = shape(U'\u258C', rectangle(0, 0, 4, 16));
    const auto rightHalf = shape(U'\u2590', rectangle(4, 0, 8, 16));
    if (hasSymbols(set, MosaicSymbols::half) || hasSymbols(set, MosaicSymbols::quad)) {
        s.push_back(upperHalf);
        s.push_back(lowerHalf);
    }
    if (hasSymbols(set, MosaicSymbols::sideHalves) || hasSymbols(set, MosaicSymbols::quad) ||
        hasSymbols(set, MosaicSymbols::sextant)) {
        s.push_back(leftHalf);
        s.push_back(rightHalf);
    }
    if (hasSymbols(set, MosaicSymbols::quad)) {
        s.push_back(shape(U'\u2596', quadrants(false, false, true, false)));  // ▖
        s.push_back(shape(U'\u2597', quadrants(false, false, false, true)));  // ▗
        s.push_back(shape(U'\u2598', quadrants(true, false, false, false)));  // ▘
        s.push_back(shape(U'\u2599', quadrants(true, false, true, true)));    // ▙
        s.push_back(shape(U'\u259A', quadrants(true, false, false, true)));   // ▚
        s.push_back(shape(U'\u259B', quadrants(true, true, true, false)));    // ▛
        s.push_back(shape(U'\u259C', quadrants(true, true, false, true)));    // ▜
        s.push_back(shape(U'\u259D', quadrants(false, true, false, false)));  // ▝
        s.push_back(shape(U'\u259E', quadrants(false, true, true, false)));   // ▞
        s.push_back(shape(U'\u259F', quadrants(false, true, true, true)));    // ▟
    }
    if (hasSymbols(set, MosaicSymbols::eighths)) {
        // U+2581..U+2587: the lower k eighths, k = 1..7 (2k pixel rows).
        for (int k = 1; k <= 7; ++k) s.push_back(shape(static_cast<char32_t>(0x2580 + k), rectangle(0, 16 - 2 * k, 8, 16)));
        // U+2589..U+258F: the left 7..1 eighths (k pixel columns).
        for (int k = 7; k >= 1; --k) s.push_back(shape(static_cast<char32_t>(0x2590 - k), rectangle(0, 0, k, 16)));
    }
    if (hasSymbols(set, MosaicSymbols::sextant)) {
        for (int bits = 1; bits < 63; ++bits) {
            if (bits != 21 && bits != 42) s.push_back(shape(sextantCode(bits), sextantMask(bits)));
        }
    }
    if (hasSymbols(set, MosaicSymbols::shade)) {
        s.push_back(shade(U'\u2591', 0.25f));
        s.push_back(shade(U'\u2592', 0.5f));
        s.push_back(shade(U'\u2593', 0.75f));
    }
    std::sort(s.begin(), s.end(), [](const MosaicSymbol& a, const MosaicSymbol& b) { return a.code < b.code; });
    s.erase(std::unique(s.begin(), s.end(), [](const MosaicSymbol& a, const MosaicSymbol& b) { return a.code == b.code; }),
            s.end());
    return s;
}

}  // namespace vantrel
