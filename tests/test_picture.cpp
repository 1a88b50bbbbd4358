// The picture library: area averaging in linear light against a direct
// computation (both orders of summing, alpha over a background, a run of
// rows alone), the converter's bands of rows against the whole, and its cost
// on pictures far longer than wide, the sRGB encoding, fitting, the colour
// difference against published pairs, the console colours a terminal shows
// and the shade renderer choosing cells under a terminal's palette.
#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "tests/rgb_pictures.h"
#include "picture/srgb_encoding.h"
#include "vantrel/area_scaler.h"
#include "vantrel/cell_colours.h"
#include "vantrel/coloured_cell.h"
#include "vantrel/cp437_unicode.h"
#include "vantrel/colour_difference.h"
#include "vantrel/picture_converter.h"
#include "vantrel/picture_fit.h"
#include "vantrel/mosaic_renderer.h"
#include "vantrel/picture_renderers.h"
#include "vantrel/seen_colour.h"

using namespace vantrel;

namespace {


struct Extent {
    int width = 0;
    int height = 0;
};


// The code page 437 code of a character of cp437Unicode.
Cell consoleCell(char32_t character) {
    for (int code = 0; code < 256; ++code) {
        if (cp437Unicode[static_cast<std::size_t>(code)] == character) return static_cast<Cell>(code);
    }
    return 0;
}

ByteImage rgbImage(const Bytes& rgb, int width, int height) {
    return {rgb.data(), width, height, static_cast<std::ptrdiff_t>(width) * 3, PixelLayout::rgb};
}

TEST(AreaScaler, FlatColourStaysAndCheckerboardKeepsItsBrightness) {
    AreaScaler scaler;
    const Extent sizes[] = {{640, 360}, {7, 3}, {1, 1}, {33, 17}};
    const Extent targets[] = {{80, 50}, {13, 9}, {1, 1}, {160, 100}, {33, 17}};
    for (const Extent source : sizes) {
        for (const Extent target : targets) {
            SCOPED_TRACE(std::to_string(source.width) + "x" + std::to_string(source.height) + " to " +
                         std::to_string(target.width) + "x" + std::to_string(target.height));
            scaler.setSizes(source.width, source.height, target.width, target.height);
            std::vector<Pixel> out(static_cast<std::size_t>(target.width) * target.height);
            for (Rgb flat : {Rgb{0, 0, 0}, Rgb{255, 255, 255}, Rgb{1, 128, 254}, Rgb{187, 13, 99}}) {
                const Bytes rgb = makeRgb(source.width, source.height, [&](int, int) { return flat; });
                ASSERT_TRUE(scaler.scale(rgbImage(rgb, source.width, source.height), out.data(), target.width));
                int wrong = 0;
                for (const Pixel& p : out) wrong += p.red != flat.red || p.green != flat.green || p.blue != flat.blue;
                EXPECT_EQ(wrong, 0) << "a flat colour changed";
            }
        }
    }
    // Black and white pixels in a checkerboard average, as light, to half
    // the light of white: sRGB 188, not the 128 of averaged bytes.
    const Bytes board = makeRgb(64, 48, [](int x, int y) {
        const std::uint8_t v = (x + y) % 2 == 0 ? 255 : 0;
        return Rgb{v, v, v};
    });
    for (const Extent target : {Extent{32, 24}, Extent{16, 12}, Extent{8, 6}}) {
        scaler.setSizes(64, 48, target.width, target.height);
        std::vector<Pixel> out(static_cast<std::size_t>(target.width) * target.height);
        ASSERT_TRUE(scaler.scale(rgbImage(board, 64, 48), out.data(), target.width));
        for (const Pixel& p : out) EXPECT_TRUE(p.red == 188 && p.green == 188 && p.blue == 188) << int(p.red);
    }
    // At sizes that cut pixels, the whole still holds half the light.
    for (const Extent target : {Extent{10, 7}, Extent{27, 31}, Extent{100, 75}}) {
        scaler.setSizes(64, 48, target.width, target.height);
        std::vector<LinearRgb> out(static_cast<std::size_t>(target.width) * target.height);
        ASSERT_TRUE(scaler.scaleLinear(rgbImage(board, 64, 48), out.data(), target.width));
        double sum = 0;
        for (const LinearRgb& c : out) sum += c.green;
        EXPECT_NEAR(sum / static_cast<double>(out.size()), 0.5, 0.01) << target.width << "x" << target.height;
    }
}

// The fast encoding gives linearToSrgb's byte for every value: a sweep of
// 2^22 values across 0..1, and the floats on either side of each byte's
// boundary, found from linearToSrgb itself.
TEST(SrgbEncoding, SameAsLinearToSrgb) {
    int wrong = 0;
    for (int i = -8; i <= (1 << 22) + 8; ++i) {
        const float x = static_cast<float>(i) / (1 << 22);
        wrong += encodeSrgb(x) != linearToSrgb(x);
    }
    for (int b = 0; b < 255; ++b) {
        // The first float that encodes above b, by bisection between the
        // values of b and b + 1 (positive floats order as their bits do).
        std::uint32_t low = std::bit_cast<std::uint32_t>(srgbToLinear(static_cast<std::uint8_t>(b)));
        std::uint32_t high = std::bit_cast<std::uint32_t>(srgbToLinear(static_cast<std::uint8_t>(b + 1)));
        while (high - low > 1) {
            const std::uint32_t middle = low + (high - low) / 2;
            (linearToSrgb(std::bit_cast<float>(middle)) > b ? high : low) = middle;
        }
        for (std::uint32_t bits = low - 2; bits <= high + 2; ++bits) {
            wrong += encodeSrgb(std::bit_cast<float>(bits)) != linearToSrgb(std::bit_cast<float>(bits));
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(encodeSrgb(std::nanf("")), 0);
    EXPECT_EQ(encodeSrgb(7.0f), 255);
}

TEST(PictureFit, AspectIconsSizeAndStretch) {
    struct Case {
        int width, height;
        FitRequest request;
        CellCount expected;
    };
    const Case cases[] = {
        {640, 480, {80, 0, 2.0, false, false}, {80, 30}},    // fills the width, cells twice as tall
        {640, 480, {80, 50, 2.0, false, true}, {80, 30}},    // within --size
        {480, 640, {80, 50, 2.0, false, true}, {75, 50}},    // tall: the rows limit it
        {16, 16, {80, 0, 2.0, false, false}, {16, 8}},       // an icon is not enlarged
        {16, 16, {80, 50, 2.0, false, true}, {80, 40}},      // unless --size asks
        {640, 480, {80, 50, 2.0, true, true}, {80, 50}},     // --stretch fills it
        {640, 480, {80, 0, 1.0, false, false}, {80, 60}},    // square cells
        {10000, 1, {80, 0, 2.0, false, false}, {80, 1}},     // at least one row
    };
    for (const Case& c : cases) {
        const CellCount got = fitPicture(c.width, c.height, c.request);
        EXPECT_TRUE(got.columns == c.expected.columns && got.rows == c.expected.rows)
            << c.width << "x" << c.height << " gave " << got.columns << "x" << got.rows;
    }
}

// Pairs from Sharma, Wu and Dalal's CIEDE2000 test data.
TEST(ColourDifference, PublishedPairs) {
    struct Pair {
        Lab first, second;
        double difference;
    };
    const Pair pairs[] = {
        {{50, 2.6772, -79.7751}, {50, 0, -82.7485}, 2.0425},  {{50, 3.1571, -77.2803}, {50, 0, -82.7485}, 2.8615},
        {{50, -1.3802, -84.2814}, {50, 0, -82.7485}, 1.0000}, {{50, 0, 0}, {50, -1, 2}, 2.3669},
        {{50, 2.5, 0}, {73, 25, -18}, 27.1492},               {{50, 2.5, 0}, {61, -5, 29}, 22.8977},
        {{50, 2.5, 0}, {56, -27, -3}, 31.9030},               {{50, 2.5, 0}, {58, 24, 15}, 19.4535},
        {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644},
        {{63.0109, -31.0961, -5.8663}, {62.8187, -29.7946, -4.0864}, 1.2630},
        {{22.7233, 20.0904, -46.6940}, {23.0331, 14.9730, -42.5619}, 2.0373},
        {{90.9257, -0.5406, -0.9208}, {88.6381, -0.8985, -0.7239}, 1.5381},
        {{2.0776, 0.0795, -1.1350}, {0.9033, -0.0636, -0.5514}, 0.9082},
    };
    for (const Pair& p : pairs) {
        EXPECT_NEAR(ciede2000(p.first, p.second), p.difference, 5e-5) << p.first.lightness << " " << p.second.a;
        EXPECT_NEAR(ciede2000(p.second, p.first), p.difference, 5e-5);
    }
    const Lab white = toLab(LinearRgb{1, 1, 1});
    EXPECT_NEAR(white.lightness, 100, 1e-3);
    EXPECT_NEAR(white.a, 0, 1e-3);
    EXPECT_NEAR(white.b, 0, 1e-3);
}


// The area average of target pixel (i, j), straight from the overlaps:
// source pixel s covers [s * target, (s + 1) * target) and target pixel t
// covers [t * source, (t + 1) * source), in units of 1 / target pixels.
double share(int s, int t, int source, int target) {
    const std::int64_t low = std::max<std::int64_t>(std::int64_t{s} * target, std::int64_t{t} * source);
    const std::int64_t high = std::min<std::int64_t>(std::int64_t{s + 1} * target, std::int64_t{t + 1} * source);
    return high > low ? static_cast<double>(high - low) / source : 0.0;
}

// Sizes that take either order of summing (rows first for the tall and the
// wide), in every layout, rows padded; alpha laid over the background.
TEST(AreaScaler, EqualsTheAreaAverageInEveryLayoutAndOrder) {
    struct Case {
        Extent source, target;
    };
    const Case cases[] = {{{37, 23}, {11, 7}}, {{3, 400}, {20, 6}}, {{400, 3}, {6, 20}}, {{5, 4}, {13, 9}},
                          {{1, 90}, {40, 3}},  {{64, 1}, {1, 1}}};
    std::mt19937 random(17);
    const LinearRgb background{0.25f, 0.5f, 0.0625f};
    AreaScaler scaler;
    scaler.setBackground(background);
    for (const PixelLayout layout : {PixelLayout::rgb, PixelLayout::rgba, PixelLayout::rgbx}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(static_cast<int>(layout)) + ": " + std::to_string(c.source.width) + "x" +
                         std::to_string(c.source.height));
            const int bpp = bytesPerPixel(layout);
            const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(c.source.width) * bpp + 5;
            Bytes bytes(static_cast<std::size_t>(stride) * c.source.height);
            for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(random());
            const ByteImage picture{bytes.data(), c.source.width, c.source.height, stride, layout};
            scaler.setSizes(c.source.width, c.source.height, c.target.width, c.target.height);
            std::vector<LinearRgb> out(static_cast<std::size_t>(c.target.width + 2) * c.target.height);
            ASSERT_TRUE(scaler.scaleLinear(picture, out.data(), c.target.width + 2));
            double worst = 0;
            for (int ty = 0; ty < c.target.height; ++ty) {
                for (int tx = 0; tx < c.target.width; ++tx) {
                    double want[3] = {0, 0, 0};
                    for (int sy = 0; sy < c.source.height; ++sy) {
                        const double wy = share(sy, ty, c.source.height, c.target.height);
                        for (int sx = 0; wy > 0 && sx < c.source.width; ++sx) {
                            const double w = wy * share(sx, tx, c.source.width, c.target.width);
                            const std::uint8_t* p = picture.row(sy) + sx * bpp;
                            const double alpha = layout == PixelLayout::rgba ? p[3] / 255.0 : 1.0;
                            const float under[3] = {background.red, background.green, background.blue};
                            for (int k = 0; k < 3; ++k) want[k] += w * (srgbToLinear(p[k]) * alpha + under[k] * (1 - alpha));
                        }
                    }
                    const LinearRgb& got = out[static_cast<std::size_t>(ty) * (c.target.width + 2) + tx];
                    worst = std::max({worst, std::fabs(got.red - want[0]), std::fabs(got.green - want[1]),
                                      std::fabs(got.blue - want[2])});
                }
            }
            EXPECT_LT(worst, 2e-5);
            // Any run of rows alone gives those rows of the whole, exactly.
            const int first = c.target.height / 3, count = c.target.height - first;
            std::vector<LinearRgb> part(static_cast<std::size_t>(c.target.width) * count);
            ASSERT_TRUE(scaler.scaleLinear(picture, part.data(), c.target.width, first, count));
            for (int y = 0; y < count; ++y) {
                for (int x = 0; x < c.target.width; ++x) {
                    const LinearRgb& a = part[static_cast<std::size_t>(y) * c.target.width + x];
                    const LinearRgb& b = out[static_cast<std::size_t>(first + y) * (c.target.width + 2) + x];
                    ASSERT_TRUE(a.red == b.red && a.green == b.green && a.blue == b.blue) << x << "," << first + y;
                }
            }
        }
    }
    // A picture not of the size set, or too little room, is refused.
    Bytes rgb(30);
    std::vector<LinearRgb> out(4);
    scaler.setSizes(2, 5, 2, 2);
    EXPECT_FALSE(scaler.scaleLinear(rgbImage(rgb, 5, 2), out.data(), 2));
    EXPECT_FALSE(scaler.scaleLinear(rgbImage(rgb, 2, 5), out.data(), 1));
    EXPECT_TRUE(scaler.scaleLinear(rgbImage(rgb, 2, 5), out.data(), 2));
    EXPECT_FALSE(scaler.scaleLinear(rgbImage(rgb, 2, 5), out.data(), 2, 1, 2));
    EXPECT_FALSE(scaler.scaleLinear(rgbImage(rgb, 2, 5), out.data(), 2, -1, 1));
}

// The converter hands a mosaic without diffusion its grid a band of rows at
// a time (80 columns: four rows a band, so bands of 4, 4 and 2 here), and
// one that diffuses the whole grid: either way, the cells the renderer makes
// from the whole picture's samples at once.
TEST(PictureConverter, BandsOfRowsGiveTheWholeGridsCells) {
    const int width = 203, height = 117, columns = 80, rows = 10;
    const Bytes rgb = makeRgb(width, height, [](int x, int y) {
        return Rgb{static_cast<std::uint8_t>(x * 255 / (width - 1)), static_cast<std::uint8_t>((x * y) % 251),
                   static_cast<std::uint8_t>((x + 3 * y) % 256)};
    });
    for (const ColourMode mode : {ColourMode::truecolor, ColourMode::ansi256}) {
        MosaicOptions options;
        options.mode = mode;
        options.diffuse = true;
        AreaScaler scaler;
        const int across = MosaicRenderer::sampleColumns * columns, down = MosaicRenderer::sampleRows * rows;
        std::vector<LinearRgb> samples(static_cast<std::size_t>(across) * down);
        scaler.setSizes(width, height, across, down);
        ASSERT_TRUE(scaler.scaleLinear(rgbImage(rgb, width, height), samples.data(), across));
        std::vector<MosaicCell> whole(columns * rows), converted(columns * rows);
        MosaicRenderer renderer(options);
        ASSERT_TRUE(renderer.convert(samples.data(), across, columns, rows, whole.data(), columns));
        PictureConverter converter(makeMosaicRenderer(options));
        EXPECT_EQ(converter.renderer().independentRows(), mode == ColourMode::truecolor);
        ASSERT_TRUE(converter.convert(rgbImage(rgb, width, height), {converted.data(), columns, rows, columns}));
        EXPECT_TRUE(converted == whole) << static_cast<int>(mode);
    }
}

// A picture of 1 x 1,000,000 pixels on 1000x3 cells of 4x4 samples, and
// the same on its side: widening every source row to the target's width
// before summing took about 4 * 10^9 steps (10 s); the work now follows the
// picture's million pixels.
TEST(AreaScaler, CostFollowsThePictureNotTheProductOfTheSizes) {
    const int length = 1'000'000;
    const Bytes line = makeRgb(1, length, [](int, int y) { return Rgb{static_cast<std::uint8_t>(y & 1 ? 255 : 0), 0, 0}; });
    AreaScaler scaler;
    std::vector<LinearRgb> out(4000 * 12);
    const auto start = std::chrono::steady_clock::now();
    for (const bool tall : {true, false}) {
        const int across = tall ? 4000 : 12, down = tall ? 12 : 4000;
        const ByteImage picture{line.data(), tall ? 1 : length, tall ? length : 1,
                                tall ? 3 : static_cast<std::ptrdiff_t>(length) * 3, PixelLayout::rgb};
        scaler.setSizes(picture.width, picture.height, across, down);
        EXPECT_LT(scaler.steps(), 4 * length) << (tall ? "tall" : "wide");
        ASSERT_TRUE(scaler.scaleLinear(picture, out.data(), across));
        // Alternate red and black: every sample is half the light of red.
        int wrong = 0;
        for (const LinearRgb& c : out) wrong += std::fabs(c.red - 0.5f) > 1e-3f || c.green != 0.0f;
        EXPECT_EQ(wrong, 0);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 2.0) << "both scalings together";
}

// Under the VGA palette at sixteen colours, and in truecolor, every console
// cell is seen as seenColourLinear sees it; under xterm's palette, its colours.
TEST(CellColours, ConsoleCellsSeenUnderEachPalette) {
    for (const ColourMode mode : {ColourMode::ansi16, ColourMode::truecolor}) {
        const ConsoleColours colours(mode, vgaPalette());
        int wrong = 0;
        for (int c = 0; c < 65536; ++c) {
            const LinearRgb a = colours.seen(static_cast<Cell>(c));
            const LinearRgb b = seenColourLinear(static_cast<Cell>(c));
            wrong += a.red != b.red || a.green != b.green || a.blue != b.blue;
        }
        EXPECT_EQ(wrong, 0);
    }
    const ConsoleColours xterm(ColourMode::ansi16, xtermPalette());
    // Console blue (1) is ANSI blue (4), 0000ee; console yellow (14) is ANSI 11.
    EXPECT_EQ(toSrgb(xterm.colour(1)).blue, 0xee);
    EXPECT_EQ(toSrgb(xterm.colour(14)).red, 0xff);
    EXPECT_EQ(toSrgb(xterm.colour(14)).blue, 0x00);
}

// At sixteen colours, cells chosen under the terminal's palette show a
// picture better, judged under that palette, than cells chosen under VGA's.
TEST(PictureRenderers, ShadeChoosesByTheColoursTheTerminalShows) {
    const int width = 96, height = 64;
    const Bytes rgb = makeRgb(width, height, [](int x, int y) {
        return Rgb{static_cast<std::uint8_t>(x * 255 / (width - 1)), static_cast<std::uint8_t>(y * 4),
                   static_cast<std::uint8_t>((x + y) * 2)};
    });
    AreaScaler scaler;
    std::vector<LinearRgb> reference(48 * 32);
    scaler.setSizes(width, height, 48, 32);
    ASSERT_TRUE(scaler.scaleLinear(rgbImage(rgb, width, height), reference.data(), 48));
    for (const Palette& terminal : {xtermPalette(), campbellPalette()}) {
        double error[2] = {0, 0};
        for (int k = 0; k < 2; ++k) {
            PictureConverter converter(
                makeShadeRenderer(ColourMode::ansi16, k == 0 ? vgaPalette() : terminal, BlockSize::one, false));
            std::vector<MosaicCell> cells(48 * 32);
            ASSERT_TRUE(converter.convert(rgbImage(rgb, width, height), {cells.data(), 48, 32, 48}));
            for (std::size_t i = 0; i < cells.size(); ++i) {
                const ColouredCell c = colouredCell(cells[i], ColourMode::ansi16, terminal);
                const float ink = inkShare(cellCharacter(consoleCell(c.character)));
                const LinearRgb f = toLinear(c.foreground), b = toLinear(c.background);
                const LinearRgb seen{f.red * ink + b.red * (1 - ink), f.green * ink + b.green * (1 - ink),
                                     f.blue * ink + b.blue * (1 - ink)};
                error[k] += ciede2000(toLab(seen), toLab(reference[i]));
            }
        }
        EXPECT_LT(error[1], error[0] * 0.8);
    }
}

}  // namespace
