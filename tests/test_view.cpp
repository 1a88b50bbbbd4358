// The picture viewer's pieces: the PNG and JPEG readers on good, damaged
// and oversized files (made here), the renderers as the viewer drives them,
// judged by their seen colours, and the real vantrel-view read back through
// an emulated terminal.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "tests/rgb_pictures.h"
#include "tests/terminal_expect.h"
#include "tests/vterm_screen.h"
#include "tools/png_file.h"
#include "vantrel/area_scaler.h"
#include "tools/view/picture_file.h"
#include "tools/view/picture_quality.h"
#include "tools/view/view_picture.h"

using namespace vantrel;

namespace {



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
    const ByteImage picture{rgb.data(), width, height, width * 3, PixelLayout::rgb};
    scaler.scaleLinear(picture, reference.data(), 80);
    const auto judge = [&](RendererKind renderer, bool dither, ColourMode mode) {
        ViewOptions options;
        options.renderer = renderer;
        options.block = BlockSize::one;
        options.dither = dither;
        ViewPicture converter(options, mode);
        return compareGrids(seenColours(converter.convert(picture, {80, 50}), vgaPalette()), reference, 80, 50);
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

    // Each renderer (the mosaic with its symbol sets too), in every colour mode.
    for (const std::string renderer : {"mosaic", "mosaic --symbols sextant,shade", "shade", "glyph", "blocks"}) {
        ViewOptions options;
        const std::string kindName = renderer.substr(0, renderer.find(' '));
        options.renderer = kindName == "mosaic"  ? RendererKind::mosaic
                           : kindName == "shade" ? RendererKind::shade
                           : kindName == "glyph" ? RendererKind::glyph
                                                 : RendererKind::blocks;
        if (renderer != kindName) options.symbols = MosaicSymbols::sextant | MosaicSymbols::shade;
        const bool console = options.renderer == RendererKind::shade || options.renderer == RendererKind::glyph;
        for (const auto& [name, mode, choice] :
             {std::tuple{"16", ColourMode::ansi16, ColourChoice::ansi16},
              std::tuple{"16/8", ColourMode::ansi16, ColourChoice::ansi16Over8},
              std::tuple{"256", ColourMode::ansi256, ColourChoice::ansi256},
              std::tuple{"truecolor", ColourMode::truecolor, ColourChoice::truecolor}}) {
            SCOPED_TRACE(renderer + " " + name);
            options.colours = choice;
            ViewPicture converter(options, mode, vgaPalette());
            const ShownPicture& shown =
                converter.convert(ByteImage{rgb.data(), width, height, width * 3, PixelLayout::rgb}, {30, 10});
            std::vector<Cell> cells;
            if (console) consoleCellsOf(shown, cells);
            if (choice == ColourChoice::ansi16Over8 && !console) {
                for (const MosaicCell& m : shown.cells) ASSERT_LT(m.background, 8u) << "a bright background at 16/8";
            }
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
                    const std::string problem =
                        console ? cellProblem(e, cells[row * 30 + column], mode)
                                : mosaicProblem(e, shown.cells[static_cast<std::size_t>(row * 30 + column)], mode);
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

// Whether the foreground of a mosaic symbol covers pixel (x, y) of an 8x12
// cell, from the symbols' own description: halves and quadrants split the
// cell 4 by 6 pixels, sextants into 2x3 blocks of 4x4 (U+1FB00 + n counts
// the 2x3 patterns 1..62, bit 0 top left to bit 5 bottom right, less the two
// halves the block has, ▌ and ▐). Sets `known` false for any other symbol.
bool symbolCovers(char32_t c, int x, int y, bool& known) {
    known = true;
    const bool right = x >= 4, lower = y >= 6;
    const int quadrant = (lower ? 2 : 0) + (right ? 1 : 0);  // TL TR BL BR
    switch (c) {
        case U' ': return false;
        case U'\u2588': return true;
        case U'\u2580': return !lower;
        case U'\u2584': return lower;
        case U'\u258C': return !right;
        case U'\u2590': return right;
        default: break;
    }
    if (c >= U'\u2596' && c <= U'\u259F') {
        // ▖ ▗ ▘ ▙ ▚ ▛ ▜ ▝ ▞ ▟ as masks of TL 1, TR 2, BL 4, BR 8.
        constexpr int masks[] = {4, 8, 1, 1 | 4 | 8, 1 | 8, 1 | 2 | 4, 1 | 2 | 8, 2, 2 | 4, 2 | 4 | 8};
        return (masks[c - U'\u2596'] >> quadrant) & 1;
    }
    if (c >= U'\U0001FB00' && c <= U'\U0001FB3B') {
        int pattern = static_cast<int>(c - U'\U0001FB00') + 1;
        if (pattern >= 21) ++pattern;  // 21 is the left half
        if (pattern >= 42) ++pattern;  // 42 the right half
        return (pattern >> ((y / 4) * 2 + (right ? 1 : 0))) & 1;
    }
    known = false;
    return false;
}

// --png draws the mosaic's cells by their geometry, 8x12 pixels a cell, in
// the cells' own colours: the real vantrel-view's picture against the cells
// the library path makes.
TEST(ViewerPng, MosaicCellsDrawnByTheirGeometry) {
    const int width = 60, height = 40;
    const Bytes rgb = makeRgb(width, height, patterned);
    const std::string path = ::testing::TempDir() + "view_png_in.png";
    const std::string out = ::testing::TempDir() + "view_png_out.png";
    const Bytes png = pngOf(rgb, width, height);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(png.data(), 1, png.size(), f);
    std::fclose(f);
    const std::string command = std::string(VANTREL_VIEW) +
                                " --size 30x10 --stretch --colours truecolor --symbols quad,sextant --png " + out +
                                " " + path;
    ASSERT_EQ(std::system(command.c_str()), 0);

    ViewOptions options;
    options.symbols = MosaicSymbols::quad | MosaicSymbols::sextant;
    ViewPicture converter(options, ColourMode::truecolor, vgaPalette());
    const ShownPicture& shown =
        converter.convert(ByteImage{rgb.data(), width, height, width * 3, PixelLayout::rgb}, {30, 10});
    RgbPicture drawn;
    ASSERT_EQ(loadPicture(out, nullptr, PictureLimits{}, drawn), "");
    ASSERT_EQ(drawn.width, 30 * 8);
    ASSERT_EQ(drawn.height, 10 * 12);
    int wrong = 0, sextants = 0, quadrants = 0;
    for (int row = 0; row < 10; ++row) {
        for (int column = 0; column < 30; ++column) {
            const MosaicCell& cell = shown.cells[static_cast<std::size_t>(row * 30 + column)];
            sextants += cell.character >= U'\U0001FB00';
            quadrants += cell.character >= U'\u2596' && cell.character <= U'\u259F';
            for (int y = 0; y < 12; ++y) {
                for (int x = 0; x < 8; ++x) {
                    bool known = false;
                    const std::uint32_t colour = symbolCovers(cell.character, x, y, known) ? cell.foreground
                                                                                           : cell.background;
                    ASSERT_TRUE(known) << "unexpected symbol U+" << std::hex << static_cast<std::uint32_t>(cell.character);
                    const std::uint8_t* p = drawn.rgb.get() + ((row * 12 + y) * drawn.width + column * 8 + x) * 3;
                    const std::uint32_t got = std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
                    if (got != colour && ++wrong <= 3) {
                        ADD_FAILURE() << "cell " << column << "," << row << " pixel " << x << "," << y << ": "
                                      << std::hex << got << " for " << colour;
                    }
                }
            }
        }
    }
    EXPECT_GT(sextants, 0);
    EXPECT_GT(quadrants, 0);
    std::remove(out.c_str());
}

}  // namespace
