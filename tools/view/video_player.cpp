#include "tools/view/video_player.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <optional>
#include <vector>

#include "vantrel/terminal_events.h"
#include "vantrel/terminal_session.h"
#include "tools/view/still_printer.h"
#include "tools/view/terminal_size.h"
#include "tools/view/video_screen.h"
#include "tools/view/view_picture.h"

namespace vantrel {

namespace {

using Nanoseconds = std::int64_t;

Nanoseconds now() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return Nanoseconds{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

bool isQuitKey(const KeyPress& k) {
    return k.modifiers == 0 && (k.key == Key::escape || (k.key == Key::character && (k.character == 'q' || k.character == 'Q')));
}

// One frame at a time from the input.
struct FrameInput {
    int fd;
    std::vector<std::uint8_t> frame;
    std::size_t filled = 0;
    bool ended = false;
    int error = 0;

    FrameInput(int fd_, std::size_t bytes) : fd(fd_), frame(bytes) {}
    bool complete() const { return filled == frame.size(); }

    // Reads what is there towards the frame; with `wait`, until it is
    // complete or the input ends.
    void read(bool wait) {
        do {
            const ssize_t got = ::read(fd, frame.data() + filled, frame.size() - filled);
            if (got > 0) {
                filled += static_cast<std::size_t>(got);
            } else if (got == 0) {
                ended = true;
            } else if (errno != EINTR && errno != EAGAIN) {
                error = errno;
                ended = true;
            }
        } while (wait && !ended && !complete());
    }

    std::string problem() const {
        if (error != 0) return std::string("cannot read the video: ") + std::strerror(error);
        if (filled > 0 && !complete()) {
            return "the video ends in the middle of a frame (" + std::to_string(filled) + " of " +
                   std::to_string(frame.size()) + " bytes)";
        }
        return {};
    }
};

std::size_t frameBytes(const ViewOptions& options) {
    return static_cast<std::size_t>(options.raw->width) * static_cast<std::size_t>(options.raw->height) * 3;
}

// The cells for the frame on a terminal (or --size) of `screen` cells.
CellCount videoCells(const ViewOptions& options, Extent screen) {
    return fitFrame(options, screen, options.raw->width, options.raw->height);
}

}  // namespace

std::string playVideo(const ViewOptions& options, int frameFd, PlaybackStats& stats, bool& terminalGone) {
    terminalGone = false;
    const Extent source = *options.raw;
    FrameInput input(frameFd, frameBytes(options));  // the frame being read
    std::vector<std::uint8_t> ready(input.frame.size());  // complete, waiting for its time
    std::vector<std::uint8_t> shown(input.frame.size());  // on screen, kept to draw again
    bool haveReady = false, haveShown = false;
    const ColourMode mode = resolveColours(options.colours);
    ViewPicture converter(options, mode);
    VideoScreen screen(mode);
    CellCount cells;
    if (!terminalSession::enter()) return "standard input and output must be a terminal";
    terminalSession::setCursorVisible(false);
    terminalSession::setAutowrap(false);

    // A write the terminal refuses (it hung up): the end.
    const auto draw = [&] {
        // The buffers swap places: the frame on screen is wherever `shown` is now.
        converter.convert(ByteImage{shown.data(), source.width, source.height,
                                    static_cast<std::ptrdiff_t>(source.width) * 3, PixelLayout::rgb},
                          cells);
        if (!terminalSession::write(screen.encode(converter.shown()))) terminalGone = true;
    };
    const auto relayout = [&] {
        Extent terminal;
        terminalSession::size(terminal.width, terminal.height);
        cells = videoCells(options, terminal);
        screen.setLayout(centreFrame(cells.columns, cells.rows, terminal.width, terminal.height));
        if (haveShown) draw();  // at once, from the frame on screen
    };
    relayout();

    // Frame n is shown at n / fps seconds from the first; when behind, the
    // newest complete frame is shown and those it overtook are dropped.
    const Microseconds period = 1'000'000 / (options.fps > 0 ? options.fps : defaultFramesPerSecond);
    PlaybackTimeline timeline;
    std::int64_t frames = 0;
    Microseconds readyTime = 0;
    const auto takeFrame = [&] {
        std::swap(input.frame, ready);
        input.filled = 0;
        haveReady = true;
        readyTime = frames++ * period;
        timeline.decoded();
    };
    TerminalEvents events;
    bool quit = false;
    while (!quit && !terminalGone) {
        if (!haveReady && input.complete()) takeFrame();
        const Microseconds time = now() / 1000;
        std::optional<Microseconds> wakeAt;
        if (haveReady) {
            auto verdict = timeline.judge(readyTime, period, time);
            if (verdict == PlaybackTimeline::Verdict::drop) {
                if (input.complete()) {  // overtaken by a newer frame
                    timeline.dropped();
                    takeFrame();
                    continue;
                }
                pollfd more{frameFd, POLLIN, 0};
                if (!input.ended && ::poll(&more, 1, 0) > 0) {
                    input.read(false);
                    continue;
                }
                verdict = PlaybackTimeline::Verdict::show;  // the newest frame there is
            }
            if (verdict == PlaybackTimeline::Verdict::show) {
                std::swap(ready, shown);
                haveReady = false;
                haveShown = true;
                draw();
                timeline.shown(readyTime, time);
                continue;
            }
            wakeAt = timeline.dueAt(readyTime);
        } else if (input.ended) {
            break;
        }

        events.watch(!input.ended && !input.complete() ? frameFd : -1);
        // Until the frame's time, rounded up to the millisecond.
        const int waitMs = wakeAt ? static_cast<int>((std::max<Microseconds>(*wakeAt - time, 0) + 999) / 1000) : -1;
        Event e;
        if (!events.wait(e, waitMs)) continue;
        switch (e.kind) {
            case Event::Kind::key:
                quit = isQuitKey(e.key);
                if (e.key.key == Key::character && e.key.character == ' ' && e.key.modifiers == 0) {
                    timeline.paused() ? timeline.resume(now() / 1000) : timeline.pause(now() / 1000);
                }
                break;
            case Event::Kind::resize:
                relayout();
                break;
            case Event::Kind::resumed:
                screen.forgetScreen();
                relayout();
                break;
            case Event::Kind::readable:
                input.read(false);
                break;
            case Event::Kind::lost:
                terminalGone = true;
                break;
            case Event::Kind::mouse:
                break;
        }
    }
    terminalSession::leave();
    stats = timeline.stats();
    if (stats.shown > 0) stats.elapsed = now() / 1000 - timeline.firstShown();
    if (terminalGone) return "the terminal is gone";
    return quit ? std::string() : input.problem();
}

std::string videoToPng(const ViewOptions& options, int frameFd, OutputFile& png, bool& outputFailed) {
    outputFailed = false;
    const Extent source = *options.raw;
    FrameInput input(frameFd, frameBytes(options));
    ViewPicture converter(options, resolveColours(options.colours));
    const ByteImage frame{input.frame.data(), source.width, source.height,
                          static_cast<std::ptrdiff_t>(source.width) * 3, PixelLayout::rgb};
    const CellCount cells = videoCells(options, options.size.value_or(outputTerminalSize()));
    bool any = false;
    while (!input.ended) {
        input.read(true);
        if (input.complete()) {
            converter.convert(frame, cells);
            input.filled = 0;
            any = true;
        }
    }
    if (std::string problem = input.problem(); !problem.empty()) return problem;
    if (!any) return "the video holds no frame";
    std::string error = writeShownPng(converter.shown(), png);
    outputFailed = !error.empty();
    return error;
}

}  // namespace vantrel
