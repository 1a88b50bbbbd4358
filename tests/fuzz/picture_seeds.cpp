// Writes the seed corpus of the picture fuzz targets: small valid files of
// every kind the readers take, made by the libraries themselves, so that the
// fuzzers start deep inside the decoders.
//   picture_seeds DIRECTORY   writes DIRECTORY/png, DIRECTORY/jpeg, DIRECTORY/webp
// scripts/make-picture-seeds.sh remakes tests/fuzz/corpus with it. The
// output is the same on every run.
#include <sys/stat.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include <png.h>
#include <webp/encode.h>

#include "tests/jpeg_bytes.h"

using vantrel::test_pictures::JpegRecipe;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr int width = 16;
constexpr int height = 12;

bool save(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// A smooth picture with an edge, `channels` bytes a pixel.
Bytes pixels(int channels) {
    Bytes p(static_cast<std::size_t>(width) * height * channels);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* q = &p[(static_cast<std::size_t>(y) * width + x) * channels];
            for (int c = 0; c < channels; ++c) q[c] = static_cast<std::uint8_t>(x * 15 + y * (c + 1) * 9 + (x > y ? 90 : 0));
            if (channels == 4 || channels == 2) q[channels - 1] = static_cast<std::uint8_t>(x * 17);  // alpha
        }
    }
    return p;
}

// A PNG through libpng's full writer: any colour type, depth and interlace.
bool writePng(const std::string& path, int colourType, int depth, bool interlaced) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    // No png_jmpbuf: an error in libpng aborts this small program.
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, depth, colourType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    int channels = 1;
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_color palette[8];
        png_byte opacity[8];
        for (int i = 0; i < 8; ++i) {
            palette[i] = {static_cast<png_byte>(i * 36), static_cast<png_byte>(255 - i * 30), static_cast<png_byte>(i * i * 4)};
            opacity[i] = static_cast<png_byte>(i == 0 ? 0 : 255 - i * 10);
        }
        png_set_PLTE(png, info, palette, 8);
        png_set_tRNS(png, info, opacity, 8, nullptr);
    } else {
        channels = png_get_channels(png, info);
    }
    png_set_gAMA(png, info, 1.0 / 2.2);
    png_write_info(png, info);
    const int bytesPerSample = depth == 16 ? 2 : 1;
    const Bytes source = pixels(channels);
    std::vector<png_byte> rows(static_cast<std::size_t>(height) * width * channels * bytesPerSample);
    for (std::size_t i = 0; i < source.size(); ++i) {
        if (colourType == PNG_COLOR_TYPE_PALETTE) {
            rows[i] = static_cast<png_byte>(source[i] % 8);
        } else if (depth == 16) {
            rows[2 * i] = source[i];
            rows[2 * i + 1] = static_cast<png_byte>(source[i] * 7);
        } else {
            rows[i] = source[i];
        }
    }
    std::vector<png_bytep> pointers(height);
    for (int y = 0; y < height; ++y) pointers[y] = &rows[static_cast<std::size_t>(y) * width * channels * bytesPerSample];
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

bool writeJpeg(const std::string& path, JpegRecipe recipe) {
    const Bytes p = pixels(recipe.cmyk ? 4 : 3);
    recipe.width = width;
    recipe.height = height;
    recipe.pixels = p.data();
    recipe.quality = 80;
    const Bytes jpeg = vantrel::test_pictures::encodeJpeg(recipe);
    return save(path, jpeg.data(), jpeg.size());
}

// kind: lossy or lossless, with alpha or without.
bool writeWebp(const std::string& path, bool lossless, bool alpha) {
    const Bytes p = pixels(alpha ? 4 : 3);
    const int stride = width * (alpha ? 4 : 3);
    std::uint8_t* out = nullptr;
    std::size_t size = 0;
    if (lossless) {
        size = alpha ? WebPEncodeLosslessRGBA(p.data(), width, height, stride, &out)
                     : WebPEncodeLosslessRGB(p.data(), width, height, stride, &out);
    } else {
        size = alpha ? WebPEncodeRGBA(p.data(), width, height, stride, 75, &out)
                     : WebPEncodeRGB(p.data(), width, height, stride, 75, &out);
    }
    const bool saved = size > 0 && save(path, out, size);
    WebPFree(out);
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: picture_seeds DIRECTORY\n", stderr);
        return 2;
    }
    const std::string dir = argv[1];
    for (const char* kind : {"", "/png", "/jpeg", "/webp"}) ::mkdir((dir + kind).c_str(), 0777);
    bool ok = true;
    const std::string png = dir + "/png/", jpeg = dir + "/jpeg/", webp = dir + "/webp/";
    ok &= writePng(png + "rgb.png", PNG_COLOR_TYPE_RGB, 8, false);
    ok &= writePng(png + "rgb-16bit.png", PNG_COLOR_TYPE_RGB, 16, false);
    ok &= writePng(png + "rgba-16bit.png", PNG_COLOR_TYPE_RGB_ALPHA, 16, false);
    ok &= writePng(png + "palette.png", PNG_COLOR_TYPE_PALETTE, 4, false);
    ok &= writePng(png + "interlaced.png", PNG_COLOR_TYPE_RGB, 8, true);
    ok &= writePng(png + "grey-alpha.png", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false);
    ok &= writePng(png + "grey-2bit-interlaced.png", PNG_COLOR_TYPE_GRAY, 2, true);

    ok &= writeJpeg(jpeg + "baseline.jpg", {});
    ok &= writeJpeg(jpeg + "progressive.jpg", {.progressive = true});
    ok &= writeJpeg(jpeg + "progressive-444.jpg", {.progressive = true, .fullChroma = true});
    ok &= writeJpeg(jpeg + "arithmetic.jpg", {.arithmetic = true});
    ok &= writeJpeg(jpeg + "arithmetic-progressive.jpg", {.progressive = true, .arithmetic = true});
    ok &= writeJpeg(jpeg + "cmyk-adobe.jpg", {.cmyk = true});
    ok &= writeJpeg(jpeg + "cmyk-plain.jpg", {.cmyk = true, .adobeMarker = false});
    ok &= writeJpeg(jpeg + "ycck.jpg", {.cmyk = true, .ycck = true});
    ok &= writeJpeg(jpeg + "exif-6-motorola.jpg", {.orientation = 6});
    ok &= writeJpeg(jpeg + "exif-5-intel.jpg", {.orientation = 5, .bigEndianExif = false});

    ok &= writeWebp(webp + "lossy.webp", false, false);
    ok &= writeWebp(webp + "lossless.webp", true, false);
    ok &= writeWebp(webp + "lossy-alpha.webp", false, true);
    ok &= writeWebp(webp + "lossless-alpha.webp", true, true);
    if (!ok) std::fprintf(stderr, "picture_seeds: could not write every file into %s\n", dir.c_str());
    return ok ? 0 : 1;
}
