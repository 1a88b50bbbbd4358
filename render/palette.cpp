#include "vantrel/palette.h"

#include <cstddef>
#include <cstdint>

namespace vantrel {

namespace {

constexpr Rgb rgb(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value)};
}

Palette fromValues(const std::array<std::uint32_t, 16>& values) {
    Palette p;
    for (std::size_t i = 0; i < 16; ++i) p.colours[i] = rgb(values[i]);
    return p;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

Palette vgaPalette() {
    // ANSI puts red in bit 0 and blue in bit 2; the console the other way round.
    Palette p;
    for (std::size_t ansi = 0; ansi < 16; ++ansi) {
        const std::size_t console = (ansi & 8) | ((ansi & 1) << 2) | (ansi & 2) | ((ansi & 4) >> 2);
        p.colours[ansi] = vgaColours[console];
    }
    return p;
}

Palette xtermPalette() {
    return fromValues({0x000000, 0xcd0000, 0x00cd00, 0xcdcd00, 0x0000ee, 0xcd00cd, 0x00cdcd, 0xe5e5e5, 0x7f7f7f,
                       0xff0000, 0x00ff00, 0xffff00, 0x5c5cff, 0xff00ff, 0x00ffff, 0xffffff});
}

Palette campbellPalette() {
    return fromValues({0x0c0c0c, 0xc50f1f, 0x13a10e, 0xc19c00, 0x0037da, 0x881798, 0x3a96dd, 0xcccccc, 0x767676,
                       0xe74856, 0x16c60c, 0xf9f1a5, 0x3b78ff, 0xb4009e, 0x61d6d6, 0xf2f2f2});
}

bool parsePalette(std::string_view text, Palette& palette) {
    if (text == "vga") return palette = vgaPalette(), true;
    if (text == "xterm") return palette = xtermPalette(), true;
    if (text == "campbell") return palette = campbellPalette(), true;
    Palette parsed;
    for (std::size_t i = 0; i < 16; ++i) {
        if (i > 0) {
            if (text.empty() || text.front() != ',') return false;
            text.remove_prefix(1);
        }
        if (!text.empty() && text.front() == '#') text.remove_prefix(1);
        if (text.size() < 6) return false;
        std::uint32_t value = 0;
        for (std::size_t k = 0; k < 6; ++k) {
            const int d = hexDigit(text[k]);
            if (d < 0) return false;
            value = value << 4 | static_cast<std::uint32_t>(d);
        }
        parsed.colours[i] = rgb(value);
        text.remove_prefix(6);
    }
    if (!text.empty()) return false;
    palette = parsed;
    return true;
}

}  // namespace vantrel
