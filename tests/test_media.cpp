// Video and animations in vantrel-view: the playback timeline against a fake
// clock, and the composited canvases of a GIF (every disposal mode, with
// transparency) and of an animated WebP, made here byte by byte, against
// pixels worked out by hand.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include <poll.h>

#include "tools/view/media/frame_feed.h"
#include "tools/view/media/gif_facts.h"
#include "tools/view/media/media_source.h"
#include "tools/view/media/playback_timeline.h"

#if VANTREL_HAS_WEBP_ANIMATION
#include <webp/encode.h>
#endif

using namespace vantrel;

namespace {

using Bytes = std::vector<std::uint8_t>;

// ---------------------------------------------------------------- timeline

struct Played {
    int frame;
    Microseconds at;
};

// Plays `count` frames of `period` through the timeline as the player does:
// each frame costs `decodeCost` to decode and a shown one `showCost` more to
// convert and write, waits sleep to the frame's time exactly, and
// `event(now, timeline, frame)` may pause, resume or seek (returning the
// frame to go on from). Returns the frames shown with the fake clock's
// reading when each was shown.
template <class Event>
std::vector<Played> play(PlaybackTimeline& timeline, int count, Microseconds period, Microseconds decodeCost,
                         Microseconds showCost, Event event, Microseconds& clock) {
    std::vector<Played> shown;
    for (int i = 0; i < count; ++i) {
        clock += decodeCost;
        timeline.decoded();
        for (;;) {
            i = event(clock, timeline, i);
            const auto verdict = timeline.judge(i * period, period, clock);
            if (verdict == PlaybackTimeline::Verdict::show) {
                timeline.shown(i * period, clock);
                shown.push_back({i, clock});
                clock += showCost;
                break;
            }
            if (verdict == PlaybackTimeline::Verdict::drop) {
                timeline.dropped();
                break;
            }
            const auto due = timeline.dueAt(i * period);
            clock = due ? *due : clock + 1'000;  // paused: time passes
        }
    }
    return shown;
}

auto noEvents = [](Microseconds, PlaybackTimeline&, int i) { return i; };

TEST(PlaybackTimeline, OnTimeNeverEarlyDropsWhenLateAndNeverDrifts) {
    constexpr Microseconds period = 40'000;
    {   // Fast enough: every frame at its time exactly.
        PlaybackTimeline timeline;
        Microseconds clock = 1'000'000;
        const auto shown = play(timeline, 50, period, 5'000, 10'000, noEvents, clock);
        ASSERT_EQ(shown.size(), 50u);
        for (const Played& p : shown) EXPECT_EQ(p.at, shown[0].at + p.frame * period);
        EXPECT_EQ(timeline.stats().dropped, 0);
        EXPECT_EQ(timeline.stats().late, 0);
        EXPECT_EQ(timeline.stats().largestLateness, 0);
    }
    {   // Each frame shown takes over two periods: over a third are shown, none
        // early, each within its own interval, and the end is on time.
        PlaybackTimeline timeline;
        Microseconds clock = 0;
        const auto shown = play(timeline, 100, period, 10'000, 80'000, noEvents, clock);
        const Microseconds anchor = shown[0].at;
        for (const Played& p : shown) {
            EXPECT_GE(p.at, anchor + p.frame * period);
            EXPECT_LT(p.at, anchor + (p.frame + 1) * period) << "frame " << p.frame;
        }
        EXPECT_EQ(timeline.stats().decoded, 100);
        EXPECT_EQ(timeline.stats().shown + timeline.stats().dropped, 100);
        // At most one frame per 90 ms of work; at least one every three periods.
        EXPECT_LE(timeline.stats().shown, 45);
        EXPECT_GE(timeline.stats().shown, 34);
        EXPECT_LE(clock - anchor, 100 * period + 90'000);  // no drift: ends within one frame's cost
        EXPECT_GT(timeline.stats().late, 0);
        EXPECT_LT(timeline.stats().largestLateness, period);
    }
    {   // Hopelessly behind (each frame shown costs 300 ms): still a frame
        // each time the hold runs out, late, rather than none at all.
        PlaybackTimeline timeline;
        Microseconds clock = 0;
        const auto shown = play(timeline, 100, period, 10'000, 300'000, noEvents, clock);
        EXPECT_GE(shown.size(), 12u);
        for (std::size_t k = 1; k < shown.size(); ++k) EXPECT_EQ(shown[k].at - shown[k - 1].at, 310'000);
        EXPECT_EQ(timeline.stats().late, static_cast<std::int64_t>(shown.size()) - 1);
        EXPECT_EQ(timeline.stats().largestLateness, shown.back().at - shown.back().frame * period - shown[0].at);
    }
}

TEST(PlaybackTimeline, PauseSeekAndLoopKeepTheTimeline) {
    constexpr Microseconds period = 40'000;
    {   // Paused at frame 25 for 3 s: every later frame moves by the pause, none dropped.
        PlaybackTimeline timeline;
        Microseconds clock = 0, pausedAt = 0, resumedAt = 0;
        const auto event = [&](Microseconds now, PlaybackTimeline& t, int i) {
            if (i == 25 && pausedAt == 0) t.pause(pausedAt = now);
            if (t.paused() && now >= pausedAt + 3'000'000) t.resume(resumedAt = now);
            return i;
        };
        const auto shown = play(timeline, 50, period, 1'000, 2'000, event, clock);
        ASSERT_EQ(shown.size(), 50u);
        EXPECT_EQ(resumedAt - pausedAt, 3'000'000);
        for (const Played& p : shown) {
            const Microseconds pause = p.frame >= 25 ? 3'000'000 : 0;
            EXPECT_EQ(p.at, shown[0].at + p.frame * period + pause) << "frame " << p.frame;
        }
        EXPECT_EQ(timeline.stats().dropped, 0);
    }
    {   // A seek to frame 100 at frame 10: shown at once, the next one period later.
        PlaybackTimeline timeline;
        Microseconds clock = 0;
        bool sought = false;
        const auto event = [&](Microseconds, PlaybackTimeline& t, int i) {
            if (i == 10 && !sought) {
                sought = true;
                t.reanchor();
                return 100;
            }
            return i;
        };
        const auto shown = play(timeline, 105, period, 1'000, 0, event, clock);
        ASSERT_EQ(shown.size(), 15u);
        EXPECT_EQ(shown[10].frame, 100);
        EXPECT_EQ(shown[10].at, shown[9].at + 1'000);  // no wait for the sought frame
        EXPECT_EQ(shown[11].at, shown[10].at + period);
        EXPECT_EQ(timeline.stats().dropped, 0);
    }
    {   // A seek while paused shows the sought frame, and stays paused.
        PlaybackTimeline timeline;
        timeline.shown(0, 0);
        timeline.pause(10'000);
        timeline.reanchor();
        EXPECT_EQ(timeline.judge(5'000'000, period, 20'000), PlaybackTimeline::Verdict::show);
        timeline.shown(5'000'000, 20'000);
        EXPECT_EQ(timeline.judge(5'040'000, period, 900'000), PlaybackTimeline::Verdict::wait);
        timeline.resume(1'020'000);  // paused 1 s since the sought frame
        EXPECT_EQ(timeline.dueAt(5'040'000), 1'060'000);
    }
    {   // A loop moves the anchor by the loop's length.
        PlaybackTimeline timeline;
        timeline.shown(0, 7'000);
        timeline.loop(500'000);
        EXPECT_EQ(timeline.dueAt(0), 507'000);
        EXPECT_EQ(timeline.judge(0, period, 506'999), PlaybackTimeline::Verdict::wait);
    }
}

// ---------------------------------------------------------------- the feed

// Frames 0, 1, 2, ... each 2x1 RGBA pixels: the first opaque with red = the
// frame's number, the second half transparent; frame n at n ms.
class CountingSource final : public MediaSource {
public:
    explicit CountingSource(int frames) : frames_(frames) {}
    int width() const override { return 2; }
    int height() const override { return 1; }
    int plays() const override { return 1; }
    bool seekable() const override { return true; }
    void setOutputSize(int, int) override {}
    DecodeResult decode() override {
        if (next_ >= frames_) return DecodeResult::end;
        current_ = next_++;
        pixels_[0] = static_cast<std::uint8_t>(current_);
        return DecodeResult::frame;
    }
    Microseconds frameTime() const override { return current_ * 1000; }
    Microseconds frameDuration() const override { return 1000; }
    MediaFrame convert() override { return MediaFrame{pixels_, 2, 1, 4, 8}; }
    bool seek(Microseconds time) override {
        next_ = static_cast<int>(time / 1000);
        return true;
    }

private:
    int frames_;
    int next_ = 0;
    int current_ = 0;
    std::uint8_t pixels_[8] = {0, 50, 100, 255, 200, 100, 0, 128};
};

FeedFrame takeWaiting(FrameFeed& feed) {
    FeedFrame frame;
    for (;;) {
        pollfd ready{feed.readyFd(), POLLIN, 0};
        EXPECT_EQ(::poll(&ready, 1, 5000), 1) << "no frame within 5 s";
        if (feed.take(frame)) return frame;
    }
}

TEST(FrameFeed, InOrderFlattenedAndSeeksDiscardWhatWasDecodedBefore) {
    CountingSource source(6);
    const std::uint8_t background[3] = {10, 20, 30};
    FrameFeed feed(source, background, 2, 1);
    for (int n = 0; n < 3; ++n) {
        const FeedFrame frame = takeWaiting(feed);
        ASSERT_EQ(frame.result, DecodeResult::frame);
        EXPECT_EQ(frame.time, n * 1000);
        ASSERT_EQ(frame.width, 2);
        // Opaque as it is; alpha 128 over the background, by hand:
        // (200 * 128 + 10 * 127 + 127) / 255 = 105, (100 * 128 + 20 * 127 + 127) / 255 = 60,
        // (0 * 128 + 30 * 127 + 127) / 255 = 15.
        const std::vector<std::uint8_t> rgb(frame.rgb.begin(), frame.rgb.begin() + 6);
        EXPECT_EQ(rgb, (std::vector<std::uint8_t>{static_cast<std::uint8_t>(n), 50, 100, 105, 60, 15}));
    }
    // The feed has decoded ahead; after a seek only the sought frames come.
    feed.seek(1000);
    for (int n = 1; n < 6; ++n) EXPECT_EQ(takeWaiting(feed).time, n * 1000);
    EXPECT_EQ(takeWaiting(feed).result, DecodeResult::end);
}

// ---------------------------------------------------------------- GIF

// Pixels as RGBA, and whether a pixel is transparent (its colour then does not matter).
using Rgba = std::array<std::uint8_t, 4>;
constexpr Rgba red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255}, clear{0, 0, 0, 0};

void expectCanvas(const MediaFrame& frame, const std::vector<Rgba>& expected, const char* what) {
    ASSERT_EQ(frame.channels, 4) << what;
    ASSERT_EQ(static_cast<std::size_t>(frame.width * frame.height), expected.size()) << what;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            const std::uint8_t* p = frame.pixels + y * frame.rowBytes + x * 4;
            const Rgba& e = expected[static_cast<std::size_t>(y * frame.width + x)];
            if (e[3] == 0) {
                EXPECT_EQ(p[3], 0) << what << " at " << x << "," << y;
            } else {
                EXPECT_EQ((Rgba{p[0], p[1], p[2], p[3]}), e) << what << " at " << x << "," << y;
            }
        }
    }
}

// A GIF made by hand. Image data is LZW with 2-bit codes: a clear code
// after every two pixels keeps every code 3 bits wide, so no compression
// is needed to write a valid stream.
struct GifWriter {
    Bytes bytes;

    void u16(int v) {
        bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    // A 4x4 canvas; colours 0 red, 1 green, 2 blue, 3 white.
    GifWriter(int repeats) {
        const char* header = "GIF89a";
        bytes.assign(header, header + 6);
        u16(4);
        u16(4);
        bytes.insert(bytes.end(), {0x81, 0, 0});  // a global table of 4 colours, background 0
        bytes.insert(bytes.end(), {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
        if (repeats >= 0) {
            bytes.insert(bytes.end(), {0x21, 0xFF, 11});
            const char* id = "NETSCAPE2.0";
            bytes.insert(bytes.end(), id, id + 11);
            bytes.insert(bytes.end(), {3, 1});
            u16(repeats);
            bytes.push_back(0);
        }
    }
    // disposal: 0 none given, 1 keep, 2 restore to background, 3 restore to previous.
    void frame(int x, int y, int w, int h, const std::vector<int>& indices, int disposal, int delay,
               int transparent = -1) {
        bytes.insert(bytes.end(), {0x21, 0xF9, 4});
        bytes.push_back(static_cast<std::uint8_t>(disposal << 2 | (transparent >= 0 ? 1 : 0)));
        u16(delay);
        bytes.push_back(static_cast<std::uint8_t>(transparent >= 0 ? transparent : 0));
        bytes.push_back(0);
        bytes.push_back(0x2C);
        u16(x);
        u16(y);
        u16(w);
        u16(h);
        bytes.push_back(0);  // no local table, not interlaced
        bytes.push_back(2);  // LZW minimum code size
        std::vector<int> codes;
        for (std::size_t i = 0; i < indices.size(); ++i) {
            if (i % 2 == 0) codes.push_back(4);  // clear
            codes.push_back(indices[i]);
        }
        codes.push_back(5);  // end of information
        Bytes packed;
        unsigned bits = 0, count = 0;
        for (int code : codes) {
            bits |= static_cast<unsigned>(code) << count;
            count += 3;
            while (count >= 8) {
                packed.push_back(static_cast<std::uint8_t>(bits & 0xFF));
                bits >>= 8;
                count -= 8;
            }
        }
        if (count > 0) packed.push_back(static_cast<std::uint8_t>(bits));
        bytes.push_back(static_cast<std::uint8_t>(packed.size()));  // one sub-block: small frames only
        bytes.insert(bytes.end(), packed.begin(), packed.end());
        bytes.push_back(0);
    }
    Bytes finish() {
        bytes.push_back(0x3B);
        return bytes;
    }
};

std::unique_ptr<MediaSource> openBytes(const Bytes& file, std::string& error) {
    MediaInput input;
    input.memory = file.data();
    input.memorySize = file.size();
    return openMedia(std::move(input), MediaLimits{}, error);
}

// Decodes the next frame and checks its time, length and canvas.
void expectFrame(MediaSource& source, Microseconds time, Microseconds duration, const std::vector<Rgba>& canvas,
                 const char* what) {
    ASSERT_EQ(source.decode(), DecodeResult::frame) << what << ": " << source.error();
    EXPECT_EQ(source.frameTime(), time) << what;
    EXPECT_EQ(source.frameDuration(), duration) << what;
    expectCanvas(source.convert(), canvas, what);
}

TEST(AnimationFrames, GifDisposalTransparencyDelaysAndLoopCount) {
    if (!videoSupported()) GTEST_SKIP() << "built without video support";
    GifWriter gif(3);
    constexpr int R = 0, G = 1, B = 2, T = 3;
    // 1: the whole canvas red but its top right pixel transparent; no disposal given (kept).
    gif.frame(0, 0, 4, 4, {R, R, R, T, R, R, R, R, R, R, R, R, R, R, R, R}, 0, 5, T);
    // 2: a 2x2 square at (1,1), two of its pixels transparent; then cleared to background.
    gif.frame(1, 1, 2, 2, {G, T, T, B}, 2, 1, T);
    // 3: a green pixel at (0,0); then the canvas from before it comes back.
    gif.frame(0, 0, 1, 1, {G}, 3, 0);
    // 4: a blue pixel at (3,3); kept.
    gif.frame(3, 3, 1, 1, {B}, 1, 2);
    const Bytes file = gif.finish();

    const GifFacts facts = scanGif(file.data(), file.size());
    EXPECT_TRUE(facts.complete);
    EXPECT_EQ(facts.images, 4);
    EXPECT_EQ(gifPlays(facts), 4);  // three repeats after the first showing
    for (std::size_t cut = 0; cut < file.size(); ++cut) EXPECT_FALSE(scanGif(file.data(), cut).complete);

    std::string error;
    auto source = openBytes(file, error);
    ASSERT_TRUE(source) << error;
    EXPECT_EQ(source->plays(), 4);
    const std::vector<Rgba> first{red, red, red, clear, red, red, red, red, red, red, red, red, red, red, red, red};
    const std::vector<Rgba> second{red, red, red, clear, red, green, red, red, red, red, blue, red, red, red, red, red};
    const std::vector<Rgba> disposed{red, red, red, clear, red, clear, clear, red, red, clear, clear, red, red, red, red, red};
    std::vector<Rgba> third = disposed;
    third[0] = green;
    std::vector<Rgba> fourth = disposed;
    fourth[15] = blue;
    // Delays of 50 ms, 10 ms and 0 ms (both under 20 ms: 100 ms) and 20 ms.
    expectFrame(*source, 0, 50'000, first, "frame 1");
    expectFrame(*source, 50'000, 100'000, second, "frame 2");
    expectFrame(*source, 150'000, 100'000, third, "frame 3");
    expectFrame(*source, 250'000, 20'000, fourth, "frame 4");
    EXPECT_EQ(source->decode(), DecodeResult::end);
    EXPECT_EQ(source->error(), "");

    // A seek into the third frame decodes forward from the start to it.
    ASSERT_TRUE(source->seek(160'000));
    expectFrame(*source, 150'000, 100'000, third, "frame 3 after a seek");

    // Cut short before its trailer: the frames that are there, then the reason.
    const Bytes cut(file.begin(), file.end() - 12);
    source = openBytes(cut, error);
    ASSERT_TRUE(source) << error;
    int frames = 0;
    while (source->decode() == DecodeResult::frame) ++frames;
    EXPECT_EQ(frames, 3);
    EXPECT_NE(source->error().find("cut short"), std::string::npos) << source->error();
}

TEST(AnimationFrames, BadInputGivesAReason) {
    std::string error;
    EXPECT_FALSE(openBytes(Bytes{}, error));
    EXPECT_EQ(error, "empty file");
    if (!videoSupported()) {
        EXPECT_FALSE(openBytes(Bytes{'x', 'y', 'z'}, error));
        EXPECT_EQ(error, "built without video support");
        return;
    }
    const std::string text = "just some text, no video in it\n";
    EXPECT_FALSE(openBytes(Bytes(text.begin(), text.end()), error));
    EXPECT_NE(error.find("not a picture or video"), std::string::npos) << error;
    EXPECT_FALSE(openBytes(Bytes{'G', 'I', 'F', '8', '9', 'a', 1}, error));
    EXPECT_FALSE(error.empty());
}

// ---------------------------------------------------------------- WebP

#if VANTREL_HAS_WEBP_ANIMATION
// An animated WebP put together chunk by chunk, each frame a lossless
// bitstream from libwebp's encoder, so that offsets, blending and disposal
// are the ones written here.
struct WebpWriter {
    Bytes chunks;

    static void u24(Bytes& b, unsigned v) {
        for (int i = 0; i < 3; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    static void chunk(Bytes& out, const char* tag, const Bytes& payload) {
        out.insert(out.end(), tag, tag + 4);
        const auto size = static_cast<std::uint32_t>(payload.size());
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
        out.insert(out.end(), payload.begin(), payload.end());
        if (payload.size() % 2 != 0) out.push_back(0);
    }
    // x and y even; `blend` over the canvas or replace; `dispose` to transparent after.
    void frame(int x, int y, int w, int h, const std::vector<Rgba>& pixels, int durationMs, bool blend, bool dispose) {
        Bytes rgba;
        for (const Rgba& p : pixels) rgba.insert(rgba.end(), p.begin(), p.end());
        std::uint8_t* encoded = nullptr;
        const std::size_t size = WebPEncodeLosslessRGBA(rgba.data(), w, h, w * 4, &encoded);
        ASSERT_GT(size, 12u);
        Bytes anmf;
        u24(anmf, static_cast<unsigned>(x / 2));
        u24(anmf, static_cast<unsigned>(y / 2));
        u24(anmf, static_cast<unsigned>(w - 1));
        u24(anmf, static_cast<unsigned>(h - 1));
        u24(anmf, static_cast<unsigned>(durationMs));
        anmf.push_back(static_cast<std::uint8_t>((blend ? 0 : 2) | (dispose ? 1 : 0)));
        anmf.insert(anmf.end(), encoded + 12, encoded + size);  // the VP8L chunk of the RIFF file
        WebPFree(encoded);
        chunk(chunks, "ANMF", anmf);
    }
    Bytes finish(int loops) {
        Bytes vp8x{0x12, 0, 0, 0};  // animation and alpha
        u24(vp8x, 3);
        u24(vp8x, 3);  // a 4x4 canvas
        Bytes anim{0, 0, 0, 0, static_cast<std::uint8_t>(loops), 0};
        Bytes body{'W', 'E', 'B', 'P'};
        chunk(body, "VP8X", vp8x);
        chunk(body, "ANIM", anim);
        body.insert(body.end(), chunks.begin(), chunks.end());
        Bytes file{'R', 'I', 'F', 'F'};
        const auto size = static_cast<std::uint32_t>(body.size());
        for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
        file.insert(file.end(), body.begin(), body.end());
        return file;
    }
};

TEST(AnimationFrames, WebpBlendingDisposalAndDelays) {
    WebpWriter webp;
    webp.frame(0, 0, 4, 4, std::vector<Rgba>(16, red), 50, true, false);
    // Blended over red: its transparent pixel leaves red; then disposed to transparent.
    webp.frame(2, 2, 2, 2, {green, clear, blue, blue}, 10, true, true);
    // Not blended: its transparent pixel replaces what was there.
    webp.frame(0, 0, 2, 2, {green, clear, blue, blue}, 20, false, false);
    const Bytes file = webp.finish(2);

    std::string error;
    auto source = openBytes(file, error);
    ASSERT_TRUE(source) << error;
    EXPECT_EQ(source->plays(), 2);
    const std::vector<Rgba> first(16, red);
    const std::vector<Rgba> second{red, red, red, red, red, red, red, red, red, red, green, red, red, red, blue, blue};
    const std::vector<Rgba> third{green, clear, red, red, blue, blue, red, red, red, red, clear, clear, red, red, clear, clear};
    expectFrame(*source, 0, 50'000, first, "frame 1");
    expectFrame(*source, 50'000, 100'000, second, "frame 2");  // 10 ms counts as 100 ms
    expectFrame(*source, 150'000, 20'000, third, "frame 3");
    EXPECT_EQ(source->decode(), DecodeResult::end);
    ASSERT_TRUE(source->seek(60'000));
    expectFrame(*source, 50'000, 100'000, second, "frame 2 after a seek");

    Bytes cut(file.begin(), file.end() - 30);
    source = openBytes(cut, error);
    EXPECT_FALSE(source) << "a damaged animation opens";
    EXPECT_FALSE(error.empty());
}
#endif

}  // namespace
