// vantrel-quality: how faithfully vantrel-view shows pictures. Takes the
// viewer's options and files; for each picture prints the mean CIEDE2000
// difference between the seen colours of the cells the viewer would show
// and the picture area-averaged in linear light onto the same grid, per cell
// and over 2x2-cell blocks. Cells are seen as a terminal in the chosen
// colour mode shows them, under the palette of --palette (VGA by default).
#include <cstdio>
#include <string>
#include <vector>

#include "tools/quoted_bytes.h"
#include "vantrel/area_scaler.h"
#include "tools/view/picture_file.h"
#include "tools/view/picture_quality.h"
#include "tools/view/terminal_size.h"
#include "tools/view/view_picture.h"

using namespace vantrel;

namespace {

const char* const usage =
    "Usage: vantrel-quality [VIEWER OPTION]... FILE...\n"
    "Judge what vantrel-view would show for each PNG or JPEG FILE: the mean\n"
    "CIEDE2000 difference between each cell's seen colour (its colours mixed\n"
    "in linear light by the ink share of its character) and the picture\n"
    "area-averaged in linear light onto the same cells; then the same over\n"
    "2x2-cell blocks. The options are vantrel-view's (--size, --stretch,\n"
    "--renderer, --block, --colours, --dither, ...), without --raw and --png;\n"
    "--colours auto is 16 here.\n"
    "\n"
    "Prints one line a picture, and the means of all pictures when there are\n"
    "several. Exit status 0, or 2 for a bad argument or file.\n";

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
    if (options.raw || !options.pngPath.empty()) return fail("--raw and --png are the viewer's; give pictures");
    const ColourMode mode = options.colours == ColourChoice::automatic ? ColourMode::ansi16
                                                                       : resolveColours(options.colours);
    const Extent terminal = outputTerminalSize();
    ViewPicture converter(options, mode);
    AreaScaler scaler;
    QualityFigures total;
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
            fail(quotedName(path) + ": " + error);
            status = 2;
            continue;
        }
        const CellCount cells = fitStill(options, terminal, fullPicture.width, fullPicture.height);
        const ShownPicture& shown = converter.convert(shownPicture.view(), cells);

        std::vector<LinearRgb> reference(static_cast<std::size_t>(cells.columns) * cells.rows);
        scaler.setSizes(fullPicture.width, fullPicture.height, cells.columns, cells.rows);
        scaler.scaleLinear(fullPicture.view(), reference.data(), cells.columns);
        const QualityFigures figures =
            compareGrids(seenColours(shown, paletteFor(options)), reference, cells.columns, cells.rows);
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
