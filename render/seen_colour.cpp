#include "vantrel/seen_colour.h"

#include <bit>

#include "vantrel/font8x12.h"

namespace vantrel {

float inkShare(std::uint8_t code) {
    switch (code) {
        case 32:
            return 0.0f;
        case 176:
            return 0.25f;
        case 177:
            return 0.5f;
        case 178:
            return 0.75f;
        case 219:
            return 1.0f;
        default:
            break;
    }
    int set = 0;
    for (int row = 0; row < fontGlyphHeight; ++row) set += std::popcount(font8x12[fontGlyphHeight * code + row]);
    return static_cast<float>(set) / static_cast<float>(fontGlyphWidth * fontGlyphHeight);
}

LinearRgb seenColourLinear(Cell cell) {
    const float ink = inkShare(cellCharacter(cell));
    const LinearRgb fg = toLinear(vgaColours[cellForeground(cell)]);
    const LinearRgb bg = toLinear(vgaColours[cellBackground(cell)]);
    const auto mix = [ink](float f, float b) { return f * ink + b * (1.0f - ink); };
    return {mix(fg.red, bg.red), mix(fg.green, bg.green), mix(fg.blue, bg.blue)};
}

Rgb seenColour(Cell cell) { return toSrgb(seenColourLinear(cell)); }

}  // namespace vantrel
