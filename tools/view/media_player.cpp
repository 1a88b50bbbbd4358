#include "tools/view/media_player.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>

#include "vantrel/terminal_events.h"
#include "vantrel/terminal_session.h"
#include "tools/view/media/frame_feed.h"
#include "tools/view/still_printer.h"
#include "tools/view/terminal_size.h"
#include "tools/view/video_screen.h"
#include "tools/view/view_picture.h"

namespace vantrel {

namespace {

constexpr std::uint8_t background[3] = {0, 0, 0};

// How much larger than the renderer's pixel grid libswscale makes a frame,
// each way, before the linear-light area average takes it the rest of the
// way. bench_media on a 640x360 clip at 80x50 cells: the grid differs from
// the full frame averaged in linear light by a mean CIEDE2000 of 0.48 at 2,
// against 0.91 when libswscale makes the grid itself, at about half the cost
// of averaging the full frame.
constexpr int intermediateFactor = 2;

// Frames this late make the decoder skip what it can; this late, all but
// key frames, until a frame is on time again.
constexpr Microseconds behind = 100'000;
constexpr Microseconds farBehind = 1'000'000;

Microseconds now() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return Microseconds{t.tv_sec} * 1'000'000 + t.tv_nsec / 1000;
}

// The frames' size as decoded at the start: the decoder's thread may change
// the source's own figures while the player reads these.
struct SourceSize {
    int width;
    int height;
};

CellCount mediaCells(const ViewOptions& options, SourceSize source, Extent screen) {
    return fitFrame(options, screen, source.width, source.height);
}

// The size libswscale converts to for a renderer's grid of `samples` pixels.
Extent decodedSize(SourceSize source, CellCount samples) {
    return {std::min(source.width, samples.columns * intermediateFactor),
            std::min(source.height, samples.rows * intermediateFactor)};
}

}  // namespace

std::string statsLine(const PlaybackStats& stats) {
    char line[240];
    std::snprintf(line, sizeof line,
                  "%lld frames decoded, %lld shown, %lld dropped, %lld late; largest lateness %.1f ms; "
                  "%.3f s from the first frame shown to the end",
                  static_cast<long long>(stats.decoded), static_cast<long long>(stats.shown),
                  static_cast<long long>(stats.dropped), static_cast<long long>(stats.late),
                  static_cast<double>(stats.largestLateness) / 1000.0, static_cast<double>(stats.elapsed) / 1e6);
    return line;
}

std::string playMedia(const ViewOptions& options, MediaSource& source, CancelPipe& cancel, PlaybackStats& stats,
                      bool& terminalGone) {
    terminalGone = false;
    const ColourMode mode = resolveColours(options.colours);
    ViewPicture converter(options, mode);
    VideoScreen screen(mode);
    if (!terminalSession::enter()) return "standard input and output must be a terminal";
    terminalSession::setCursorVisible(false);
    terminalSession::setAutowrap(false);

    PlaybackTimeline timeline;
    const SourceSize size{source.width(), source.height()};
    Extent terminal;
    terminalSession::size(terminal.width, terminal.height);
    const Extent firstSize = decodedSize(size, converter.samplesFor(mediaCells(options, size, terminal)));
    FrameFeed feed(source, background, firstSize.width, firstSize.height);
    FeedFrame next;   // taken from the feed, waiting for its time
    FeedFrame shown;  // on screen: kept to draw again after a resize
    bool haveNext = false, haveShown = false;
    CellCount cells;

    // False when the terminal refuses the write (it hung up).
    const auto draw = [&] {
        converter.convert(ByteImage{shown.rgb.data(), shown.width, shown.height,
                                    static_cast<std::ptrdiff_t>(shown.width) * 3, PixelLayout::rgb},
                          cells);
        return terminalSession::write(screen.encode(converter.shown()));
    };
    const auto relayout = [&] {
        terminalSession::size(terminal.width, terminal.height);
        cells = mediaCells(options, size, terminal);
        const Extent decoded = decodedSize(size, converter.samplesFor(cells));
        feed.setOutputSize(decoded.width, decoded.height);
        screen.setLayout(centreFrame(cells.columns, cells.rows, terminal.width, terminal.height));
        return !haveShown || draw();  // at once, from the frame on screen
    };
    relayout();

    const int plays = options.loop.value_or(source.plays());
    int played = 1;
    Microseconds length = 0;  // the end of the last frame decoded
    bool ended = false, quit = false;
    int hurry = 0;  // see MediaSource::setHurry
    std::string problem;

    const auto seekBy = [&](Microseconds delta) {
        if (!source.seekable()) return;
        const Microseconds from = haveShown ? shown.time : 0;
        hurry = 0;  // decode every frame on the way to the target
        feed.setHurry(hurry);
        feed.seek(std::max<Microseconds>(0, from + delta));
        haveNext = false;
        ended = false;
        timeline.reanchor();
    };
    const auto press = [&](const KeyPress& k) {
        if (k.modifiers != 0) return;
        if (k.key == Key::escape || (k.key == Key::character && (k.character == 'q' || k.character == 'Q'))) {
            quit = true;
        } else if (k.key == Key::character && k.character == ' ') {
            timeline.paused() ? timeline.resume(now()) : timeline.pause(now());
        } else if (k.key == Key::left) {
            seekBy(-5'000'000);
        } else if (k.key == Key::right) {
            seekBy(5'000'000);
        } else if (k.key == Key::up) {
            seekBy(60'000'000);
        } else if (k.key == Key::down) {
            seekBy(-60'000'000);
        }
    };

    TerminalEvents events;
    while (!quit && !terminalGone) {
        if (!haveNext && !ended && feed.take(next)) {
            if (next.result == DecodeResult::frame) {
                haveNext = true;
                timeline.decoded();
                length = std::max(length, next.time + next.duration);
            } else if (next.result == DecodeResult::end && (plays == 0 || played < plays) && source.seekable() &&
                       length > 0 && source.error().empty()) {
                ++played;
                timeline.loop(length);
                feed.seek(0);
            } else {
                ended = true;
                if (next.result == DecodeResult::failed || !source.error().empty()) problem = source.error();
            }
            continue;
        }
        const Microseconds time = now();
        std::optional<Microseconds> wakeAt;
        if (haveNext) {
            const auto verdict = timeline.judge(next.time, next.duration, time);
            // Decoding itself falls behind: skip decoder work until caught up.
            if (const auto due = timeline.dueAt(next.time)) {
                const Microseconds lateness = time - *due;
                hurry = lateness >= farBehind ? 2 : lateness >= behind ? std::max(hurry, 1) : lateness <= 0 ? 0 : hurry;
                feed.setHurry(hurry);
            }
            if (verdict == PlaybackTimeline::Verdict::drop) {
                timeline.dropped();
                haveNext = false;
                continue;
            }
            if (verdict == PlaybackTimeline::Verdict::show) {
                std::swap(next, shown);
                haveNext = false;
                haveShown = true;
                terminalGone = !draw();
                timeline.shown(shown.time, time);
                continue;
            }
            wakeAt = timeline.dueAt(next.time);
        } else if (ended) {
            // The last frame stays for its length; then the player ends.
            const auto end = timeline.dueAt(haveShown ? shown.time + shown.duration : 0);
            if (!timeline.paused() && (!end || time >= *end)) break;
            wakeAt = end;
        }

        // The feed matters only when a frame is wanted.
        events.watch(haveNext || ended ? -1 : feed.readyFd());
        // Until the frame's time, rounded up to the millisecond.
        const int waitMs = wakeAt ? static_cast<int>((std::max<Microseconds>(*wakeAt - time, 0) + 999) / 1000) : -1;
        Event e;
        if (!events.wait(e, waitMs)) continue;
        switch (e.kind) {
            case Event::Kind::key: press(e.key); break;
            case Event::Kind::resize: terminalGone = !relayout(); break;
            case Event::Kind::resumed:
                screen.forgetScreen();
                terminalGone = !relayout();
                break;
            case Event::Kind::lost: terminalGone = true; break;
            case Event::Kind::readable:  // the feed's frame: taken above
            case Event::Kind::mouse: break;
        }
    }
    cancel.cancel();  // a read waiting on a pipe gives up, so that the feed can stop
    terminalSession::leave();
    stats = timeline.stats();
    if (stats.shown > 0) stats.elapsed = now() - timeline.firstShown();
    if (terminalGone) return "the terminal is gone";
    return quit ? std::string() : problem;
}

std::string mediaToPng(const ViewOptions& options, MediaSource& source, OutputFile& png, bool& outputFailed) {
    outputFailed = false;
    ViewPicture converter(options, resolveColours(options.colours));
    const SourceSize size{source.width(), source.height()};
    const CellCount cells = mediaCells(options, size, options.size.value_or(outputTerminalSize()));
    const Extent decoded = decodedSize(size, converter.samplesFor(cells));
    FrameFeed feed(source, background, decoded.width, decoded.height);
    FeedFrame frame, last;
    bool any = false;
    for (;;) {
        pollfd ready{feed.readyFd(), POLLIN, 0};
        ::poll(&ready, 1, -1);
        if (!feed.take(frame)) continue;
        if (frame.result != DecodeResult::frame) break;
        std::swap(frame, last);
        any = true;
    }
    if (frame.result == DecodeResult::failed || !source.error().empty()) return source.error();
    if (!any) return "the video holds no frame";
    converter.convert(ByteImage{last.rgb.data(), last.width, last.height,
                                static_cast<std::ptrdiff_t>(last.width) * 3, PixelLayout::rgb},
                      cells);
    std::string error = writeShownPng(converter.shown(), png);
    outputFailed = !error.empty();
    return error;
}

}  // namespace vantrel
