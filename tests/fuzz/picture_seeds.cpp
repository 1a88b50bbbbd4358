// Writes small seed pictures for the picture fuzz targets:
// picture_seeds DIRECTORY gives seed.png, seed-alpha.png, seed.jpg and
// seed-progressive.jpg.
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// After <cstdio>: jpeglib.h uses FILE and size_t without including them.
#include <jpeglib.h>
#include <png.h>

namespace {

void writePng(const std::string& path, int format) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = 7;
    image.height = 5;
    image.format = static_cast<png_uint_32>(format);
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<png_byte>(i * 37);
    png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr);
}

void writeJpeg(const std::string& path, bool progressive) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = 19;
    info.image_height = 11;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    if (progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(19 * 3);
    while (info.next_scanline < info.image_height) {
        for (std::size_t i = 0; i < row.size(); ++i) row[i] = static_cast<JSAMPLE>(i * 13 + info.next_scanline * 20);
        JSAMPROW rows = row.data();
        jpeg_write_scanlines(&info, &rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string dir = argv[1];
    writePng(dir + "/seed.png", PNG_FORMAT_RGB);
    writePng(dir + "/seed-alpha.png", PNG_FORMAT_GA);
    writeJpeg(dir + "/seed.jpg", false);
    writeJpeg(dir + "/seed-progressive.jpg", true);
    return 0;
}
