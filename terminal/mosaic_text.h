// The text of mosaic cells (vantrel/mosaic_cell.h) on a terminal: how a cell
// looks there, its character in UTF-8 and its colour codes, shared by the
// inline printer and the diffing encoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "vantrel/colour_mode.h"
#include "vantrel/mosaic_cell.h"

namespace vantrel {

// The longest colour code: both colours in truecolor,
// "ESC [ 38;2;255;255;255;48;2;255;255;255 m".
inline constexpr std::size_t maxMosaicSgrBytes = 36;
// The longest character in UTF-8.
inline constexpr std::size_t maxMosaicGlyphBytes = 4;

// The bits of a colour value that a terminal in `mode` is told.
constexpr std::uint32_t colourMask(ColourMode mode) {
    return mode == ColourMode::ansi16 ? 0xF : mode == ColourMode::ansi256 ? 0xFF : 0xFFFFFF;
}

// A cell as the terminal shows it, so that two cells look the same exactly
// when their visible forms are equal: colours cut to what the mode tells; a
// character that would not print as one cell (C0 and C1 controls, DEL,
// surrogates, values past U+10FFFF) as U+FFFD; a space, or any character
// in its own background colour, as a space whose foreground is the
// background.
constexpr MosaicCell visibleMosaic(MosaicCell c, std::uint32_t mask) {
    c.foreground &= mask;
    c.background &= mask;
    const char32_t ch = c.character;
    if (ch < 0x20 || (ch >= 0x7F && ch < 0xA0) || (ch >= 0xD800 && ch < 0xE000) || ch > 0x10FFFF) {
        c.character = U'\uFFFD';
    }
    if (c.character == U' ' || c.foreground == c.background) {
        c.character = U' ';
        c.foreground = c.background;
    }
    return c;
}

// The length of a character in UTF-8.
constexpr std::size_t utf8Size(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

// The UTF-8 of a printable character (as visibleMosaic leaves it) into
// `out`, which has room for maxMosaicGlyphBytes; returns its length.
inline std::size_t utf8(char32_t c, char* out) {
    const auto u = static_cast<std::uint32_t>(c);
    if (u < 0x80) {
        out[0] = static_cast<char>(u);
        return 1;
    }
    if (u < 0x800) {
        out[0] = static_cast<char>(0xC0 | u >> 6);
        out[1] = static_cast<char>(0x80 | (u & 0x3F));
        return 2;
    }
    if (u < 0x10000) {
        out[0] = static_cast<char>(0xE0 | u >> 12);
        out[1] = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (u & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | u >> 18);
    out[1] = static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (u & 0x3F));
    return 4;
}

// Writes colour codes without checking the room: `out` must have
// maxMosaicSgrBytes + 4 bytes free (numbers are copied four bytes at a
// time). Values are as visibleMosaic leaves them.
class SgrWriter {
public:
    explicit SgrWriter(ColourMode mode);

    // "ESC [ ... m" setting the foreground and/or the background (each
    // only when its flag is set); nothing when neither. Returns the end.
    char* write(char* out, bool setForeground, std::uint32_t foreground, bool setBackground,
                std::uint32_t background) const {
        if (!setForeground && !setBackground) return out;
        out[0] = '\x1b';
        out[1] = '[';
        out += 2;
        if (setForeground) out = colour(out, 30, foreground);
        if (setForeground && setBackground) *out++ = ';';
        if (setBackground) out = colour(out, 40, background);
        *out++ = 'm';
        return out;
    }

private:
    struct Decimal {
        char text[4];
        std::uint8_t size;
    };

    char* number(char* out, unsigned n) const {
        const Decimal& d = decimals[n];
        std::memcpy(out, d.text, sizeof d.text);
        return out + d.size;
    }
    // The parameters of one colour; base 30 for the foreground, 40 for the
    // background.
    char* colour(char* out, unsigned base, std::uint32_t value) const {
        switch (mode) {
            case ColourMode::ansi16:
                return number(out, value >= 8 ? base + 60 + (value - 8) : base + value);
            case ColourMode::ansi256:
                out = number(out, base + 8);
                std::memcpy(out, ";5;", 3);
                return number(out + 3, value);
            case ColourMode::truecolor:
                out = number(out, base + 8);
                std::memcpy(out, ";2;", 3);
                out = number(out + 3, value >> 16);
                *out++ = ';';
                out = number(out, (value >> 8) & 0xFF);
                *out++ = ';';
                return number(out, value & 0xFF);
        }
        return out;
    }

    ColourMode mode;
    Decimal decimals[256];
};

// The writer for each mode, made on first use.
const SgrWriter& sgrWriter(ColourMode mode);

}  // namespace vantrel
