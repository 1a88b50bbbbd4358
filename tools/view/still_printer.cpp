#include "tools/view/still_printer.h"

#include <cstdint>
#include <vector>

#include "vantrel/inline_printer.h"
#include "tools/cell_image.h"
#include "tools/png_file.h"

namespace vantrel {

std::error_code printShown(int fd, const ShownPicture& shown) { return printInline(fd, shown.view(), shown.mode); }

std::string writeShownPng(const ShownPicture& shown, OutputFile& file) {
    const int width = shown.columns * fontGlyphWidth;
    const int height = shown.rows * fontGlyphHeight;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    if (shown.renderer == RendererKind::blocks) {
        std::vector<Rgb> halves;
        halfBlockColoursOf(shown, halves);
        drawHalfBlocks(halves.data(), shown.columns, shown.rows, rgb.data());
    } else {
        std::vector<Cell> cells;
        consoleCellsOf(shown, cells);
        drawCells(cells.data(), shown.columns, shown.rows, shown.columns, rgb.data());
    }
    std::vector<std::uint8_t> png;
    if (std::string error = encodeRgbPng(rgb.data(), width, height, png); !error.empty()) {
        return "cannot write " + file.shownName() + ": " + error;
    }
    if (!file.write(png.data(), png.size())) return file.failure();  // names the file already
    return {};
}

}  // namespace vantrel
