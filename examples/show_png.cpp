// Shows a PNG picture in the terminal, inline, through the picture library:
// scaled in linear light, laid over black where it is transparent, through
// the mosaic renderer (a block symbol and two colours a cell), the shade
// renderer (colour), the glyph renderer (brightness by character shape) or
// half blocks (the mosaic with the half blocks only).
//   show_png PICTURE.png [COLUMNS [mosaic|shade|glyph|blocks]]
#include <png.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <vantrel/picture_converter.h>
#include <vantrel/picture_renderers.h>
#include <vantrel/inline_printer.h>

int main(int argc, char** argv) {
    const int columns = argc > 2 ? std::atoi(argv[2]) : 80;
    const std::string kind = argc > 3 ? argv[3] : "mosaic";
    if (argc < 2 || argc > 4 || columns < 1 || columns > 1000 ||
        (kind != "mosaic" && kind != "shade" && kind != "glyph" && kind != "blocks")) {
        std::fprintf(stderr, "usage: show_png PICTURE.png [COLUMNS (1-1000) [mosaic|shade|glyph|blocks]]\n");
        return 2;
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    const bool opened = png_image_begin_read_from_file(&png, argv[1]);
    const bool fits = opened && png.width <= 16384 && png.height <= 16384;
    png.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> rgba(fits ? std::size_t{png.width} * png.height * 4 : 0);
    if (!fits || !png_image_finish_read(&png, nullptr, rgba.data(), 0, nullptr)) {
        std::fprintf(stderr, "show_png: cannot read '%s': %s\n", argv[1], opened && !fits ? "too large" : png.message);
        return 2;
    }
    const int width = static_cast<int>(png.width), height = static_cast<int>(png.height);

    const vantrel::ColourMode mode = vantrel::colourModeFromEnvironment();
    vantrel::PictureConverter converter(
        kind == "glyph"    ? vantrel::makeGlyphRenderer(mode, vantrel::BlockSize::two, false)
        : kind == "shade"  ? vantrel::makeShadeRenderer(mode, vantrel::vgaPalette(), vantrel::BlockSize::one, true)
        : kind == "blocks" ? vantrel::makeMosaicRenderer({.mode = mode, .symbols = vantrel::MosaicSymbols::half})
                           : vantrel::makeMosaicRenderer({.mode = mode}));
    // At most COLUMNS across, keeping the shape for cells twice as tall as wide.
    const vantrel::CellCount size = vantrel::fitPicture(width, height, {columns, 0, 2.0, false, true});
    std::vector<vantrel::MosaicCell> cells(std::size_t(size.columns) * size.rows);
    if (!converter.convert({rgba.data(), width, height, width * 4, vantrel::PixelLayout::rgba},
                           {cells.data(), size.columns, size.rows, size.columns})) {
        return 1;
    }
    const vantrel::CellView<vantrel::MosaicCell> view{cells.data(), size.columns, size.rows, size.columns};
    return vantrel::printInline(STDOUT_FILENO, view, mode) ? 1 : 0;
}
