// The picture as the terminal frames it: the fit into the window for
// pictures of every shape, the cell shape and background taken from the
// terminal's answers, and transparent pixels laid over a light and a dark
// background by the real vantrel-view, read back through libvterm.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "tests/vterm_screen.h"
#include "tools/view/terminal_answers.h"
#include "tools/view/view_picture.h"

using namespace vantrel;

namespace {

std::uint32_t packed(Rgb c) { return std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 | c.blue; }

// Worked by hand: the scale (cell columns a pixel) is the least of
// columns / width, (rows - 1) * aspect / height and 1.
TEST(WindowFit, EveryShapeAtEveryTerminalSize) {
    const FitKind window = FitKind::window, width = FitKind::width;
    const struct {
        int width, height, columns, rows;
        double aspect;
        FitKind fit;
        int expectedColumns, expectedRows;
    } cases[] = {
        {512, 512, 80, 24, 2, window, 46, 23},        {512, 512, 160, 50, 2, window, 98, 49},
        {512, 512, 80, 24, 13.0 / 6, window, 50, 23},  // xterm's 6x13 cells
        {512, 512, 80, 24, 2, width, 80, 40},         {512, 512, 80, 1, 2, window, 2, 1},
        {1600, 900, 80, 24, 2, window, 80, 23},       {1600, 900, 160, 50, 2, window, 160, 45},
        {1600, 900, 40, 10, 2, window, 32, 9},        {300, 1500, 80, 24, 2, window, 9, 23},
        {300, 1500, 160, 50, 2, window, 20, 49},      {300, 1500, 80, 24, 2, width, 80, 200},
        {10, 8, 80, 24, 2, window, 10, 4},            {10, 8, 160, 50, 2, width, 10, 4},
        {20000, 15000, 80, 24, 2, window, 61, 23},    {20000, 15000, 160, 50, 2, window, 131, 49},
        {20000, 15000, 160, 50, 2, width, 160, 60},
    };
    for (const auto& c : cases) {
        ViewOptions options;
        options.cellAspect = c.aspect;
        options.fit = c.fit;
        const CellCount got = fitStill(options, {c.columns, c.rows}, c.width, c.height);
        EXPECT_TRUE(got.columns == c.expectedColumns && got.rows == c.expectedRows)
            << c.width << "x" << c.height << " at " << c.columns << "x" << c.rows << (c.fit == width ? " by width" : "")
            << ": " << got.columns << "x" << got.rows;
    }
    ViewOptions stretched, sized;  // the window less a row; --size still enlarges
    stretched.stretch = true;
    sized.size = Extent{40, 20};
    EXPECT_EQ(fitStill(stretched, {80, 24}, 512, 512).rows, 23);
    EXPECT_EQ(fitStill(sized, {80, 24}, 10, 8).columns, 40);
}

// The cell shape and background from a terminal's answers (its bytes fed to
// the parser), the options that override them, and a transparent picture
// converted under the answered background.
TEST(WindowFit, CellShapeAndBackgroundFromTheTerminalsAnswers) {
    TerminalReplyParser parser;
    parser.feed("\x1b]11;rgb:f0f0/e8e8/d0d0\x1b\\\x1b[6;13;6t\x1b[?62;22c");
    TerminalAnswers answers = parser.answers();
    ViewOptions told, given, silent, driver;
    takeFromTerminal(answers, told);
    EXPECT_NEAR(told.cellAspect, 13.0 / 6, 1e-12);
    EXPECT_EQ(packed(told.background.value_or(Rgb{1, 2, 3})), 0xf0e8d0u);
    EXPECT_EQ(fitStill(told, {80, 24}, 512, 512).columns, 50);

    const char* argv[] = {"vantrel-view", "--cell-aspect", "1.5", "--background", "#102030", "a.png"};
    ASSERT_EQ(parseViewOptions(6, argv, given), "");
    takeFromTerminal(answers, given);
    EXPECT_EQ(given.cellAspect, 1.5);
    EXPECT_EQ(packed(*given.background), 0x102030u);
    takeFromTerminal(TerminalAnswers{}, silent);
    EXPECT_EQ(silent.cellAspect, 2.0);
    EXPECT_EQ(packed(*silent.background), 0u);
    // The driver's pixels come first: 800x480 in 80x24 cells.
    answers.columns = 80, answers.rows = 24, answers.windowPixels = {800, 480};
    takeFromTerminal(answers, driver);
    EXPECT_EQ(driver.cellAspect, 2.0);

    const std::uint8_t clear[4 * 4 * 4] = {};
    told.renderer = RendererKind::blocks;
    ViewPicture converter(told, ColourMode::truecolor);
    for (const MosaicCell& cell : converter.convert({clear, 4, 4, 16, PixelLayout::rgba}, {2, 2}).cells) {
        EXPECT_EQ(cell.background, 0xf0e8d0u);
        EXPECT_TRUE(cell.character == U' ' || cell.foreground == 0xf0e8d0u);
    }
}

double linear(double v) { return v <= 0.04045 * 255 ? v / 255 / 12.92 : std::pow((v / 255 + 0.055) / 1.055, 2.4); }
double encoded(double l) { return 255 * (l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1 / 2.4) - 0.055); }

// A 4x2 PNG of a transparent, an opaque, a half and a quarter opaque column,
// shown by vantrel-view in 4x1 half-block cells over light and dark
// backgrounds (given, or black with no terminal to ask): each cell shows
// its pixels laid over the background in linear light.
TEST(WindowFit, TransparentPngOverLightAndDarkBackgrounds) {
    const std::uint8_t column[4][4] = {{0, 0, 0, 0}, {200, 40, 20, 255}, {255, 0, 0, 128}, {255, 255, 255, 64}};
    std::uint8_t rgba[2][4][4];
    for (int i = 0; i < 32; ++i) rgba[i / 16][i / 4 % 4][i % 4] = column[i / 4 % 4][i % 4];
    const std::string path = ::testing::TempDir() + "view_transparent.png";
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = 4, image.height = 2, image.format = PNG_FORMAT_RGBA;
    ASSERT_NE(png_image_write_to_file(&image, path.c_str(), 0, rgba, 0, nullptr), 0);

    for (const auto& [option, background] : {std::pair{"--background ffffff", 0xffffffu},
                                             std::pair{"--background '#202020'", 0x202020u}, std::pair{"", 0u}}) {
        std::FILE* out = popen((std::string(VANTREL_VIEW) + " --size 4x1 --stretch --renderer blocks --colours "
                                "truecolor " + option + " " + path).c_str(), "r");
        ASSERT_NE(out, nullptr);
        EmulatedTerminal term(10, 3);
        for (int c; (c = std::fgetc(out)) != EOF;) term.feed(c == '\n' ? "\r\n" : std::string(1, static_cast<char>(c)));
        ASSERT_EQ(pclose(out), 0);
        for (int x = 0; x < 4; ++x) {
            const EmulatedCell e = term.cell(x, 0);
            ASSERT_FALSE(e.backgroundDefault) << option << " column " << x;
            EXPECT_TRUE(e.character != 0x2580 || e.foreground == e.background) << option << " column " << x;
            const double opacity = column[x][3] / 255.0;
            for (int shift = 16, channel = 0; channel < 3; shift -= 8, ++channel) {
                const double want = encoded(opacity * linear(column[x][channel]) +
                                            (1 - opacity) * linear((background >> shift) & 0xff));
                EXPECT_NEAR((e.background >> shift) & 0xff, want, 1.0) << option << " column " << x;
            }
        }
    }
}

}  // namespace
