// font_sheet: writes font8x12 as a contact-sheet PNG, for reviewing the glyphs
// by eye: the 256 glyphs as 16 rows of 16 in code order (labelled with their
// hexadecimal digits), then lines of sample text and a box-drawing sample set
// cell against cell, as a console shows them.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/cp437_unicode.h"
#include "vantrel/font8x12.h"
#include "tools/output_file.h"
#include "tools/png_file.h"

using namespace vantrel;

namespace {

struct Colour {
    std::uint8_t r, g, b;
};

constexpr Colour paper{255, 255, 255};
constexpr Colour cellShade{232, 236, 248};
constexpr Colour gutter{176, 176, 176};
constexpr Colour ink{0, 0, 0};
constexpr Colour labelInk{112, 112, 112};

// Sizes in sheet units; the samples draw one font pixel per unit, the grid
// `gridZoom` units.
constexpr int margin = 8;
constexpr int gridZoom = 2;
constexpr int spacing = 2;  // between grid cells

// Sample lines, kept to about the width of the glyph grid.
const char* const sampleText[] = {
    "The quick brown fox jumps over the lazy",
    "dog. THE QUICK BROWN FOX 0123456789",
    "gjpqy_ (a+b)*c=[d/e] {x|y} ~#$%&@?!",
    "Ça? Naïve señor, Äpfel, Öl, Übel, Ångström",
    "ß café ¿¡ £5 ¥9 ¢ ½ ¼ «ªº» ƒ ₧",
    "αßΓπΣσµτΦΘΩδ∞φε∩ ≡±≥≤÷≈°∙·√ⁿ² ■",
    "☺☻♥♦♣♠•◘○◙♂♀♪♫☼ ►◄↕‼¶§▬↨↑↓→←∟↔▲▼ ⌂",
};

const char* const boxSample[] = {
    "╔═══╦═══╗ ┌───┬───┐ ╓───╥───╖ ╒═══╤═══╕",
    "║ 1 ║ 2 ║ │ 1 │ 2 │ ║ 1 ║ 2 ║ │ 1 │ 2 │",
    "╠═══╬═══╣ ├───┼───┤ ╟───╫───╢ ╞═══╪═══╡",
    "║ 3 ║ 4 ║ │ 3 │ 4 │ ║ 3 ║ 4 ║ │ 3 │ 4 │",
    "╚═══╩═══╝ └───┴───┘ ╙───╨───╜ ╘═══╧═══╛",
    "⌠ ░░▒▒▓▓██ ▀▀▄▄ ▌▐ ▐▌",
    "⌡ ░░▒▒▓▓██ ▄▄▀▀ ▐▌ ▌▐",
};

class Canvas {
public:
    Canvas(int width, int height, int scale)
        : width_(width), height_(height), scale_(scale),
          pixels_(static_cast<std::size_t>(width) * scale * height * scale * 3) {
        fill(0, 0, width, height, paper);
    }

    // Rectangle in sheet units (each `scale` screen pixels square).
    void fill(int x, int y, int w, int h, Colour c) {
        for (int py = y * scale_; py < (y + h) * scale_; ++py)
            for (int px = x * scale_; px < (x + w) * scale_; ++px) {
                std::uint8_t* p = &pixels_[(static_cast<std::size_t>(py) * width_ * scale_ + px) * 3];
                p[0] = c.r;
                p[1] = c.g;
                p[2] = c.b;
            }
    }

    // A glyph whose font pixels are `zoom` sheet units square.
    void glyph(int x, int y, int code, Colour c, int zoom = 1) {
        for (int gy = 0; gy < fontGlyphHeight; ++gy)
            for (int gx = 0; gx < fontGlyphWidth; ++gx)
                if (fontPixel(code, gx, gy)) fill(x + gx * zoom, y + gy * zoom, zoom, zoom, c);
    }

    // Writes the sheet as a PNG that appears under `path` only when complete;
    // returns an empty string or what went wrong.
    std::string write(const std::string& path) const {
        std::vector<std::uint8_t> png;
        if (std::string error = encodeRgbPng(pixels_.data(), width_ * scale_, height_ * scale_, png); !error.empty()) {
            return error;
        }
        OutputFile file;
        if (std::string error = file.open(path); !error.empty()) return error;
        file.write(png.data(), png.size());
        return file.commit();
    }

private:
    int width_, height_, scale_;
    std::vector<std::uint8_t> pixels_;
};

// Decodes UTF-8 text into code page 437 codes; a character the code page
// lacks becomes '?'.
std::vector<int> toCp437(std::string_view text) {
    std::vector<int> codes;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const int length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t u = length == 1 ? b : length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
        for (int k = 1; k < length && i + k < text.size(); ++k)
            u = (u << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += static_cast<std::size_t>(length);
        int code = '?';
        for (int c = 1; c < 255; ++c)
            if (cp437Unicode[static_cast<std::size_t>(c)] == u) {
                code = c;
                break;
            }
        codes.push_back(code);
    }
    return codes;
}

void usage() {
    std::fputs(
        "usage: font_sheet [--scale N] OUTPUT.png\n"
        "Writes the 8x12 code page 437 font as a contact sheet: the 256 glyphs as\n"
        "16 rows of 16 in code order, then sample text and box drawing.\n"
        "OUTPUT.png may be '-' for standard output.\n"
        "  --scale N  screen pixels per font pixel, 1 to 16 (default 3)\n"
        "  --help     print this help and exit\n",
        stdout);
}

int badArguments(const char* message, const char* detail) {
    std::fprintf(stderr, "font_sheet: %s%s\n(font_sheet --help tells how to run it)\n", message, detail);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int scale = 3;
    const char* output = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            usage();
            return 0;
        }
        if (arg == "--scale") {
            if (i + 1 >= argc) return badArguments("--scale needs a number", "");
            char* end = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (*argv[i] == '\0' || *end != '\0' || value < 1 || value > 16)
                return badArguments("--scale must be a whole number from 1 to 16, not ", argv[i]);
            scale = static_cast<int>(value);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return badArguments("unknown option ", argv[i]);
        } else if (output) {
            return badArguments("more than one output file: ", argv[i]);
        } else {
            output = argv[i];
        }
    }
    if (!output) return badArguments("no output file given", "");

    const int glyphW = fontGlyphWidth * gridZoom;
    const int glyphH = fontGlyphHeight * gridZoom;
    const int cellW = glyphW + spacing;
    const int cellH = glyphH + spacing;
    const int gridX = margin + fontGlyphWidth + 4;
    const int gridY = margin + fontGlyphHeight + 4;
    const int gridW = 16 * cellW + spacing;
    const int gridH = 16 * cellH + spacing;

    std::vector<std::vector<int>> lines;
    for (const char* line : sampleText) lines.push_back(toCp437(line));
    const std::size_t boxFirst = lines.size();
    for (const char* line : boxSample) lines.push_back(toCp437(line));

    int widest = gridX + gridW;
    for (const auto& line : lines)
        widest = std::max(widest, margin + static_cast<int>(line.size()) * fontGlyphWidth);
    // A blank line between the grid and the text, and between the text and the boxes.
    const auto lineY = [&](std::size_t i) {
        return gridY + gridH + fontGlyphHeight + static_cast<int>(i + (i >= boxFirst)) * fontGlyphHeight;
    };
    const int width = widest + margin;
    const int height = lineY(lines.size()) + margin;

    Canvas canvas(width, height, scale);
    const char hex[] = "0123456789ABCDEF";
    for (int i = 0; i < 16; ++i) {
        canvas.glyph(gridX + spacing + i * cellW + (glyphW - fontGlyphWidth) / 2, margin, hex[i], labelInk);
        canvas.glyph(margin, gridY + spacing + i * cellH + (glyphH - fontGlyphHeight) / 2, hex[i], labelInk);
    }
    canvas.fill(gridX, gridY, gridW, gridH, gutter);
    for (int code = 0; code < 256; ++code) {
        const int x = gridX + spacing + (code % 16) * cellW;
        const int y = gridY + spacing + (code / 16) * cellH;
        canvas.fill(x, y, glyphW, glyphH, cellShade);
        canvas.glyph(x, y, code, ink, gridZoom);
    }
    for (std::size_t row = 0; row < lines.size(); ++row)
        for (std::size_t i = 0; i < lines[row].size(); ++i)
            canvas.glyph(margin + static_cast<int>(i) * fontGlyphWidth, lineY(row), lines[row][i], ink);

    removeTemporaryFilesOnSignals();
    if (const std::string error = canvas.write(output); !error.empty()) {
        std::fprintf(stderr, "font_sheet: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
