// vantrel-quality: how faithfully vantrel-view shows pictures. Takes the
// viewer's options and files; for each picture prints the mean CIEDE2000
// difference between the seen colours of the cells the viewer would show
// and the picture area-averaged in linear light onto the same grid, per cell
// and over 2x2-cell blocks. Shade and glyph cells are seen in the VGA
// colours; half blocks as a terminal in the chosen colour mode shows them.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/package_version.h"
#include "tools/quoted_bytes.h"
#include "tools/view/area_scaler.h"
#include "tools/view/picture_converter.h"
#include "tools/view/picture_file.h"
#include "tools/view/picture_quality.h"
#include "tools/view/terminal_size.h"

using namespace vantrel;

namespace {

const char* const usage =
    "Usage: vantrel-quality [VIEWER OPTION]... FILE...\n"
    "Judge what vantrel-view would show for each PNG, JPEG or WebP FILE: the mean\n"
    "CIEDE2000 difference between each cell's seen colour (its colours mixed\n"
    "in linear light by the ink share of its character) and the picture\n"
    "area-averaged in linear light onto the same cells; then the same over\n"
    "2x2-cell blocks. The options are vantrel-view's (--size, --stretch,\n"
    "--renderer, --block, --colours, --dither, ...), without --raw and --png;\n"
    "--colours auto is 16 here.\n"
    "\n"
    "Prints one line a picture, and the means of all pictures when there are\n"
    "several. A damaged file is not judged. Exit status 0, or 2 for a bad\n"
    "argument or file. --help shows this text, --version the version.\n";

int fail(const std::string& message) {
    std::fprintf(stderr, "vantrel-quality: %s\n", message.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    ViewOptions options;
    if (const std::string error = parseViewOptions(argc, argv, options); !error.empty()) return fail(error);
    if (options.help) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("vantrel-quality %s\n", packageVersion);
        return 0;
    }
    if (options.raw || !options.pngPath.empty()) return fail("--raw and --png are the viewer's; give pictures");
    const ColourMode mode = options.colours == ColourChoice::automatic ? ColourMode::ansi16
                                                                       : resolveColours(options.colours);
    const Extent terminal = outputTerminalSize();
    PictureConverter converter(options.renderer, blockFor(options), ditherFor(options));
    AreaScaler scaler;
    QualityFigures total;
    int judged = 0;
    int status = 0;
    for (const std::string& path : options.files) {
        // The picture as the viewer decodes it, and in full for the reference.
        RgbPicture shownPicture, fullPicture;
        const TargetSize target = [&](int width, int height, int& wantedWidth, int& wantedHeight) {
            const CellCount samples =
                samplesFor(options.renderer, blockFor(options), fitStill(options, terminal, width, height));
            wantedWidth = samples.columns;
            wantedHeight = samples.rows;
        };
        std::string error = loadPicture(path, target, PictureLimits{}, shownPicture);
        if (error.empty()) error = loadPicture(path, nullptr, PictureLimits{}, fullPicture);
        if (!error.empty()) {
            fail(quotedName(path) + ": " + error);
            status = 2;
            continue;
        }
        const CellCount cells = fitStill(options, terminal, fullPicture.width, fullPicture.height);
        converter.setSizes(shownPicture.width, shownPicture.height, cells);
        const ShownPicture& shown = converter.convert(shownPicture.rgb.get(), shownPicture.rowBytes());

        std::vector<LinearRgb> reference(static_cast<std::size_t>(cells.columns) * cells.rows);
        scaler.setSizes(fullPicture.width, fullPicture.height, cells.columns, cells.rows);
        scaler.scaleLinear(fullPicture.rgb.get(), fullPicture.rowBytes(), reference.data(), cells.columns);
        const QualityFigures figures = compareGrids(seenColours(shown, mode), reference, cells.columns, cells.rows);
        std::printf("%s: %dx%d cells, cell error %.2f, 2x2 error %.2f\n", quotedName(path).c_str(), cells.columns,
                    cells.rows, figures.cellError, figures.blurredError);
        total.cellError += figures.cellError;
        total.blurredError += figures.blurredError;
        ++judged;
    }
    if (judged > 1) {
        std::printf("mean of %d pictures: cell error %.2f, 2x2 error %.2f\n", judged, total.cellError / judged,
                    total.blurredError / judged);
    }
    return status;
}
