#include "tools/view/media/webp_animation.h"

#include <webp/decode.h>
#include <webp/demux.h>

namespace vantrel {

namespace {

class WebpAnimation final : public MediaSource {
public:
    explicit WebpAnimation(std::string file) : file_(std::move(file)) {}
    ~WebpAnimation() override { WebPAnimDecoderDelete(decoder_); }

    std::string open(const MediaLimits& limits) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(file_.data());
        WebPBitstreamFeatures features{};
        if (WebPGetFeatures(bytes, file_.size(), &features) != VP8_STATUS_OK) return "not a WebP animation that can be read";
        if (std::int64_t{features.width} * features.height > limits.maxPixels) {
            return "frames of " + std::to_string(features.width) + "x" + std::to_string(features.height) +
                   " pixels are too large";
        }
        WebPAnimDecoderOptions options;
        if (!WebPAnimDecoderOptionsInit(&options)) return "the WebP library does not match its headers";
        options.color_mode = MODE_RGBA;
        options.use_threads = 0;
        const WebPData data{bytes, file_.size()};
        decoder_ = WebPAnimDecoderNew(&data, &options);
        if (decoder_ == nullptr) return "damaged WebP animation";
        WebPAnimInfo info{};
        if (!WebPAnimDecoderGetInfo(decoder_, &info) || info.frame_count == 0) return "damaged WebP animation";
        width_ = static_cast<int>(info.canvas_width);
        height_ = static_cast<int>(info.canvas_height);
        // The loop count counts plays; 0 is forever.
        plays_ = static_cast<int>(std::min<std::uint32_t>(info.loop_count, 1u << 30));
        frames_ = static_cast<int>(std::min<std::uint32_t>(info.frame_count, 1u << 30));
        return {};
    }

    int width() const override { return width_; }
    int height() const override { return height_; }
    int plays() const override { return plays_; }
    int frameCount() const override { return frames_; }
    bool seekable() const override { return true; }
    // The canvas is given as decoded; the caller scales it.
    void setOutputSize(int, int) override {}

    DecodeResult decode() override {
        for (;;) {
            if (!WebPAnimDecoderHasMoreFrames(decoder_)) return DecodeResult::end;
            int timestamp = 0;  // when this frame ends, in milliseconds, by the file's delays
            if (!WebPAnimDecoderGetNext(decoder_, &canvas_, &timestamp)) {
                error_ = "damaged WebP animation frame after " + std::to_string(end_ / 1000) + " ms";
                return DecodeResult::failed;
            }
            frameTime_ = end_;
            frameDuration_ = animationDelay(Microseconds{timestamp - fileEnd_} * 1000);
            fileEnd_ = timestamp;
            end_ += frameDuration_;
            if (end_ <= seekTarget_) continue;  // decoding forward to a seek's target
            seekTarget_ = -1;
            return DecodeResult::frame;
        }
    }
    Microseconds frameTime() const override { return frameTime_; }
    Microseconds frameDuration() const override { return frameDuration_; }

    MediaFrame convert() override {
        return MediaFrame{canvas_, width_, height_, 4, static_cast<std::ptrdiff_t>(width_) * 4};
    }

    // Every frame may build on those before it: from the first frame on.
    bool seek(Microseconds time) override {
        WebPAnimDecoderReset(decoder_);
        fileEnd_ = 0;
        end_ = 0;
        seekTarget_ = time;
        return true;
    }

private:
    std::string file_;
    WebPAnimDecoder* decoder_ = nullptr;
    std::uint8_t* canvas_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int plays_ = 0;
    int frames_ = 0;
    int fileEnd_ = 0;            // the file's own timestamp of the last frame
    Microseconds end_ = 0;       // the last frame's end, by the delays as shown
    Microseconds frameTime_ = 0;
    Microseconds frameDuration_ = 0;
    Microseconds seekTarget_ = -1;
};

}  // namespace

std::unique_ptr<MediaSource> openWebpAnimation(std::string file, const MediaLimits& limits, std::string& error) {
    auto source = std::make_unique<WebpAnimation>(std::move(file));
    error = source->open(limits);
    if (!error.empty()) return nullptr;
    return source;
}

}  // namespace vantrel
