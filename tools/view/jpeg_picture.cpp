// JPEG through libjpeg(-turbo). libjpeg reports errors by calling
// error_exit, which must not return; it longjmps back into the one member
// function that called libjpeg. Those functions own no C++ objects (nothing
// with a destructor lies between the setjmp and the longjmp), and nothing
// they change after setjmp is read after the jump. The decompressor itself
// belongs to an object whose destructor releases it on every way out.
//
// Pictures as people have them: CMYK and YCCK (from print work) become RGB,
// the EXIF orientation of a phone photograph turns it upright, and a damaged
// file shows what decoded, with the reason.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

#include <jpeglib.h>
#include <jerror.h>

#include "tools/view/exif_orientation.h"
#include "tools/view/picture_file.h"

namespace vantrel {

namespace {

struct ErrorManager {
    jpeg_error_mgr manager;  // first: libjpeg sees only this part
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];  // the fatal error's, or else the first damage warning's
    int fatalCode;                  // the fatal error's msg_code; 0 while there is none
    bool damaged;                   // a warning said the data is damaged
    bool truncated;                 // the file ended early
    bool notJpeg;
};

[[noreturn]] void onError(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    const int code = errors->manager.msg_code;
    errors->fatalCode = code;
    errors->truncated = errors->truncated || code == JERR_INPUT_EOF;
    errors->notJpeg = code == JERR_NO_SOI;
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings mean damaged data: libjpeg goes on (a missing part becomes grey)
// and the picture is shown with the reason. Not so for stray bytes between
// markers, which lose nothing, nor for a newer JFIF version number.
void onMessage(j_common_ptr info, int level) {
    if (level >= 0) return;  // trace messages
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    const int code = errors->manager.msg_code;
    if (code == JWRN_EXTRANEOUS_DATA || code == JWRN_JFIF_MAJOR) return;
    if (code == JWRN_JPEG_EOF) errors->truncated = true;
    if (!errors->damaged) (*info->err->format_message)(info, errors->message);
    errors->damaged = true;
}

constexpr int app1 = JPEG_APP0 + 1;

class JpegDecoder {
public:
    explicit JpegDecoder(std::FILE* file) : file_(file) {
        std::memset(&info_, 0, sizeof info_);
        std::memset(&errors_, 0, sizeof errors_);
    }
    ~JpegDecoder() {
        if (created_) jpeg_destroy_decompress(&info_);
    }
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    bool readHeader(long maxMemory) {
        info_.err = jpeg_std_error(&errors_.manager);
        errors_.manager.error_exit = onError;
        errors_.manager.emit_message = onMessage;
        if (setjmp(errors_.jump) != 0) return false;
        jpeg_create_decompress(&info_);
        created_ = true;
        info_.mem->max_memory_to_use = maxMemory;
        jpeg_stdio_src(&info_, file_);
        jpeg_save_markers(&info_, app1, 0xFFFF);  // for the Exif block
        jpeg_read_header(&info_, TRUE);
        return true;
    }

    // The Exif orientation of the first APP1 segment that is Exif, else 1.
    int orientation() const {
        for (jpeg_saved_marker_ptr m = info_.marker_list; m != nullptr; m = m->next) {
            if (m->marker == app1 && m->data_length >= 6 && std::memcmp(m->data, "Exif\0\0", 6) == 0) {
                return exifOrientation(m->data, m->data_length);
            }
        }
        return 1;
    }

    // CMYK and YCCK come out as CMYK (libjpeg turns YCCK into CMYK), the rest
    // as RGB.
    bool inks() const { return info_.jpeg_color_space == JCS_CMYK || info_.jpeg_color_space == JCS_YCCK; }
    // Adobe's applications write CMYK inverted (255: no ink) and mark the
    // file with their APP14 segment; other writers store the inks as they are.
    bool invertedInks() const { return info_.saw_Adobe_marker != 0; }

    bool measure(unsigned denominator) {
        if (setjmp(errors_.jump) != 0) return false;
        info_.out_color_space = inks() ? JCS_CMYK : JCS_RGB;
        info_.scale_num = 1;
        info_.scale_denom = denominator;
        jpeg_calc_output_dimensions(&info_);
        return true;
    }

    // Decodes the rows one by one into `row` (outputWidth() * components()
    // bytes) and hands each to take(y). Returns false at a fatal error;
    // decodedRows() says how many came before it.
    template <class Take>
    bool decode(std::uint8_t* row, const Take& take) {
        if (setjmp(errors_.jump) != 0) return false;
        jpeg_start_decompress(&info_);
        while (info_.output_scanline < info_.output_height) {
            JSAMPROW rows = row;
            if (jpeg_read_scanlines(&info_, &rows, 1) != 1) break;
            take(static_cast<int>(info_.output_scanline - 1));
        }
        jpeg_finish_decompress(&info_);
        return true;
    }

    unsigned width() const { return info_.image_width; }
    unsigned height() const { return info_.image_height; }
    unsigned outputWidth() const { return info_.output_width; }
    unsigned outputHeight() const { return info_.output_height; }
    int components() const { return info_.out_color_components; }
    int decodedRows() const { return static_cast<int>(info_.output_scanline); }
    bool damaged() const { return errors_.damaged || errors_.truncated; }

    // Why the file could not be read at all.
    std::string failure(long maxMemory) const {
        if (errors_.notJpeg) return notAPictureReason();
        if (errors_.fatalCode == JERR_NO_BACKING_STORE) {
            // libjpeg asks for a temporary file when its working memory
            // would pass the limit; there is none.
            const std::string limit = maxMemory >= (1L << 20) ? std::to_string(maxMemory >> 20) + " MiB"
                                                              : std::to_string(maxMemory >> 10) + " KiB";
            return "over the memory limit: decoding this " + std::to_string(width()) + "x" +
                   std::to_string(height()) + (info_.progressive_mode ? " progressive" : "") + " JPEG needs more than " +
                   limit;
        }
        if (errors_.fatalCode == JERR_OUT_OF_MEMORY) return "not enough memory to decode the JPEG file";
        if (errors_.truncated) return "truncated JPEG file";
        return std::string("corrupt or unsupported JPEG file (") + errors_.message + ")";
    }

    // Why what decoded is shown with parts missing.
    std::string damage() const {
        const std::string why = errors_.truncated ? std::string("truncated") : std::string(errors_.message);
        return "damaged JPEG file (" + why + "), shown as far as it decoded";
    }

private:
    std::FILE* file_;
    jpeg_decompress_struct info_;
    ErrorManager errors_;
    bool created_ = false;
};

std::string tooLarge(std::int64_t width, std::int64_t height, std::int64_t limit) {
    return "picture too large: " + std::to_string(width) + "x" + std::to_string(height) + " pixels (at most " +
           std::to_string(limit) + ")";
}

// A CMYK row of `pixels` pixels as RGB, in place: each colour is what its
// ink leaves of white, times what the black ink leaves.
void inksToRgb(std::uint8_t* row, int pixels, bool inverted) {
    const std::uint8_t* from = row;
    for (int i = 0; i < pixels; ++i, from += 4, row += 3) {
        const unsigned flip = inverted ? 0 : 255;  // stored value to what is left of white
        const unsigned k = from[3] ^ flip;
        for (int c = 0; c < 3; ++c) row[c] = static_cast<std::uint8_t>(((from[c] ^ flip) * k + 127) / 255);
    }
}

// The grey that libjpeg gives parts of a picture that are missing.
constexpr std::uint8_t missingGrey = 128;

}  // namespace

std::string readJpeg(std::FILE* file, const TargetSize& target, const PictureLimits& limits, RgbPicture& out) {
    JpegDecoder decoder(file);
    if (!decoder.readHeader(limits.maxJpegMemory)) return decoder.failure(limits.maxJpegMemory);
    const std::int64_t fullWidth = decoder.width();
    const std::int64_t fullHeight = decoder.height();
    if (fullWidth * fullHeight > limits.maxJpegPixels) return tooLarge(fullWidth, fullHeight, limits.maxJpegPixels);
    const int orientation = decoder.orientation();
    const bool swap = swapsSides(orientation);

    // Without a target, in full. The target is of the picture as shown.
    int wantedWidth = static_cast<int>(fullWidth), wantedHeight = static_cast<int>(fullHeight);
    if (target) {
        if (swap) {
            target(static_cast<int>(fullHeight), static_cast<int>(fullWidth), wantedHeight, wantedWidth);
        } else {
            target(static_cast<int>(fullWidth), static_cast<int>(fullHeight), wantedWidth, wantedHeight);
        }
    }
    // The strongest reduction that keeps four times the wanted pixels each
    // way (the decoder averages the bytes, not the light); then, if
    // that is still too large to hold, a stronger one.
    unsigned denominator = 8;
    while (denominator > 1 && ((fullWidth + denominator - 1) / denominator < 4 * std::int64_t{wantedWidth} ||
                               (fullHeight + denominator - 1) / denominator < 4 * std::int64_t{wantedHeight})) {
        denominator /= 2;
    }
    for (;; denominator *= 2) {
        if (!decoder.measure(denominator)) return decoder.failure(limits.maxJpegMemory);
        const std::int64_t pixels = std::int64_t{decoder.outputWidth()} * decoder.outputHeight();
        if (pixels <= limits.maxPixels) break;
        if (denominator == 8) return tooLarge(fullWidth, fullHeight, limits.maxPixels * 64);
    }

    const int width = static_cast<int>(decoder.outputWidth());
    const int height = static_cast<int>(decoder.outputHeight());
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    std::unique_ptr<std::uint8_t[]> rgb = pictureBytes(rowBytes * static_cast<std::size_t>(height));
    std::unique_ptr<std::uint8_t[]> row =
        pictureBytes(static_cast<std::size_t>(width) * static_cast<std::size_t>(decoder.components()));
    if (rgb == nullptr || row == nullptr) return "not enough memory for the decoded picture";

    const OrientedRows rows(orientation, width, height, 3);
    const bool inks = decoder.inks();
    const bool inverted = decoder.invertedInks();
    std::uint8_t* const rowBuffer = row.get();
    std::uint8_t* const shown = rgb.get();
    const auto take = [&](int y) {
        if (inks) inksToRgb(rowBuffer, width, inverted);
        rows.place(rowBuffer, y, shown);
    };
    const bool finished = decoder.decode(rowBuffer, take);
    if (!finished && decoder.decodedRows() == 0) return decoder.failure(limits.maxJpegMemory);
    if (!finished) {
        // Rows after a fatal error: grey, as libjpeg fills what is missing.
        std::memset(rowBuffer, missingGrey, rowBytes);
        for (int y = decoder.decodedRows(); y < height; ++y) rows.place(rowBuffer, y, shown);
    }
    out.rgb = std::move(rgb);
    out.width = rows.shownWidth();
    out.height = rows.shownHeight();
    out.layout = PixelLayout::rgb;
    return !finished || decoder.damaged() ? decoder.damage() : std::string();
}

}  // namespace vantrel
