// The picture readers on files as people have them, made here: CMYK and YCCK
// JPEGs, a truncated one, every EXIF orientation, and transparent PNG and
// WebP pictures; each checked by its pixels.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#ifdef VANTREL_TEST_WEBP
#include <webp/encode.h>
#endif

#include "tests/jpeg_bytes.h"
#include "tools/view/exif_orientation.h"
#include "tools/view/picture_file.h"
#include "vantrel/linear_light.h"

using namespace vantrel;
using test_pictures::JpegRecipe;
using test_pictures::encodeJpeg;
using test_pictures::exifSegment;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string read(const Bytes& file, RgbPicture& out, const TargetSize& target = nullptr,
                 const PictureLimits& limits = PictureLimits{}, AlphaUse alpha = AlphaUse::blendOntoBlack) {
    std::FILE* f = fmemopen(const_cast<std::uint8_t*>(file.data()), file.size(), "rb");
    const std::string error = readPicture(f, target, limits, out, alpha);
    std::fclose(f);
    return error;
}

const std::uint8_t* pixelAt(const RgbPicture& p, int x, int y) {
    return p.rgb.get() + y * p.rowBytes() + x * p.channels();
}

// Colour distance: the largest channel difference.
int distance(const std::uint8_t* got, const std::uint8_t* want) {
    int d = 0;
    for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(int{got[c]} - int{want[c]}));
    return d;
}

TEST(JpegInks, AdobeInvertedPlainAndYcckBecomeRgb) {
    // Four inks (cyan, magenta, yellow, black; 255 is full ink), one for
    // each 16x16 quadrant of a 32x32 picture.
    const std::uint8_t inks[4][4] = {{255, 0, 0, 0}, {0, 255, 255, 0}, {0, 0, 0, 128}, {40, 80, 120, 60}};
    struct Case {
        const char* name;
        bool inverted, ycck;
    };
    for (const Case k : {Case{"Adobe CMYK", true, false}, Case{"plain CMYK", false, false}, Case{"YCCK", true, true}}) {
        SCOPED_TRACE(k.name);
        Bytes cmyk(32 * 32 * 4);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                for (int c = 0; c < 4; ++c) {
                    const std::uint8_t ink = inks[(y / 16) * 2 + x / 16][c];
                    cmyk[(y * 32 + x) * 4 + c] = k.inverted ? 255 - ink : ink;
                }
            }
        }
        // Adobe's marker says the inks are stored inverted; without it they are not.
        const Bytes jpeg = encodeJpeg({.width = 32, .height = 32, .pixels = cmyk.data(), .cmyk = true,
                                       .ycck = k.ycck, .adobeMarker = k.inverted, .quality = 100});
        RgbPicture p;
        ASSERT_EQ(read(jpeg, p), "");
        ASSERT_TRUE(p.width == 32 && p.height == 32 && p.layout == PixelLayout::rgb);
        for (int q = 0; q < 4; ++q) {
            std::uint8_t want[3];
            for (int c = 0; c < 3; ++c) want[c] = static_cast<std::uint8_t>((255 - inks[q][c]) * (255 - inks[q][3]) / 255);
            int worst = 0;
            for (int y = 4; y < 12; ++y) {
                for (int x = 4; x < 12; ++x) worst = std::max(worst, distance(pixelAt(p, (q % 2) * 16 + x, (q / 2) * 16 + y), want));
            }
            EXPECT_LE(worst, 4) << "quadrant " << q << " wants " << int{want[0]} << "," << int{want[1]} << "," << int{want[2]};
        }
    }
}

TEST(JpegDamage, TruncatedShowsWhatDecodedAndOverMemoryIsSaid) {
    // Busy pixels, so that the picture data fills the file evenly; 4:4:4,
    // so that each 8-row band of blocks decodes on its own.
    Bytes rgb(64 * 64 * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>((i * 7919) % 251);
    const Bytes whole = encodeJpeg({.width = 64, .height = 64, .pixels = rgb.data(), .fullChroma = true});
    RgbPicture full, part;
    ASSERT_EQ(read(whole, full), "");
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() * 3 / 5));
    EXPECT_EQ(read(cut, part), "damaged JPEG file (truncated), shown as far as it decoded");
    ASSERT_TRUE(part.rgb != nullptr && part.width == 64 && part.height == 64);
    // The rows before the cut come out as from the whole file, the rows
    // after it grey, with one band of blocks between.
    int same = 0;
    while (same < 64 && std::equal(pixelAt(part, 0, same), pixelAt(part, 0, same) + 64 * 3, pixelAt(full, 0, same))) ++same;
    int grey = 64;
    while (grey > 0 && std::all_of(pixelAt(part, 0, grey - 1), pixelAt(part, 0, grey - 1) + 64 * 3,
                                   [](std::uint8_t v) { return v == 128; })) {
        --grey;
    }
    EXPECT_GE(same, 16) << "rows decoded before the cut were lost";
    EXPECT_LE(grey, 56) << "no grey rows for the missing data";
    EXPECT_LE(grey - same, 8) << "rows " << same << " to " << grey << " are neither decoded nor grey";

    // A progressive JPEG keeps every coefficient: 64x64 4:4:4 needs 24 KiB.
    const Bytes progressive =
        encodeJpeg({.width = 64, .height = 64, .pixels = rgb.data(), .progressive = true, .fullChroma = true});
    PictureLimits limits;
    limits.maxJpegMemory = 16 << 10;
    RgbPicture none;
    EXPECT_EQ(read(progressive, none, nullptr, limits),
              "over the memory limit: decoding this 64x64 progressive JPEG needs more than 16 KiB");
    EXPECT_EQ(none.rgb, nullptr);
}

TEST(ExifOrientation, EveryOrientationTurnsThePicture) {
    // Six 16x16 blocks of different colours, three across and two down.
    const std::uint8_t colours[6][3] = {{220, 30, 30}, {30, 200, 40}, {40, 60, 220},
                                        {230, 220, 40}, {30, 210, 210}, {250, 250, 250}};
    const int w = 48, h = 32;
    Bytes rgb(w * h * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) std::copy_n(colours[(y / 16) * 3 + x / 16], 3, &rgb[(y * w + x) * 3]);
    }
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE("orientation " + std::to_string(orientation));
        const Bytes jpeg = encodeJpeg({.width = w, .height = h, .pixels = rgb.data(), .fullChroma = true,
                                       .orientation = orientation, .bigEndianExif = orientation % 2 == 0});
        RgbPicture p;
        int targetWidth = 0, targetHeight = 0;
        const TargetSize target = [&](int fullWidth, int fullHeight, int& wantedWidth, int& wantedHeight) {
            targetWidth = wantedWidth = fullWidth;
            targetHeight = wantedHeight = fullHeight;
        };
        ASSERT_EQ(read(jpeg, p, target), "");
        const bool swapped = orientation >= 5;
        EXPECT_EQ(p.width, swapped ? h : w);
        EXPECT_EQ(p.height, swapped ? w : h);
        EXPECT_TRUE(targetWidth == p.width && targetHeight == p.height) << "the target is not of the shown picture";
        int wrong = 0;
        for (int y = 2; y < h; y += 4) {
            for (int x = 2; x < w; x += 4) {
                // Where the stored pixel (x, y) is shown: the orientation's
                // definition (its first row and column as seen).
                const int shown[9][2] = {{0, 0},         {x, y},         {w - 1 - x, y},
                                         {w - 1 - x, h - 1 - y}, {x, h - 1 - y}, {y, x},
                                         {h - 1 - y, x}, {h - 1 - y, w - 1 - x}, {y, w - 1 - x}};
                const int* at = shown[orientation];
                wrong += distance(pixelAt(p, at[0], at[1]), colours[(y / 16) * 3 + x / 16]) > 8;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(ExifOrientation, MalformedBlocksGiveTheStoredPicture) {
    for (const bool bigEndian : {true, false}) {
        const Bytes segment = exifSegment(6, bigEndian);
        // "Exif\0\0", the 8-byte TIFF header, the entry count, one entry.
        const std::size_t needed = 6 + 8 + 2 + 12;
        for (std::size_t size = 0; size <= segment.size(); ++size) {
            const Bytes part(segment.begin(), segment.begin() + static_cast<std::ptrdiff_t>(size));
            EXPECT_EQ(exifOrientation(part.data(), part.size()), size >= needed ? 6 : 1) << size << " bytes";
        }
        const auto changed = [&](std::size_t at, std::uint8_t value, std::size_t at2 = 0, std::uint8_t value2 = 0) {
            Bytes s = segment;
            s[at] = value;
            if (at2 != 0) s[at2] = value2;
            return exifOrientation(s.data(), s.size());
        };
        const std::size_t low = bigEndian ? 1 : 0;  // the low byte of a 16-bit number
        EXPECT_EQ(changed(6, 'X'), 1) << "unknown byte order";
        EXPECT_EQ(changed(8 + low, 43), 1) << "not 42";
        EXPECT_EQ(changed(bigEndian ? 10 : 13, 0xFF), 1) << "first IFD past the end";
        EXPECT_EQ(changed(14 + low, 2), 6) << "two entries, the first the orientation";
        EXPECT_EQ(changed(14 + low, 2, 16 + low, 0x13), 1) << "two entries, the second past the end";
        EXPECT_EQ(changed(18 + low, 4), 1) << "a LONG, not a SHORT";
        EXPECT_EQ(changed(24 + low, 9), 1) << "orientation 9";
        EXPECT_EQ(changed(24 + low, 3), 3);
    }
}

// A PNG of RGBA pixels, in memory.
Bytes pngOfRgba(const Bytes& rgba, int width, int height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr);
    Bytes png(size);
    EXPECT_NE(png_image_write_to_memory(&image, png.data(), &size, 0, rgba.data(), 0, nullptr), 0);
    png.resize(size);
    return png;
}

TEST(PictureAlpha, TransparentPngAndWebpKeptOrBlendedOntoBlack) {
    const int w = 7, h = 5;
    Bytes rgba(w * h * 4);
    for (std::size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<std::uint8_t>(i * 37 + (i % 4 == 3 ? 90 : 0));
    rgba[3] = 0, rgba[7] = 255;  // one transparent and one opaque pixel
    std::vector<std::pair<std::string, Bytes>> files = {{"PNG", pngOfRgba(rgba, w, h)}};
#ifdef VANTREL_TEST_WEBP
    std::uint8_t* out = nullptr;
    std::size_t size = WebPEncodeLosslessRGBA(rgba.data(), w, h, w * 4, &out);
    files.emplace_back("WebP", Bytes(out, out + size));
    WebPFree(out);
    // Without alpha, lossless: the pixels come back as they were.
    Bytes rgb(w * h * 3);
    for (int i = 0; i < w * h; ++i) std::copy_n(&rgba[i * 4], 3, &rgb[i * 3]);
    size = WebPEncodeLosslessRGB(rgb.data(), w, h, w * 3, &out);
    const Bytes opaque(out, out + size);
    WebPFree(out);
    RgbPicture p;
    ASSERT_EQ(read(opaque, p, nullptr, PictureLimits{}, AlphaUse::keep), "");
    ASSERT_TRUE(p.width == w && p.height == h && p.layout == PixelLayout::rgb);
    EXPECT_TRUE(std::equal(rgb.begin(), rgb.end(), p.rgb.get()));
#else
    const Bytes webp = {'R', 'I', 'F', 'F', 30, 0, 0, 0, 'W', 'E', 'B', 'P', 'V', 'P', '8', 'L'};
    RgbPicture p;
    EXPECT_EQ(read(webp, p), "WebP picture, but this vantrel-view was built without WebP support");
#endif
    for (const auto& [name, file] : files) {
        SCOPED_TRACE(name);
        RgbPicture kept, blended;
        ASSERT_EQ(read(file, kept, nullptr, PictureLimits{}, AlphaUse::keep), "");
        ASSERT_TRUE(kept.width == w && kept.height == h && kept.layout == PixelLayout::rgba);
        // (WebP may change the colour of transparent pixels.)
        int changedPixels = 0;
        for (int i = 0; i < w * h * 4; ++i) changedPixels += kept.rgb[i] != rgba[i] && rgba[i | 3] != 0;
        EXPECT_EQ(changedPixels, 0) << "RGBA comes back as written";
        ASSERT_EQ(read(file, blended), "");
        ASSERT_TRUE(blended.width == w && blended.height == h && blended.layout == PixelLayout::rgb);
        // Each colour scaled as light by its opacity.
        int worst = 0;
        for (int i = 0; i < w * h; ++i) {
            std::uint8_t want[3];
            for (int c = 0; c < 3; ++c) want[c] = linearToSrgb(srgbToLinear(rgba[i * 4 + c]) * rgba[i * 4 + 3] / 255.0f);
            worst = std::max(worst, distance(&blended.rgb[i * 3], want));
        }
        EXPECT_EQ(worst, 0);
        EXPECT_TRUE(blended.rgb[0] == 0 && blended.rgb[1] == 0 && blended.rgb[2] == 0) << "transparent is black";
        EXPECT_TRUE(std::equal(&rgba[4], &rgba[7], &blended.rgb[3])) << "opaque is as it was";
    }
}

}  // namespace
