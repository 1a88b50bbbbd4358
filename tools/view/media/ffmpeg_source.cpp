#include "tools/view/media/ffmpeg_source.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <vector>

namespace vantrel {

namespace {

std::string averror(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

int readPacket(void* opaque, std::uint8_t* buffer, int capacity) {
    auto& reader = *static_cast<ByteReader*>(opaque);
    const ssize_t got = reader.read(buffer, static_cast<std::size_t>(capacity));
    if (got == 0) return AVERROR_EOF;
    if (got < 0) return AVERROR(errno);
    return static_cast<int>(got);
}

std::int64_t seekInput(void* opaque, std::int64_t offset, int whence) {
    auto& reader = *static_cast<ByteReader*>(opaque);
    whence &= ~AVSEEK_FORCE;
    if (whence == AVSEEK_SIZE) return reader.size();
    std::int64_t target = offset;
    if (whence == SEEK_CUR) target += reader.position();
    else if (whence == SEEK_END) target += reader.size();
    else if (whence != SEEK_SET) return -1;
    return reader.seekTo(target) ? target : -1;
}

// The colour matrix libswscale should use for a frame.
int swsColourSpace(AVColorSpace space) {
    switch (space) {
    case AVCOL_SPC_BT709: return SWS_CS_ITU709;
    case AVCOL_SPC_FCC: return SWS_CS_FCC;
    case AVCOL_SPC_SMPTE240M: return SWS_CS_SMPTE240M;
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL: return SWS_CS_BT2020;
    default: return SWS_CS_ITU601;  // also BT.470BG and SMPTE 170M
    }
}

constexpr int ioBufferBytes = 1 << 16;
// Our times are in microseconds (FFmpeg's AV_TIME_BASE_Q, a C compound literal).
constexpr AVRational microsecondBase{1, 1'000'000};

class FfmpegSource final : public MediaSource {
public:
    FfmpegSource(std::unique_ptr<ByteReader> reader, const FfmpegOptions& options)
        : reader_(std::move(reader)), options_(options) {}

    ~FfmpegSource() override {
        sws_freeContext(scaler_);
        av_frame_free(&frame_);
        av_packet_free(&packet_);
        avcodec_free_context(&codec_);
        avformat_close_input(&format_);
        if (io_ != nullptr) av_freep(&io_->buffer);
        avio_context_free(&io_);
    }

    std::string open() {
        auto* buffer = static_cast<std::uint8_t*>(av_malloc(ioBufferBytes));
        if (buffer == nullptr) return "out of memory";
        io_ = avio_alloc_context(buffer, ioBufferBytes, 0, reader_.get(), readPacket, nullptr,
                                 reader_->seekable() ? seekInput : nullptr);
        if (io_ == nullptr) {
            av_free(buffer);
            return "out of memory";
        }
        io_->seekable = reader_->seekable() ? AVIO_SEEKABLE_NORMAL : 0;
        format_ = avformat_alloc_context();
        packet_ = av_packet_alloc();
        frame_ = av_frame_alloc();
        if (format_ == nullptr || packet_ == nullptr || frame_ == nullptr) return "out of memory";
        format_->pb = io_;
        format_->flags |= AVFMT_FLAG_CUSTOM_IO;
        AVDictionary* demuxerOptions = nullptr;
        if (options_.gif) {
            // The GIF demuxer turns a delay under min_delay (in hundredths
            // of a second) into default_delay: the common rule that a delay
            // under 20 ms counts as 100 ms, applied here and nowhere else.
            // It reads each GIF once; looping is ours, by the file's count.
            av_dict_set(&demuxerOptions, "min_delay", "2", 0);
            av_dict_set(&demuxerOptions, "default_delay", "10", 0);
            av_dict_set(&demuxerOptions, "ignore_loop", "1", 0);
        }
        int status = avformat_open_input(&format_, nullptr, nullptr, &demuxerOptions);
        av_dict_free(&demuxerOptions);
        if (status < 0) return "not a picture or video that can be read (" + averror(status) + ")";
        status = avformat_find_stream_info(format_, nullptr);
        if (status < 0) return "cannot read the streams (" + averror(status) + ")";
        const AVCodec* decoder = nullptr;
        status = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
        if (status == AVERROR_STREAM_NOT_FOUND) return "no video stream";
        if (status == AVERROR_DECODER_NOT_FOUND || decoder == nullptr) {
            for (unsigned i = 0; i < format_->nb_streams; ++i) {
                if (format_->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
                    return std::string("unsupported video codec ") +
                           avcodec_get_name(format_->streams[i]->codecpar->codec_id);
                }
            }
            return "unsupported video codec";
        }
        if (status < 0) return "no video stream (" + averror(status) + ")";
        streamIndex_ = status;
        for (unsigned i = 0; i < format_->nb_streams; ++i) {
            if (static_cast<int>(i) != streamIndex_) format_->streams[i]->discard = AVDISCARD_ALL;
        }
        stream_ = format_->streams[streamIndex_];
        const AVCodecParameters& parameters = *stream_->codecpar;
        if (parameters.width <= 0 || parameters.height <= 0) return "the video stream has no frame size";
        if (std::int64_t{parameters.width} * parameters.height > options_.limits.maxPixels) {
            return "frames of " + std::to_string(parameters.width) + "x" + std::to_string(parameters.height) +
                   " pixels are too large";
        }
        codec_ = avcodec_alloc_context3(decoder);
        if (codec_ == nullptr) return "out of memory";
        status = avcodec_parameters_to_context(codec_, &parameters);
        if (status < 0) return "cannot set up the decoder (" + averror(status) + ")";
        codec_->pkt_timebase = stream_->time_base;
        codec_->thread_count = options_.limits.threads;
        codec_->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
        codec_->max_pixels = options_.limits.maxPixels;
        status = avcodec_open2(codec_, decoder, nullptr);
        if (status < 0) return std::string("cannot open the ") + decoder->name + " decoder (" + averror(status) + ")";
        start_ = stream_->start_time != AV_NOPTS_VALUE ? stream_->start_time : 0;
        const AVRational rate = stream_->avg_frame_rate.num > 0 ? stream_->avg_frame_rate : stream_->r_frame_rate;
        if (rate.num > 0 && rate.den > 0) defaultDuration_ = av_rescale(1'000'000, rate.den, rate.num);
        width_ = parameters.width;
        height_ = parameters.height;
        outputWidth_ = width_;
        outputHeight_ = height_;
        return {};
    }

    int width() const override { return width_; }
    int height() const override { return height_; }
    int plays() const override { return options_.plays; }
    int frameCount() const override { return options_.frames; }
    bool seekable() const override { return reader_->seekable(); }

    void setOutputSize(int width, int height) override {
        outputWidth_ = std::clamp(width, 1, width_);
        outputHeight_ = std::clamp(height, 1, height_);
        // Shrunk to half or less each way, the blocking the deblocking filter
        // smooths is averaged away anyway: skipping it makes H.264 decoding
        // markedly cheaper.
        const bool shrunk = outputWidth_ * 2 <= width_ && outputHeight_ * 2 <= height_;
        codec_->skip_loop_filter = shrunk ? AVDISCARD_ALL : AVDISCARD_DEFAULT;
    }

    void setHurry(int level) override {
        codec_->skip_frame = level >= 2 ? AVDISCARD_NONKEY : level == 1 ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
    }

    DecodeResult decode() override {
        for (;;) {
            int status = avcodec_receive_frame(codec_, frame_);
            if (status == 0) {
                if (frame_->width != width_ || frame_->height != height_) {
                    // A change of size within the stream: the output keeps its
                    // share of the new size.
                    outputWidth_ = std::max(1, static_cast<int>(std::int64_t{outputWidth_} * frame_->width / width_));
                    outputHeight_ =
                        std::max(1, static_cast<int>(std::int64_t{outputHeight_} * frame_->height / height_));
                    width_ = frame_->width;
                    height_ = frame_->height;
                }
                takeTimes();
                if (seekTarget_ >= 0) {
                    // Decoding forward from the key frame to the frame shown at the target.
                    const Microseconds end = frameTime_ + std::max<Microseconds>(frameDuration_, 1);
                    if (end <= seekTarget_) continue;
                    seekTarget_ = -1;
                }
                return DecodeResult::frame;
            }
            if (status == AVERROR_EOF) {
                if (readFailed_) return DecodeResult::failed;
                noteShortEnd();
                return DecodeResult::end;
            }
            if (status != AVERROR(EAGAIN)) {
                if (!noteDamage(status)) return DecodeResult::failed;
                continue;
            }
            if (draining_) return DecodeResult::end;
            status = av_read_frame(format_, packet_);
            if (status == AVERROR_EOF || (status < 0 && avio_feof(format_->pb) && io_->error == 0)) {
                draining_ = true;
                avcodec_send_packet(codec_, nullptr);
                continue;
            }
            if (status < 0) {
                // The frames the decoder still holds are shown before the failure.
                error_ = "cannot read the video after " + timeText(lastPts_) + " (" + averror(status) + ")";
                readFailed_ = true;
                draining_ = true;
                avcodec_send_packet(codec_, nullptr);
                continue;
            }
            if (packet_->stream_index == streamIndex_) {
                if (packet_->pts != AV_NOPTS_VALUE) lastPts_ = packet_->pts;
                if ((packet_->flags & AV_PKT_FLAG_CORRUPT) != 0 && error_.empty()) {
                    error_ = "the video is damaged or cut short at " + timeText(packet_->pts);
                }
                status = avcodec_send_packet(codec_, packet_);
                if (status < 0 && status != AVERROR(EAGAIN) && !noteDamage(status)) {
                    av_packet_unref(packet_);
                    return DecodeResult::failed;
                }
            }
            av_packet_unref(packet_);
        }
    }

    Microseconds frameTime() const override { return frameTime_; }
    Microseconds frameDuration() const override { return frameDuration_; }

    MediaFrame convert() override {
        const int channels = hasAlpha() ? 4 : 3;
        const std::size_t rowBytes = static_cast<std::size_t>(outputWidth_) * channels;
        const std::size_t bytes = rowBytes * static_cast<std::size_t>(outputHeight_);
        if (pixels_.size() < bytes) pixels_.resize(bytes);  // only when the size grows
        MediaFrame out{pixels_.data(), outputWidth_, outputHeight_, channels, static_cast<std::ptrdiff_t>(rowBytes)};
        if (frame_->data[0] == nullptr) return out;
        const auto format = static_cast<AVPixelFormat>(frame_->format);
        const AVPixelFormat outFormat = channels == 4 ? AV_PIX_FMT_RGBA : AV_PIX_FMT_RGB24;
        // Reused while nothing changes; remade on a change of size or format.
        scaler_ = sws_getCachedContext(scaler_, frame_->width, frame_->height, format, outputWidth_, outputHeight_,
                                       outFormat, SWS_AREA | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr,
                                       nullptr, nullptr);
        if (scaler_ == nullptr) return out;
        const int space = swsColourSpace(frame_->colorspace);
        const bool fullRange = frame_->color_range == AVCOL_RANGE_JPEG;
        if (scaler_ != colourSetFor_ || space != colourSpace_ || fullRange != fullRange_) {
            sws_setColorspaceDetails(scaler_, sws_getCoefficients(space), fullRange ? 1 : 0,
                                     sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
            colourSetFor_ = scaler_;
            colourSpace_ = space;
            fullRange_ = fullRange;
        }
        std::uint8_t* planes[4] = {pixels_.data(), nullptr, nullptr, nullptr};
        const int strides[4] = {static_cast<int>(rowBytes), 0, 0, 0};
        sws_scale(scaler_, frame_->data, frame_->linesize, 0, frame_->height, planes, strides);
        return out;
    }

    bool seek(Microseconds time) override {
        if (!reader_->seekable()) {
            error_ = "cannot seek in a pipe";
            return false;
        }
        const std::int64_t target = start_ + av_rescale_q(time, microsecondBase, stream_->time_base);
        int status = av_seek_frame(format_, streamIndex_, target, AVSEEK_FLAG_BACKWARD);
        if (status < 0) status = av_seek_frame(format_, streamIndex_, target, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY);
        if (status < 0) {
            error_ = "cannot seek (" + averror(status) + ")";
            return false;
        }
        avcodec_flush_buffers(codec_);
        draining_ = false;
        readFailed_ = false;
        lastEnd_ = 0;
        seekTarget_ = std::max<Microseconds>(time, 0);
        return true;
    }

private:
    bool hasAlpha() const {
        const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame_->format));
        return descriptor != nullptr && (descriptor->flags & AV_PIX_FMT_FLAG_ALPHA) != 0;
    }

    std::string timeText(std::int64_t pts) const {
        if (pts == AV_NOPTS_VALUE) return "the start";
        const std::int64_t ms = av_rescale_q(pts - start_, stream_->time_base, AVRational{1, 1000});
        char text[32];
        std::snprintf(text, sizeof text, "%lld.%03lld s", static_cast<long long>(ms / 1000),
                      static_cast<long long>(ms % 1000));
        return text;
    }

    // Damaged data that the decoder reports: kept for the end, and decoding
    // goes on, unless nothing at all has decoded for a long run of packets.
    bool noteDamage(int status) {
        if (error_.empty()) error_ = "damaged video data (" + averror(status) + ")";
        return ++damagedRun_ < maxDamagedRun;
    }

    // A stream that ends well before the length its file declares was cut
    // short (a container without an index says nothing else). The stream's
    // own length, or the file's when the video is its only stream.
    void noteShortEnd() {
        if (!error_.empty() || seekTarget_ >= 0) return;
        if (options_.truncated) {
            error_ = "the GIF is cut short after " + std::to_string(lastEnd_ / 1000) + " ms";
            return;
        }
        Microseconds declared = -1;
        if (stream_->duration > 0) {
            declared = av_rescale_q(stream_->duration, stream_->time_base, microsecondBase);
        } else if (format_->nb_streams == 1 && format_->duration > 0) {
            declared = format_->duration;
        }
        const Microseconds slack = std::max<Microseconds>(500'000, 2 * defaultDuration_);
        if (declared > 0 && lastEnd_ > 0 && lastEnd_ + slack < declared) {
            error_ = "the video is cut short: it ends at " + secondsText(lastEnd_) + " of its " + secondsText(declared);
        }
    }

    static std::string secondsText(Microseconds time) {
        char text[32];
        std::snprintf(text, sizeof text, "%.3f s", static_cast<double>(time) / 1e6);
        return text;
    }

    void takeTimes() {
        damagedRun_ = 0;
        const std::int64_t pts = frame_->best_effort_timestamp;
#if LIBAVUTIL_VERSION_MAJOR >= 58
        const std::int64_t duration = frame_->duration;
#else
        const std::int64_t duration = frame_->pkt_duration;
#endif
        frameDuration_ = duration > 0 ? av_rescale_q(duration, stream_->time_base, microsecondBase) : defaultDuration_;
        frameTime_ = pts != AV_NOPTS_VALUE ? av_rescale_q(pts - start_, stream_->time_base, microsecondBase) : lastEnd_;
        frameTime_ = std::max<Microseconds>(frameTime_, 0);
        lastEnd_ = frameTime_ + frameDuration_;
    }

    static constexpr int maxDamagedRun = 64;

    std::unique_ptr<ByteReader> reader_;
    FfmpegOptions options_;
    AVIOContext* io_ = nullptr;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVStream* stream_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    SwsContext* scaler_ = nullptr;
    const SwsContext* colourSetFor_ = nullptr;
    int colourSpace_ = -1;
    bool fullRange_ = false;
    int streamIndex_ = -1;
    int width_ = 0;
    int height_ = 0;
    int outputWidth_ = 0;
    int outputHeight_ = 0;
    std::int64_t start_ = 0;
    Microseconds defaultDuration_ = 0;
    Microseconds frameTime_ = 0;
    Microseconds frameDuration_ = 0;
    Microseconds lastEnd_ = 0;
    Microseconds seekTarget_ = -1;
    bool draining_ = false;
    bool readFailed_ = false;
    std::int64_t lastPts_ = AV_NOPTS_VALUE;
    int damagedRun_ = 0;
    std::vector<std::uint8_t> pixels_;
};

}  // namespace

std::unique_ptr<MediaSource> openFfmpegSource(std::unique_ptr<ByteReader> reader, const FfmpegOptions& options,
                                              std::string& error) {
    av_log_set_level(AV_LOG_QUIET);  // reasons are reported as one line of ours
    auto source = std::make_unique<FfmpegSource>(std::move(reader), options);
    error = source->open();
    if (!error.empty()) return nullptr;
    return source;
}

}  // namespace vantrel
