// Writing small JPEG files in memory the ways cameras, phones and print work
// write them, for the tests and the fuzz seeds: RGB or CMYK pixels, stored as
// YCbCr, CMYK or YCCK, with or without Adobe's APP14 segment, baseline,
// progressive or arithmetic-coded, with an Exif orientation.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

// After <cstdio>: jpeglib.h uses FILE and size_t without including them.
#include <jpeglib.h>

namespace vantrel::test_pictures {

struct JpegRecipe {
    int width = 0;
    int height = 0;
    // width * height pixels of 3 bytes (RGB) or 4 (CMYK, as the inks are to
    // be stored: inverted or not is the caller's choice).
    const std::uint8_t* pixels = nullptr;
    bool cmyk = false;
    bool ycck = false;         // CMYK pixels stored as YCCK
    bool adobeMarker = true;   // for CMYK and YCCK: write Adobe's APP14 segment
    bool progressive = false;
    bool arithmetic = false;
    bool fullChroma = false;   // 4:4:4 instead of 4:2:0
    int quality = 95;
    int orientation = 0;       // 1..8: an Exif APP1 segment; 0: none
    bool bigEndianExif = true;
};

// The APP1 payload of an Exif block with one IFD entry: the orientation.
inline std::vector<std::uint8_t> exifSegment(int orientation, bool bigEndian) {
    std::vector<std::uint8_t> s = {'E', 'x', 'i', 'f', 0, 0};
    const auto put16 = [&](unsigned v) {
        if (bigEndian) s.insert(s.end(), {std::uint8_t(v >> 8), std::uint8_t(v)});
        else s.insert(s.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
    };
    const auto put32 = [&](std::uint32_t v) {
        if (bigEndian) put16(v >> 16), put16(v & 0xFFFF);
        else put16(v & 0xFFFF), put16(v >> 16);
    };
    s.insert(s.end(), bigEndian ? std::initializer_list<std::uint8_t>{'M', 'M'} : std::initializer_list<std::uint8_t>{'I', 'I'});
    put16(42);
    put32(8);     // the first IFD follows the header
    put16(1);     // one entry:
    put16(0x0112), put16(3), put32(1);  // orientation, SHORT, one value
    put16(static_cast<unsigned>(orientation)), put16(0);
    put32(0);     // no next IFD
    return s;
}

inline std::vector<std::uint8_t> encodeJpeg(const JpegRecipe& r) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(r.width);
    info.image_height = static_cast<JDIMENSION>(r.height);
    info.input_components = r.cmyk ? 4 : 3;
    info.in_color_space = r.cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    if (r.cmyk) jpeg_set_colorspace(&info, r.ycck ? JCS_YCCK : JCS_CMYK);
    if (r.cmyk && !r.adobeMarker) info.write_Adobe_marker = FALSE;
    jpeg_set_quality(&info, r.quality, TRUE);
    if (r.fullChroma) {
        for (int c = 0; c < info.num_components; ++c) {
            info.comp_info[c].h_samp_factor = 1;
            info.comp_info[c].v_samp_factor = 1;
        }
    }
    if (r.progressive) jpeg_simple_progression(&info);
    if (r.arithmetic) info.arith_code = TRUE;
    jpeg_start_compress(&info, TRUE);
    if (r.orientation != 0) {
        const std::vector<std::uint8_t> exif = exifSegment(r.orientation, r.bigEndianExif);
        jpeg_write_marker(&info, JPEG_APP0 + 1, exif.data(), static_cast<unsigned>(exif.size()));
    }
    const std::size_t rowBytes = static_cast<std::size_t>(r.width) * static_cast<std::size_t>(info.input_components);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<std::uint8_t*>(r.pixels + info.next_scanline * rowBytes);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> jpeg(out, out + size);
    jpeg_destroy_compress(&info);
    std::free(out);
    return jpeg;
}

}  // namespace vantrel::test_pictures
