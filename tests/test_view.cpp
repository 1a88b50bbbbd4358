// The picture viewer's pieces: area averaging in linear light, fitting,
// the PNG and JPEG readers on good, damaged and oversized files (made here),
// the colour difference against published pairs, and the real vantrel-view
// read back through an emulated terminal.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/terminal_expect.h"
#include "tests/vterm_screen.h"
#include "tools/png_file.h"
#include "tools/view/area_scaler.h"
#include "vantrel/colour_difference.h"
#include "tools/view/picture_converter.h"
#include "tools/view/picture_file.h"
#include "tools/view/picture_fit.h"
#include "tools/view/picture_quality.h"
#include "tools/view/srgb_encoding.h"

using namespace vantrel;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A picture whose pixel (x, y) has colour f(x, y).
template <class F>
Bytes makeRgb(int width, int height, F f) {
    Bytes rgb(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = f(x, y);
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = c.red;
            p[1] = c.green;
            p[2] = c.blue;
        }
    }
    return rgb;
}

Rgb patterned(int x, int y) {
    return Rgb{static_cast<std::uint8_t>(x * 7 + y), static_cast<std::uint8_t>(x * y), static_cast<std::uint8_t>(y * 5)};
}

Bytes pngOf(const Bytes& rgb, int width, int height) {
    Bytes png;
    EXPECT_EQ(encodeRgbPng(rgb.data(), width, height, png), "");
    return png;
}

Bytes jpegOf(const Bytes& rgb, int width, int height) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<std::uint8_t*>(&rgb[static_cast<std::size_t>(info.next_scanline) * width * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes jpeg(out, out + size);
    jpeg_destroy_compress(&info);
    std::free(out);
    return jpeg;
}

// Reads a file held in memory; "" or the reason it failed.
std::string read(const Bytes& file, RgbPicture& out, const TargetSize& target = nullptr,
                 const PictureLimits& limits = PictureLimits{}) {
    std::FILE* f = fmemopen(const_cast<std::uint8_t*>(file.data()), file.size(), "rb");
    const std::string error = readPicture(f, target, limits, out);
    std::fclose(f);
    return error;
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
                scaler.scale(rgb.data(), source.width * 3, out.data(), target.width);
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
        scaler.scale(board.data(), 64 * 3, out.data(), target.width);
        for (const Pixel& p : out) EXPECT_TRUE(p.red == 188 && p.green == 188 && p.blue == 188) << int(p.red);
    }
    // At sizes that cut pixels, the whole still holds half the light.
    for (const Extent target : {Extent{10, 7}, Extent{27, 31}, Extent{100, 75}}) {
        scaler.setSizes(64, 48, target.width, target.height);
        std::vector<LinearRgb> out(static_cast<std::size_t>(target.width) * target.height);
        scaler.scaleLinear(board.data(), 64 * 3, out.data(), target.width);
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

TEST(PictureFile, GoodDamagedAndOversizedFiles) {
    const Bytes rgb = makeRgb(40, 30, patterned);
    const Bytes png = pngOf(rgb, 40, 30);
    const Bytes smooth = makeRgb(40, 30, [](int x, int y) {
        return Rgb{static_cast<std::uint8_t>(x * 6), static_cast<std::uint8_t>(y * 8), static_cast<std::uint8_t>(x + y)};
    });
    const Bytes jpeg = jpegOf(smooth, 40, 30);
    RgbPicture p;
    ASSERT_EQ(read(png, p), "");
    ASSERT_TRUE(p.width == 40 && p.height == 30);
    EXPECT_TRUE(std::equal(rgb.begin(), rgb.end(), p.rgb.get())) << "PNG pixels come back as written";
    ASSERT_EQ(read(jpeg, p), "");
    ASSERT_TRUE(p.width == 40 && p.height == 30);
    int far = 0;
    for (std::size_t i = 0; i < smooth.size(); ++i) far += std::abs(int(smooth[i]) - int(p.rgb[i])) > 6;
    EXPECT_EQ(far, 0) << "JPEG pixels come back close to what was written";

    // Every cut that loses picture data (a PNG's last chunk, IEND, holds
    // none) gives a reason, most "truncated" (a JPEG's with what decoded);
    // flipped bytes are refused or read, never more.
    for (const Bytes* file : {&png, &jpeg}) {
        int truncated = 0, cuts = 0;
        const std::size_t end = file == &png ? file->size() - 12 : file->size();
        for (std::size_t cut = 1; cut < end; cut += 7, ++cuts) {
            const std::string error = read(Bytes(file->begin(), file->begin() + static_cast<std::ptrdiff_t>(cut)), p);
            EXPECT_NE(error, "") << "cut at " << cut;
            truncated += error.find("truncated") != std::string::npos;
        }
        EXPECT_GT(truncated, cuts * 3 / 4);
        for (std::size_t at = 0; at < file->size(); at += 13) {
            Bytes damaged = *file;
            damaged[at] ^= 0x5A;
            const std::string error = read(damaged, p);
            EXPECT_TRUE(error.empty() || error.find("PNG") != std::string::npos ||
                        error.find("JPEG") != std::string::npos || error.find("not a PNG") != std::string::npos)
                << error;
        }
    }
    EXPECT_EQ(read(Bytes{'G', 'I', 'F', '8'}, p), notAPictureReason());
    EXPECT_EQ(read(Bytes{}, p), "empty file");

    // A header declaring 30000x30000 pixels is refused before anything is
    // decoded. PNG: the IHDR size (bytes 16..23) and its CRC.
    Bytes huge = png;
    for (int i = 0; i < 2; ++i) {
        huge[16 + 4 * i] = 0, huge[17 + 4 * i] = 0, huge[18 + 4 * i] = 30000 >> 8, huge[19 + 4 * i] = 30000 & 255;
    }
    std::uint32_t crc = 0xFFFFFFFFu;
    for (int i = 12; i < 29; ++i) {
        crc ^= huge[static_cast<std::size_t>(i)];
        for (int k = 0; k < 8; ++k) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    crc ^= 0xFFFFFFFFu;
    for (int i = 0; i < 4; ++i) huge[static_cast<std::size_t>(29 + i)] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    EXPECT_EQ(read(huge, p), "picture too large: 30000x30000 pixels (at most 134217728)");
    // JPEG: the frame header after its FFC0 marker: length, precision, height, width.
    huge = jpeg;
    for (std::size_t i = 2; i + 8 < huge.size(); ++i) {
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
            huge[i + 5] = huge[i + 7] = 30000 >> 8;
            huge[i + 6] = huge[i + 8] = 30000 & 255;
            break;
        }
    }
    EXPECT_EQ(read(huge, p), "picture too large: 30000x30000 pixels (at most 268435456)");

    // A large JPEG shown small is decoded at a reduced size: 1/4 keeps four
    // times the 80x50 wanted.
    const Bytes big = jpegOf(makeRgb(1600, 1200, patterned), 1600, 1200);
    ASSERT_EQ(read(big, p, [](int, int, int& w, int& h) { w = 80, h = 50; }), "");
    EXPECT_TRUE(p.width == 400 && p.height == 300) << p.width << "x" << p.height;
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

// Dithering judges better over 2x2-cell blocks on a smooth gradient, and
// the blocks renderer in 24-bit colour all but matches the picture.
TEST(PictureConverter, DitherAndBlocksJudgedByTheirSeenColours) {
    const int width = 320, height = 200;
    const Bytes rgb = makeRgb(width, height, [](int x, int y) {
        return Rgb{static_cast<std::uint8_t>(x * 255 / 319), static_cast<std::uint8_t>(y * 255 / 199), 90};
    });
    AreaScaler scaler;
    std::vector<LinearRgb> reference(80 * 50);
    scaler.setSizes(width, height, 80, 50);
    scaler.scaleLinear(rgb.data(), width * 3, reference.data(), 80);
    const auto judge = [&](RendererKind renderer, bool dither, ColourMode mode) {
        PictureConverter converter(renderer, BlockSize::one, dither);
        converter.setSizes(width, height, {80, 50});
        return compareGrids(seenColours(converter.convert(rgb.data(), width * 3), mode), reference, 80, 50);
    };
    const QualityFigures plain = judge(RendererKind::shade, false, ColourMode::ansi16);
    const QualityFigures dithered = judge(RendererKind::shade, true, ColourMode::ansi16);
    EXPECT_LT(dithered.blurredError, plain.blurredError * 0.8);
    EXPECT_LT(plain.cellError, 10.0);
    EXPECT_LT(judge(RendererKind::blocks, false, ColourMode::truecolor).cellError, 0.3);
}

// The real vantrel-view, its output fed to libvterm: the cells the library
// path makes for the picture, in every colour mode, and nothing left set.
TEST(ViewerOutput, TerminalShowsTheCells) {
    const int width = 60, height = 40;
    const Bytes rgb = makeRgb(width, height, patterned);
    const std::string path = ::testing::TempDir() + "view_output.png";
    const Bytes png = pngOf(rgb, width, height);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(png.data(), 1, png.size(), f);
    std::fclose(f);

    for (const std::string renderer : {"shade", "glyph", "blocks"}) {
        const RendererKind kind = renderer == "shade"   ? RendererKind::shade
                                  : renderer == "glyph" ? RendererKind::glyph
                                                        : RendererKind::blocks;
        PictureConverter converter(kind, kind == RendererKind::glyph ? BlockSize::two : BlockSize::one,
                                   kind == RendererKind::shade);
        converter.setSizes(width, height, {30, 10});
        const ShownPicture& shown = converter.convert(rgb.data(), width * 3);
        for (const auto& [name, mode] : {std::pair{"16", ColourMode::ansi16}, std::pair{"256", ColourMode::ansi256},
                                         std::pair{"truecolor", ColourMode::truecolor}}) {
            SCOPED_TRACE(renderer + " " + name);
            const std::string command = std::string(VANTREL_VIEW) + " --size 30x10 --stretch --renderer " + renderer +
                                        " --colours " + name + " " + path;
            std::FILE* out = popen(command.c_str(), "r");
            ASSERT_NE(out, nullptr);
            std::string printed;
            char chunk[4096];
            for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, out)) > 0;) printed.append(chunk, n);
            ASSERT_EQ(pclose(out), 0);
            EmulatedTerminal term(40, 12);
            for (char c : printed) term.feed(c == '\n' ? std::string_view("\r\n") : std::string_view(&c, 1));
            EXPECT_EQ(term.cursorRow(), 10);
            EXPECT_EQ(term.cursorColumn(), 0);
            int wrong = 0;
            for (int row = 0; row < 10; ++row) {
                for (int column = 0; column < 30; ++column) {
                    const EmulatedCell e = term.cell(column, row);
                    const Rgb* upper = shown.halves.data() + (2 * row) * 30 + column;
                    const std::string problem = kind == RendererKind::blocks
                                                    ? halfBlockProblem(e, upper[0], upper + 30, mode)
                                                    : cellProblem(e, shown.cells[row * 30 + column], mode);
                    if (!problem.empty() && ++wrong <= 3) ADD_FAILURE() << column << "," << row << ": " << problem;
                }
                EXPECT_TRUE(term.cell(30, row).backgroundDefault) << "colour past the end of row " << row;
            }
            term.feed("x");
            const EmulatedCell after = term.cell(0, 10);
            EXPECT_TRUE(after.foregroundDefault && after.backgroundDefault) << "colours left set at the end";
        }
    }
}

}  // namespace
