// mosaic_print: a developer's look at the mosaic renderer, before the viewer
// takes it. Prints a picture stretched to a grid of mosaic cells as UTF-8
// with SGR colours, as a terminal would get it, for the picture judge.
//
//   mosaic_print [--size COLSxROWS] [--colours 24|256|16|16/8] [--symbols LIST]
//                [--palette vga|xterm|campbell|HEX,...] [--diffuse] PICTURE
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "vantrel/area_scaler.h"
#include "tools/view/picture_file.h"
#include "vantrel/mosaic_renderer.h"

using namespace vantrel;

namespace {

constexpr const char* usage =
    "usage: mosaic_print [--size COLSxROWS] [--colours 24|256|16|16/8] [--symbols half,quad,eighths,sextant,shade]\n"
    "                    [--palette vga|xterm|campbell|HEX,...] [--diffuse] PICTURE\n";

int fail(const std::string& message) {
    std::fprintf(stderr, "mosaic_print: %s\n", message.c_str());
    return 2;
}

void utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The SGR parameters that set a colour: foreground or background.
std::string colourCode(ColourMode mode, std::uint32_t v, bool background) {
    char text[32];
    switch (mode) {
        case ColourMode::ansi16:
            std::snprintf(text, sizeof text, "%u", (background ? 40u : 30u) + (v < 8 ? v : v - 8 + 60));
            break;
        case ColourMode::ansi256:
            std::snprintf(text, sizeof text, "%d;5;%u", background ? 48 : 38, v);
            break;
        case ColourMode::truecolor:
            std::snprintf(text, sizeof text, "%d;2;%u;%u;%u", background ? 48 : 38, v >> 16, (v >> 8) & 255, v & 255);
            break;
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    int columns = 80, rows = 50;
    MosaicOptions options;
    const char* path = nullptr;
    bool symbolsGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help") {
            std::fputs(usage, stdout);
            return 0;
        } else if (arg == "--size" && hasValue) {
            if (std::sscanf(argv[++i], "%dx%d", &columns, &rows) != 2 || columns < 1 || rows < 1 || columns > 1000 ||
                rows > 1000) {
                return fail(std::string("bad --size ") + argv[i]);
            }
        } else if (arg == "--colours" && hasValue) {
            const std::string v = argv[++i];
            options.eightBackgrounds = v == "16/8";
            if (v == "24") options.mode = ColourMode::truecolor;
            else if (v == "256") options.mode = ColourMode::ansi256;
            else if (v == "16" || v == "16/8") options.mode = ColourMode::ansi16;
            else return fail("bad --colours " + v);
        } else if (arg == "--symbols" && hasValue) {
            if (!parseMosaicSymbols(argv[++i], options.symbols)) return fail(std::string("bad --symbols ") + argv[i]);
            symbolsGiven = true;
        } else if (arg == "--palette" && hasValue) {
            if (!parsePalette(argv[++i], options.palette)) return fail(std::string("bad --palette ") + argv[i]);
        } else if (arg == "--diffuse") {
            options.diffuse = true;
        } else if (arg[0] != '-' && path == nullptr) {
            path = argv[i];
        } else {
            std::fputs(usage, stderr);
            return 2;
        }
    }
    if (path == nullptr) {
        std::fputs(usage, stderr);
        return 2;
    }
    if (!symbolsGiven) options.symbols = defaultMosaicSymbols(options.mode, options.eightBackgrounds);

    RgbPicture picture;
    if (const std::string error = loadPicture(path, nullptr, PictureLimits{}, picture); !error.empty()) {
        return fail(std::string(path) + ": " + error);
    }
    const int width = columns * MosaicRenderer::sampleColumns, height = rows * MosaicRenderer::sampleRows;
    AreaScaler scaler;
    scaler.setSizes(picture.width, picture.height, width, height);
    std::vector<LinearRgb> samples(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    scaler.scaleLinear(picture.view(), samples.data(), width);

    MosaicRenderer renderer(options);
    std::vector<MosaicCell> cells(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    if (!renderer.convert(samples.data(), width, columns, rows, cells.data(), columns)) return fail("conversion failed");

    std::string out;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const MosaicCell& cell = cells[static_cast<std::size_t>(r * columns + c)];
            out += "\x1b[" + colourCode(options.mode, cell.foreground, false) + ";" +
                   colourCode(options.mode, cell.background, true) + "m";
            utf8(out, cell.character);
        }
        out += "\x1b[0m\n";
    }
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
        return fail("cannot write the output");
    }
    return 0;
}
