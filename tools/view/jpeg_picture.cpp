// JPEG through libjpeg(-turbo). libjpeg reports errors by calling
// error_exit, which must not return; it longjmps back into the one member
// function that called libjpeg. Those functions own no C++ objects (nothing
// with a destructor lies between the setjmp and the longjmp), and nothing
// they change after setjmp is read after the jump. The decompressor itself
// belongs to an object whose destructor releases it on every way out.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

#include <jpeglib.h>
#include <jerror.h>

#include "tools/view/picture_file.h"

namespace vantrel {

namespace {

struct ErrorManager {
    jpeg_error_mgr manager;  // first: libjpeg sees only this part
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool truncated;
    bool notJpeg;
};

[[noreturn]] void onError(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    const int code = errors->manager.msg_code;
    errors->truncated = code == JERR_INPUT_EOF || code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER;
    errors->notJpeg = code == JERR_NO_SOI;
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings mean damaged data (libjpeg would go on with grey blocks): they
// fail the picture, except stray bytes between markers, which lose nothing.
void onMessage(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code != JWRN_EXTRANEOUS_DATA) onError(info);
}

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
        jpeg_read_header(&info_, TRUE);
        return true;
    }

    bool measure(unsigned denominator) {
        if (setjmp(errors_.jump) != 0) return false;
        info_.out_color_space = JCS_RGB;
        info_.scale_num = 1;
        info_.scale_denom = denominator;
        jpeg_calc_output_dimensions(&info_);
        return true;
    }

    // Decodes every row into `rgb`, output_width * 3 bytes a row.
    bool decode(std::uint8_t* rgb) {
        if (setjmp(errors_.jump) != 0) return false;
        jpeg_start_decompress(&info_);
        const std::size_t rowBytes = static_cast<std::size_t>(info_.output_width) * 3;
        while (info_.output_scanline < info_.output_height) {
            JSAMPROW row = rgb + info_.output_scanline * rowBytes;
            jpeg_read_scanlines(&info_, &row, 1);
        }
        jpeg_finish_decompress(&info_);
        return true;
    }

    unsigned width() const { return info_.image_width; }
    unsigned height() const { return info_.image_height; }
    unsigned outputWidth() const { return info_.output_width; }
    unsigned outputHeight() const { return info_.output_height; }

    std::string failure() const {
        if (errors_.truncated) return "truncated JPEG file";
        if (errors_.notJpeg) return "not a PNG or JPEG picture";
        return std::string("corrupt or unsupported JPEG file (") + errors_.message + ")";
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

}  // namespace

std::string readJpeg(std::FILE* file, const TargetSize& target, const PictureLimits& limits, RgbPicture& out) {
    JpegDecoder decoder(file);
    if (!decoder.readHeader(limits.maxJpegMemory)) return decoder.failure();
    const std::int64_t fullWidth = decoder.width();
    const std::int64_t fullHeight = decoder.height();
    if (fullWidth * fullHeight > limits.maxJpegPixels) return tooLarge(fullWidth, fullHeight, limits.maxJpegPixels);

    // Without a target, in full.
    int wantedWidth = static_cast<int>(fullWidth), wantedHeight = static_cast<int>(fullHeight);
    if (target) target(static_cast<int>(fullWidth), static_cast<int>(fullHeight), wantedWidth, wantedHeight);
    // The strongest reduction that keeps four times the wanted pixels each
    // way (the decoder averages the bytes, not the light); then, if
    // that is still too large to hold, a stronger one.
    unsigned denominator = 8;
    while (denominator > 1 && ((fullWidth + denominator - 1) / denominator < 4 * std::int64_t{wantedWidth} ||
                               (fullHeight + denominator - 1) / denominator < 4 * std::int64_t{wantedHeight})) {
        denominator /= 2;
    }
    for (;; denominator *= 2) {
        if (!decoder.measure(denominator)) return decoder.failure();
        const std::int64_t pixels = std::int64_t{decoder.outputWidth()} * decoder.outputHeight();
        if (pixels <= limits.maxPixels) break;
        if (denominator == 8) return tooLarge(fullWidth, fullHeight, limits.maxPixels * 64);
    }

    const std::size_t bytes = std::size_t{decoder.outputWidth()} * decoder.outputHeight() * 3;
    std::unique_ptr<std::uint8_t[]> rgb = pictureBytes(bytes);
    if (rgb == nullptr) return "not enough memory for the decoded picture";
    if (!decoder.decode(rgb.get())) return decoder.failure();
    out.rgb = std::move(rgb);
    out.width = static_cast<int>(decoder.outputWidth());
    out.height = static_cast<int>(decoder.outputHeight());
    return {};
}

}  // namespace vantrel
