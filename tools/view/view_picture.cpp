#include "tools/view/view_picture.h"

#include <algorithm>
#include <array>

#include "vantrel/cp437_unicode.h"
#include "vantrel/picture_renderers.h"
#include "tools/view/terminal_palette.h"
#include "tools/view/terminal_size.h"

namespace vantrel {

std::unique_ptr<PictureRenderer> makeViewRenderer(const ViewOptions& options, ColourMode mode,
                                                  const Palette& palette) {
    MosaicOptions mosaic;
    mosaic.mode = mode;
    mosaic.eightBackgrounds = eightBackgrounds(options.colours, mode);
    mosaic.palette = palette;
    mosaic.diffuse = ditherFor(options);
    switch (options.renderer) {
        case RendererKind::glyph:
            return makeGlyphRenderer(mode, blockFor(options), ditherFor(options));
        case RendererKind::shade:
            return makeShadeRenderer(mode, palette, blockFor(options), ditherFor(options));
        case RendererKind::blocks:
            mosaic.symbols = MosaicSymbols::half;
            break;
        case RendererKind::mosaic:
            if (options.symbols) mosaic.symbols = *options.symbols;
            break;
    }
    return makeMosaicRenderer(mosaic);
}

CellCount fitFrame(const ViewOptions& options, Extent screen, int width, int height) {
    const Extent box = options.size.value_or(screen);
    FitRequest request;
    request.columns = std::min(box.width, screen.width);
    request.rows = std::min(box.height, screen.height);
    request.cellAspect = options.cellAspect;
    request.stretch = options.stretch;
    request.enlarge = true;
    return fitPicture(width, height, request);
}

CellCount fitStill(const ViewOptions& options, Extent terminal, int width, int height) {
    FitRequest request =
        windowFit(terminal.width, terminal.height, options.cellAspect, options.fit == FitKind::width);
    request.stretch = options.stretch;
    if (options.size) {
        request.columns = options.size->width;
        request.rows = options.size->height;
        request.enlarge = true;
    }
    return fitPicture(width, height, request);
}

ViewPicture::ViewPicture(const ViewOptions& options, ColourMode mode)
    : ViewPicture(options, mode, picturePalette(options.palette, mode)) {}

ViewPicture::ViewPicture(const ViewOptions& options, ColourMode mode, const Palette& palette)
    : converter_(makeViewRenderer(options, mode, palette)) {
    shown_.renderer = options.renderer;
    shown_.mode = mode;
    shown_.palette = palette;
    converter_.setBackground(options.background.value_or(Rgb{0, 0, 0}));
}

const ShownPicture& ViewPicture::convert(const ByteImage& picture, CellCount cells) {
    const std::size_t count = static_cast<std::size_t>(cells.columns) * static_cast<std::size_t>(cells.rows);
    if (shown_.cells.size() != count) shown_.cells.assign(count, MosaicCell{});
    shown_.columns = cells.columns;
    shown_.rows = cells.rows;
    converter_.convert(picture, {shown_.cells.data(), cells.columns, cells.rows, cells.columns});
    return shown_;
}

namespace {

// Code page 437 from Unicode: every code point of cp437Unicode lies below
// U+10000; the blank glyphs 0 and 255 print as a space and come back as 32.
const std::array<std::uint8_t, 0x10000>& cp437FromUnicode() {
    static const auto table = [] {
        std::array<std::uint8_t, 0x10000> t{};
        for (int code = 255; code >= 0; --code) t[cp437Unicode[static_cast<std::size_t>(code)]] = static_cast<std::uint8_t>(code);
        t[U' '] = 32;
        return t;
    }();
    return table;
}

// consoleColour's inverse in one mode: the console colour told as a value.
class ConsoleColourOf {
public:
    explicit ConsoleColourOf(ColourMode mode) {
        for (int c = 15; c >= 0; --c) {
            told_[static_cast<std::size_t>(c)] = consoleColour(mode, c).value;
            if (told_[static_cast<std::size_t>(c)] < small_.size()) small_[told_[static_cast<std::size_t>(c)]] = static_cast<std::uint8_t>(c);
        }
    }
    int operator()(std::uint32_t value) const {
        if (value < small_.size()) return small_[value];
        for (int c = 0; c < 16; ++c) {
            if (told_[static_cast<std::size_t>(c)] == value) return c;
        }
        return 0;
    }

private:
    std::array<std::uint32_t, 16> told_{};
    std::array<std::uint8_t, 256> small_{};  // values below 256 (ANSI colours, palette indexes)
};

}  // namespace

void consoleCellsOf(const ShownPicture& shown, std::vector<Cell>& cells) {
    if (cells.size() != shown.cells.size()) cells.assign(shown.cells.size(), Cell{0});
    const auto& fromUnicode = cp437FromUnicode();
    const ConsoleColourOf consoleColourOf(shown.mode);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const MosaicCell& m = shown.cells[i];
        const std::uint8_t code = m.character < 0x10000 ? fromUnicode[m.character] : 0;
        const int fg = consoleColourOf(m.foreground);
        const int bg = consoleColourOf(m.background);
        cells[i] = makeCell(code, static_cast<std::uint8_t>(fg | bg << 4));
    }
}

}  // namespace vantrel
