// vantrel-quality: how faithfully cells show a picture. Either judges what
// vantrel-view would show for pictures (taking the viewer's options), or,
// with --cells, what any program printed for one. Four figures each: the
// cell error and its 2x2 figure from each cell's seen colour, S-CIELAB and
// structure from the cells drawn as pixels (vantrel/picture_figures.h).
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tools/package_version.h"
#include "tools/quoted_bytes.h"
#include "tools/view/picture_file.h"
#include "tools/view/printed_cells.h"
#include "tools/view/terminal_size.h"
#include "tools/view/view_picture.h"
#include "vantrel/palette.h"
#include "vantrel/picture_figures.h"

using namespace vantrel;

namespace {

const char* const usage =
    "Usage: vantrel-quality [VIEWER OPTION]... [--palette P] PICTURE...\n"
    "       vantrel-quality --cells OUTPUT [--palette P] PICTURE\n"
    "Judge how faithfully cells show a PNG, JPEG or WebP PICTURE: what vantrel-view\n"
    "would show for it, or with --cells the OUTPUT a program printed for it\n"
    "(UTF-8 text with SGR colours; '-' is standard input). The picture is\n"
    "stretched over the grid. Four figures:\n"
    "  cell error  the mean CIEDE2000 difference between each cell's seen colour\n"
    "              (its two colours mixed in linear light by the share of the\n"
    "              cell its character covers) and the picture area-averaged in\n"
    "              linear light onto the cells;\n"
    "  2x2 error   the same after averaging both over blocks of 2x2 cells;\n"
    "  S-CIELAB    the cells drawn at 8x16 pixels each and the picture averaged\n"
    "              onto those pixels, both as the eye sees them 40 pixels to a\n"
    "              degree (a ~100 dpi screen from ~60 cm), compared by the mean\n"
    "              CIEDE2000 per pixel;\n"
    "  structure   the SSIM of the two seen lightness images (1: every edge is\n"
    "              in place).\n"
    "\n"
    "  --palette P   the terminal's sixteen colours, which the viewer's cells\n"
    "                are chosen by and judged under: vga (default), xterm,\n"
    "                campbell, or sixteen RRGGBB values separated by commas\n"
    "  --cells OUT   judge the printed OUTPUT instead of the viewer's cells\n"
    "\n"
    "The viewer's options are vantrel-view's (--size, --stretch, --renderer,\n"
    "--symbols, --block, --colours, --dither, ...), without --raw, --png and\n"
    "--background (transparent pixels are judged over black); --colours auto is\n"
    "16 here. Prints one line a picture, and the means of all pictures when\n"
    "there are several. A damaged file is not judged. Exit status 0, or 2 for a\n"
    "bad argument or file. --help shows this text, --version the version.\n";

int fail(const std::string& message) {
    std::fprintf(stderr, "vantrel-quality: %s\n", message.c_str());
    return 2;
}

void printFigures(const std::string& name, int columns, int rows, const PictureFigures& f) {
    if (f.undrawnCells > 0) {
        fail(name + ": " + std::to_string(f.undrawnCells) + " cells hold characters it cannot draw, judged blank");
    }
    std::printf("%s: %dx%d cells, cell error %.2f, 2x2 error %.2f, S-CIELAB %.3f, structure %.3f\n", name.c_str(),
                columns, rows, f.cellError, f.blockError, f.scielab, f.structure);
}

// The whole of a file ("-": standard input), at most 256 MiB.
std::string readWholeFile(const std::string& path, std::string& text) {
    constexpr std::size_t limit = std::size_t{1} << 28;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> owned(nullptr, std::fclose);
    std::FILE* file = stdin;
    if (path != "-") {
        owned.reset(std::fopen(path.c_str(), "rb"));
        if (owned == nullptr) return "cannot open";
        file = owned.get();
    }
    text.clear();
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (text.size() + got > limit) return "larger than 256 MiB";
        text.append(buffer, got);
    }
    if (std::ferror(file)) return "read error";
    return {};
}

int judgePrinted(const std::string& outputPath, const std::string& picturePath, const Palette& palette) {
    std::string text;
    PrintedCells printed;
    std::string error = readWholeFile(outputPath, text);
    if (error.empty()) error = readPrintedCells(text, palette, printed);
    if (!error.empty()) return fail(quotedName(outputPath) + ": " + error);
    if (!printed.ignoredSequences.empty()) {
        std::string finals;
        for (const char c : printed.ignoredSequences) finals += std::string(finals.empty() ? "" : ", ") + "CSI " + c;
        fail(quotedName(outputPath) + ": cursor and erase sequences ignored (" + finals + ")");
    }
    RgbPicture picture;
    error = loadPicture(picturePath, nullptr, PictureLimits{}, picture);
    if (!error.empty()) return fail(quotedName(picturePath) + ": " + error);
    PictureFigures figures;
    if (!measurePicture(picture.rgb.get(), picture.width, picture.height, picture.rowBytes(), printed.cells.data(),
                        printed.columns, printed.rows, figures)) {
        return fail(quotedName(outputPath) + ": " + std::to_string(printed.columns) + "x" +
                    std::to_string(printed.rows) + " cells, more than can be judged (" +
                    std::to_string(maxMeasuredCells) + " cells)");
    }
    printFigures(quotedName(outputPath), printed.columns, printed.rows, figures);
    return 0;
}

// The cells the viewer shows, as the screen shows them under `palette`.
std::vector<ColouredCell> colouredCells(const ShownPicture& shown, const Palette& palette) {
    std::vector<ColouredCell> cells;
    cells.reserve(shown.cells.size());
    for (const MosaicCell& cell : shown.cells) cells.push_back(colouredCell(cell, shown.mode, palette));
    return cells;
}

int judgeShown(ViewOptions options, const Palette& palette) {
    // Judged as the viewer shows it on a terminal of 16 colours with this
    // palette, whatever terminal this runs on.
    if (options.colours == ColourChoice::automatic) options.colours = ColourChoice::ansi16;
    const ColourMode mode = resolveColours(options.colours);
    const Extent terminal = outputTerminalSize();
    ViewPicture converter(options, mode, palette);
    PictureFigures total;
    int judged = 0;
    int status = 0;
    for (const std::string& path : options.files) {
        // The picture as the viewer decodes it, and in full for the reference.
        RgbPicture shownPicture, fullPicture;
        const TargetSize target = [&](int width, int height, int& wantedWidth, int& wantedHeight) {
            const CellCount samples = converter.samplesFor(fitStill(options, terminal, width, height));
            wantedWidth = samples.columns;
            wantedHeight = samples.rows;
        };
        std::string error = loadPicture(path, target, PictureLimits{}, shownPicture);
        if (error.empty()) error = loadPicture(path, nullptr, PictureLimits{}, fullPicture);
        if (!error.empty()) {
            status = fail(quotedName(path) + ": " + error);
            continue;
        }
        const CellCount cells = fitStill(options, terminal, fullPicture.width, fullPicture.height);
        const ShownPicture& shown = converter.convert(shownPicture.view(), cells);
        const std::vector<ColouredCell> coloured = colouredCells(shown, palette);
        PictureFigures figures;
        if (!measurePicture(fullPicture.rgb.get(), fullPicture.width, fullPicture.height, fullPicture.rowBytes(),
                            coloured.data(), cells.columns, cells.rows, figures)) {
            status = fail(quotedName(path) + ": " + std::to_string(cells.columns) + "x" + std::to_string(cells.rows) +
                          " cells, more than can be judged (" + std::to_string(maxMeasuredCells) +
                          " cells)");
            continue;
        }
        printFigures(quotedName(path), cells.columns, cells.rows, figures);
        total.cellError += figures.cellError;
        total.blockError += figures.blockError;
        total.scielab += figures.scielab;
        total.structure += figures.structure;
        ++judged;
    }
    if (judged > 1) {
        std::printf("mean of %d pictures: cell error %.2f, 2x2 error %.2f, S-CIELAB %.3f, structure %.3f\n", judged,
                    total.cellError / judged, total.blockError / judged, total.scielab / judged,
                    total.structure / judged);
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    // --cells and --palette are this tool's own; the rest goes to the
    // viewer's option reader.
    std::vector<const char*> viewerArguments{argv[0]};
    std::string cellsPath;
    bool cells = false;
    Palette palette = vgaPalette();
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") {
            viewerArguments.insert(viewerArguments.end(), argv + i, argv + argc);
            break;
        }
        bool own = false;
        for (const std::string_view option : {"--cells", "--palette"}) {
            if (argument != option && !argument.starts_with(std::string(option) + "=")) continue;
            own = true;
            std::string_view value;
            if (argument.size() > option.size()) {
                value = argument.substr(option.size() + 1);
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                return fail(std::string(option) + " needs a value");
            }
            if (option == "--cells") {
                cells = true;
                cellsPath = value;
            } else if (!parsePalette(value, palette)) {
                return fail("--palette: " + quotedName(value) +
                            " is not vga, xterm, campbell or sixteen RRGGBB colours separated by commas");
            }
        }
        if (!own) viewerArguments.push_back(argv[i]);
    }

    if (cells) {
        // Nothing but the picture may follow (and --help).
        std::vector<std::string> pictures;
        bool endOfOptions = false;
        for (std::size_t i = 1; i < viewerArguments.size(); ++i) {
            const std::string_view argument = viewerArguments[i];
            if (!endOfOptions && argument == "--help") {
                std::fputs(usage, stdout);
                return 0;
            }
            if (!endOfOptions && argument == "--") {
                endOfOptions = true;
            } else if (!endOfOptions && argument.size() > 1 && argument.front() == '-') {
                return fail("--cells takes no viewer option such as " + quotedName(argument));
            } else {
                pictures.emplace_back(argument);
            }
        }
        if (pictures.size() != 1) return fail("--cells OUTPUT takes one PICTURE");
        return judgePrinted(cellsPath, pictures.front(), palette);
    }

    ViewOptions options;
    if (const std::string error = parseViewOptions(static_cast<int>(viewerArguments.size()), viewerArguments.data(),
                                                   options);
        !error.empty()) {
        return fail(error);
    }
    if (options.help) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("vantrel-quality %s\n", packageVersion);
        return 0;
    }
    if (options.raw || !options.pngPath.empty()) return fail("--raw and --png are the viewer's; give pictures");
    // Pictures are judged against themselves laid over black.
    if (options.background) return fail("--background is the viewer's: transparent pixels are judged over black");
    return judgeShown(options, palette);
}
