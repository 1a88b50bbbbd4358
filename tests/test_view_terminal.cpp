// The picture as the terminal frames it: the fit into the window for
// pictures of every shape, the cell shape and background taken from the
// terminal's answers, and transparent pixels laid over a light and a dark
// background by the real vantrel-view, read back through libvterm.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/vterm_screen.h"
#include "tools/view/terminal_answers.h"
#include "tools/view/view_picture.h"

using namespace vantrel;

namespace {

std::uint32_t packed(Rgb c) { return std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 | c.blue; }

struct FitCase {
    const char* picture;
    int width, height;
    Extent terminal;
    double cellAspect;
    FitKind fit;
    bool stretch;
    CellCount expected;
};

// Worked by hand: the scale (cell columns a pixel) is the least of
// columns / width, (rows - 1) * aspect / height and 1.
TEST(WindowFit, EveryShapeAtEveryTerminalSize) {
    const FitKind window = FitKind::window, width = FitKind::width;
    const FitCase cases[] = {
        {"square", 512, 512, {80, 24}, 2, window, false, {46, 23}},
        {"square", 512, 512, {160, 50}, 2, window, false, {98, 49}},
        {"square", 512, 512, {80, 24}, 13.0 / 6, window, false, {50, 23}},  // xterm's 6x13 cells
        {"square", 512, 512, {80, 24}, 2, width, false, {80, 40}},
        {"square", 512, 512, {80, 1}, 2, window, false, {2, 1}},
        {"wide", 1600, 900, {80, 24}, 2, window, false, {80, 23}},
        {"wide", 1600, 900, {160, 50}, 2, window, false, {160, 45}},
        {"wide", 1600, 900, {40, 10}, 2, window, false, {32, 9}},
        {"tall", 300, 1500, {80, 24}, 2, window, false, {9, 23}},
        {"tall", 300, 1500, {160, 50}, 2, window, false, {20, 49}},
        {"tall", 300, 1500, {80, 24}, 2, width, false, {80, 200}},
        {"tiny", 10, 8, {80, 24}, 2, window, false, {10, 4}},
        {"tiny", 10, 8, {160, 50}, 2, width, false, {10, 4}},
        {"huge", 20000, 15000, {80, 24}, 2, window, false, {61, 23}},
        {"huge", 20000, 15000, {160, 50}, 2, window, false, {131, 49}},
        {"huge", 20000, 15000, {160, 50}, 2, width, false, {160, 60}},
        {"stretched", 512, 512, {80, 24}, 2, window, true, {80, 23}},
    };
    for (const FitCase& c : cases) {
        ViewOptions options;
        options.cellAspect = c.cellAspect;
        options.fit = c.fit;
        options.stretch = c.stretch;
        const CellCount got = fitStill(options, c.terminal, c.width, c.height);
        EXPECT_TRUE(got.columns == c.expected.columns && got.rows == c.expected.rows)
            << c.picture << " " << c.width << "x" << c.height << " at " << c.terminal.width << "x" << c.terminal.height
            << (c.fit == width ? " --fit width" : "") << ": " << got.columns << "x" << got.rows << ", not "
            << c.expected.columns << "x" << c.expected.rows;
    }
    // --size still enlarges a small picture; the window never does.
    ViewOptions sized;
    sized.size = Extent{40, 20};
    const CellCount enlarged = fitStill(sized, {80, 24}, 10, 8);
    EXPECT_TRUE(enlarged.columns == 40 && enlarged.rows == 16) << enlarged.columns << "x" << enlarged.rows;
}

// The cell shape and the background from what a terminal answers (fed as
// its bytes, no terminal involved), and the options that override them.
TEST(WindowFit, CellShapeAndBackgroundFromTheTerminalsAnswers) {
    TerminalReplyParser parser;
    parser.feed("\x1b]11;rgb:f0f0/e8e8/d0d0\x1b\\\x1b[6;13;6t\x1b[?62;22c");
    ASSERT_TRUE(parser.finished());
    const TerminalAnswers answers = parser.answers();

    ViewOptions told;
    takeFromTerminal(answers, told);
    EXPECT_NEAR(told.cellAspect, 13.0 / 6, 1e-12);
    ASSERT_TRUE(told.background.has_value());
    EXPECT_EQ(packed(*told.background), 0xf0e8d0u);
    const CellCount fitted = fitStill(told, {80, 24}, 512, 512);
    EXPECT_TRUE(fitted.columns == 50 && fitted.rows == 23) << fitted.columns << "x" << fitted.rows;

    // The driver's pixel size comes first: 800x480 pixels in 80x24 cells.
    TerminalAnswers withWindow = answers;
    withWindow.columns = 80, withWindow.rows = 24, withWindow.windowPixels = {800, 480};
    ViewOptions driver;
    takeFromTerminal(withWindow, driver);
    EXPECT_EQ(driver.cellAspect, 2.0);

    const char* argv[] = {"vantrel-view", "--cell-aspect", "1.5", "--background", "#102030", "a.png"};
    ViewOptions given;
    ASSERT_EQ(parseViewOptions(6, argv, given), "");
    takeFromTerminal(answers, given);
    EXPECT_EQ(given.cellAspect, 1.5);
    EXPECT_EQ(packed(*given.background), 0x102030u);

    // A terminal that answers nothing: cells twice as tall as wide, black.
    ViewOptions silent;
    takeFromTerminal(TerminalAnswers{}, silent);
    EXPECT_EQ(silent.cellAspect, 2.0);
    EXPECT_EQ(packed(*silent.background), 0u);

    // A transparent picture converted under the answered background shows it.
    const std::uint8_t clear[4 * 4 * 4] = {};
    told.renderer = RendererKind::blocks;
    ViewPicture converter(told, ColourMode::truecolor);
    const ShownPicture& shown = converter.convert({clear, 4, 4, 16, PixelLayout::rgba}, {2, 2});
    for (const MosaicCell& cell : shown.cells) {
        for (const std::uint32_t colour : {cell.foreground, cell.background}) {
            if (cell.character == U' ' && colour == cell.foreground) continue;
            EXPECT_EQ(colour, 0xf0e8d0u) << "cell U+" << std::hex << static_cast<std::uint32_t>(cell.character);
        }
    }
}

double linear(double v) {
    v /= 255;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}
double encoded(double l) { return 255 * (l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1 / 2.4) - 0.055); }

// The colour a cell's upper and lower halves show, as libvterm holds it.
void halves(const EmulatedCell& e, std::uint32_t& upper, std::uint32_t& lower) {
    lower = e.backgroundDefault ? 0xffffffffu : e.background;
    upper = e.character == 0x2580 ? (e.foregroundDefault ? 0xffffffffu : e.foreground) : lower;
}

// A 4x2 PNG of one transparent, one opaque, one half and one quarter opaque
// column, shown by vantrel-view in 4x1 half-block cells on light and dark
// backgrounds (given, or black when no terminal tells one): each half shows
// the pixel laid over the background in linear light.
TEST(WindowFit, TransparentPngOverLightAndDarkBackgrounds) {
    const std::uint8_t column[4][4] = {{0, 0, 0, 0}, {200, 40, 20, 255}, {255, 0, 0, 128}, {255, 255, 255, 64}};
    std::uint8_t rgba[2][4][4];
    for (auto& row : rgba) {
        for (int x = 0; x < 4; ++x) std::copy(column[x], column[x] + 4, row[x]);
    }
    const std::string path = ::testing::TempDir() + "view_transparent.png";
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = 4;
    image.height = 2;
    image.format = PNG_FORMAT_RGBA;
    ASSERT_NE(png_image_write_to_file(&image, path.c_str(), 0, rgba, 0, nullptr), 0);

    for (const auto& [option, background] : {std::pair{"--background ffffff", 0xffffffu},
                                             std::pair{"--background '#202020'", 0x202020u},
                                             std::pair{"", 0x000000u}}) {
        SCOPED_TRACE(option);
        const std::string command = std::string(VANTREL_VIEW) + " --size 4x1 --stretch --renderer blocks "
                                    "--colours truecolor " + option + " " + path;
        std::FILE* out = popen(command.c_str(), "r");
        ASSERT_NE(out, nullptr);
        std::string printed;
        char chunk[4096];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, out)) > 0;) printed.append(chunk, n);
        ASSERT_EQ(pclose(out), 0);
        EmulatedTerminal term(10, 3);
        for (char c : printed) term.feed(c == '\n' ? std::string_view("\r\n") : std::string_view(&c, 1));
        for (int x = 0; x < 4; ++x) {
            const double opacity = column[x][3] / 255.0;
            std::uint32_t upper = 0, lower = 0;
            halves(term.cell(x, 0), upper, lower);
            EXPECT_EQ(upper, lower) << "column " << x;
            for (int channel = 0; channel < 3; ++channel) {
                const int shift = 16 - 8 * channel;
                const double under = linear((background >> shift) & 0xff);
                const double want = encoded(opacity * linear(column[x][channel]) + (1 - opacity) * under);
                EXPECT_NEAR(static_cast<double>((upper >> shift) & 0xff), want, 1.0)
                    << "column " << x << " channel " << channel;
            }
        }
    }
}

}  // namespace
