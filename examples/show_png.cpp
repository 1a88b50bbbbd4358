// Shows a PNG picture in the terminal, inline, through the shade renderer
// (colour) or the glyph renderer (brightness by character shape).
//   show_png PICTURE.png [COLUMNS [glyph]]
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <vantrel/glyph_renderer.h>
#include <vantrel/inline_printer.h>
#include <vantrel/luma.h>
#include <vantrel/shade_renderer.h>

int main(int argc, char** argv) {
    const int columns = argc > 2 ? std::atoi(argv[2]) : 80;
    if (argc < 2 || argc > 4 || columns < 1 || columns > 1000) {
        std::fprintf(stderr, "usage: show_png PICTURE.png [COLUMNS (1-1000) [glyph]]\n");
        return 2;
    }
    // libpng's RGBA order is a vantrel::Pixel's: red, green, blue, unused.
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    const bool opened = png_image_begin_read_from_file(&png, argv[1]);
    const bool fits = opened && png.width <= 16384 && png.height <= 16384;
    png.format = PNG_FORMAT_RGBA;
    std::vector<vantrel::Pixel> picture(fits ? std::size_t{png.width} * png.height : 0);
    if (!fits || !png_image_finish_read(&png, nullptr, picture.data(), 0, nullptr)) {
        std::fprintf(stderr, "show_png: cannot read '%s': %s\n", argv[1], opened && !fits ? "too large" : png.message);
        return 2;
    }

    // Two by two pixels a cell, sampled from the picture; a cell is about
    // twice as tall as it is wide.
    const int rows = std::max(1, static_cast<int>(std::int64_t{columns} * png.height / png.width / 2));
    const int width = 2 * columns, height = 2 * rows;
    std::vector<vantrel::Pixel> pixels(std::size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[std::size_t(y) * width + x] =
                picture[std::size_t(std::int64_t{y} * png.height / height) * png.width + x * png.width / width];

    const vantrel::PixelImage image{pixels.data(), width, height, width};
    std::vector<vantrel::Cell> cells(std::size_t(columns) * rows);
    const vantrel::CellGrid grid{cells.data(), columns, rows, columns};
    bool converted;
    if (argc > 3 && std::strcmp(argv[3], "glyph") == 0) {
        vantrel::GlyphRenderer glyphs;  // brightness: luma into the green it reads
        glyphs.buildTable(vantrel::GlyphRenderer::printableAscii);
        converted = vantrel::lumaToGreen(image, pixels.data(), width) && glyphs.convert(image, vantrel::BlockSize::two, grid);
    } else {
        vantrel::ShadeRenderer shade;
        shade.buildTable(0);
        converted = shade.convert(image, vantrel::BlockSize::two, grid);
    }
    const vantrel::CellView<vantrel::Cell> view{cells.data(), columns, rows, columns};
    return converted && !vantrel::printInline(STDOUT_FILENO, view, vantrel::colourModeFromEnvironment()) ? 0 : 1;
}
