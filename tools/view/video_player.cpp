#include "tools/view/video_player.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <optional>
#include <vector>

#include "vantrel/input_parser.h"
#include "vantrel/terminal_session.h"
#include "tools/view/picture_converter.h"
#include "tools/view/still_printer.h"
#include "tools/view/terminal_size.h"
#include "tools/view/video_screen.h"

namespace vantrel {

namespace {

using Nanoseconds = std::int64_t;

Nanoseconds now() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return Nanoseconds{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

struct QuitKeys : InputSink {
    bool quit = false;
    bool pause = false;  // Space: pause or resume
    void mouseReport(const MouseReport&) override {}
    void escapeKey() override { quit = true; }
    void plainKey(unsigned char key) override {
        quit = quit || key == 'q' || key == 'Q';
        pause = pause != (key == ' ');
    }
};

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
    const Extent box = options.size.value_or(screen);
    FitRequest request;
    request.columns = std::min(box.width, screen.width);
    request.rows = std::min(box.height, screen.height);
    request.cellAspect = options.cellAspect;
    request.stretch = options.stretch;
    request.enlarge = true;
    return fitPicture(options.raw->width, options.raw->height, request);
}

}  // namespace

std::string playVideo(const ViewOptions& options, int frameFd, PlaybackStats& stats) {
    const Extent source = *options.raw;
    FrameInput input(frameFd, frameBytes(options));  // the frame being read
    std::vector<std::uint8_t> ready(input.frame.size());  // complete, waiting for its time
    std::vector<std::uint8_t> shown(input.frame.size());  // on screen, kept to draw again
    bool haveReady = false, haveShown = false;
    PictureConverter converter(options.renderer, blockFor(options), ditherFor(options));
    const ColourMode mode = resolveColours(options.colours);
    VideoScreen screen(options.renderer, mode);
    if (!terminalSession::enter()) return "standard input and output must be a terminal";
    terminalSession::setCursorVisible(false);
    terminalSession::setAutowrap(false);

    const auto draw = [&] {
        converter.convert(shown.data(), static_cast<std::ptrdiff_t>(source.width) * 3);
        terminalSession::write(screen.encode(converter.shown()));
    };
    const auto relayout = [&] {
        Extent terminal;
        terminalSession::size(terminal.width, terminal.height);
        const CellCount cells = videoCells(options, terminal);
        converter.setSizes(source.width, source.height, cells);
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
    InputParser parser;
    QuitKeys keys;
    while (!keys.quit) {
        if (terminalSession::takeResized()) relayout();
        if (terminalSession::takeResumed()) {
            screen.forgetScreen();
            if (haveShown) draw();
        }
        if (keys.pause) {
            keys.pause = false;
            timeline.paused() ? timeline.resume(now() / 1000) : timeline.pause(now() / 1000);
        }
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

        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {frameFd, POLLIN, 0}};
        const nfds_t count = !input.ended && !input.complete() ? 2 : 1;
        Nanoseconds wait = wakeAt ? std::max<Nanoseconds>(*wakeAt - time, 0) * 1000 : -1;
        if (parser.escapePending()) {
            const Nanoseconds escapeWait = Nanoseconds{InputParser::escapeTimeoutMs} * 1'000'000;
            wait = wait < 0 ? escapeWait : std::min(wait, escapeWait);
        }
        timespec timeout{static_cast<time_t>(wait / 1'000'000'000), static_cast<long>(wait % 1'000'000'000)};
        const int events = ::ppoll(fds, count, wait < 0 ? nullptr : &timeout, nullptr);
        if (events < 0 && errno != EINTR) break;
        const auto nowMs = static_cast<std::uint32_t>(now() / 1'000'000);
        if (events > 0 && (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) break;  // the terminal is gone
        if (events > 0 && (fds[0].revents & POLLIN) != 0) {
            unsigned char bytes[256];
            const std::size_t got = terminalSession::read(bytes, sizeof bytes);
            parser.feed(bytes, got, nowMs, keys);
        }
        parser.tick(nowMs, keys);
        if (events > 0 && count == 2 && fds[1].revents != 0) input.read(false);
    }
    terminalSession::leave();
    stats = timeline.stats();
    if (stats.shown > 0) stats.elapsed = now() / 1000 - timeline.firstShown();
    return keys.quit ? std::string() : input.problem();
}

std::string videoToPng(const ViewOptions& options, int frameFd, OutputFile& png, bool& outputFailed) {
    outputFailed = false;
    const Extent source = *options.raw;
    FrameInput input(frameFd, frameBytes(options));
    PictureConverter converter(options.renderer, blockFor(options), ditherFor(options));
    converter.setSizes(source.width, source.height, videoCells(options, options.size.value_or(outputTerminalSize())));
    bool any = false;
    while (!input.ended) {
        input.read(true);
        if (input.complete()) {
            converter.convert(input.frame.data(), static_cast<std::ptrdiff_t>(source.width) * 3);
            input.filled = 0;
            any = true;
        }
    }
    if (std::string problem = input.problem(); !problem.empty()) return problem;
    if (!any) return "the video holds no frame";
    std::string error = writeShownPng(converter.shown(), resolveColours(options.colours), png);
    outputFailed = !error.empty();
    return error;
}

}  // namespace vantrel
