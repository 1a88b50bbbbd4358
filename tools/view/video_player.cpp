#include "tools/view/video_player.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

#include "vantrel/mosaic_encoder.h"
#include "vantrel/terminal_events.h"
#include "vantrel/terminal_session.h"
#include "tools/view/still_printer.h"
#include "tools/view/terminal_size.h"
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
    const Extent box = options.size.value_or(screen);
    FitRequest request;
    request.columns = std::min(box.width, screen.width);
    request.rows = std::min(box.height, screen.height);
    request.cellAspect = options.cellAspect;
    request.stretch = options.stretch;
    request.enlarge = true;
    return fitPicture(options.raw->width, options.raw->height, request);
}

// What the terminal shows: the picture's mosaic cells through the diffing
// mosaic encoder.
class VideoScreen {
public:
    explicit VideoScreen(ColourMode mode) : encoder_(mode, FrameLayout{}) {}
    void setLayout(const FrameLayout& layout) { encoder_.setLayout(layout); }
    void forgetScreen() { encoder_.forgetScreen(); }
    std::string_view encode(const ShownPicture& shown) { return encoder_.encode(shown.view()); }

private:
    MosaicEncoder encoder_;
};

}  // namespace

std::string playVideo(const ViewOptions& options, int frameFd, bool& terminalGone) {
    terminalGone = false;
    const Extent source = *options.raw;
    FrameInput input(frameFd, frameBytes(options));
    const ColourMode mode = resolveColours(options.colours);
    ViewPicture converter(options, mode);
    VideoScreen screen(mode);
    const ByteImage frame{input.frame.data(), source.width, source.height,
                          static_cast<std::ptrdiff_t>(source.width) * 3, PixelLayout::rgb};
    CellCount cells;
    if (!terminalSession::enter()) return "standard input and output must be a terminal";
    terminalSession::setCursorVisible(false);
    terminalSession::setAutowrap(false);

    const auto relayout = [&] {
        Extent terminal;
        terminalSession::size(terminal.width, terminal.height);
        cells = videoCells(options, terminal);
        screen.setLayout(centreFrame(cells.columns, cells.rows, terminal.width, terminal.height));
    };
    relayout();

    const Nanoseconds interval = 1'000'000'000 / (options.fps > 0 ? options.fps : maxFramesPerSecond);
    TerminalEvents events;
    bool quit = false;
    bool pending = false;  // a converted frame waits for its time
    bool shownAny = false;
    Nanoseconds nextShow = now();
    // A write the terminal refuses (it hung up): the end.
    const auto show = [&](const ShownPicture& shown) {
        if (!terminalSession::write(screen.encode(shown))) terminalGone = true;
    };
    while (!quit && !terminalGone) {
        if (input.complete() && !pending) {
            converter.convert(frame, cells);
            input.filled = 0;
            pending = true;
        }
        const Nanoseconds time = now();
        if (pending && time >= nextShow) {
            show(converter.shown());
            pending = false;
            shownAny = true;
            nextShow = std::max(nextShow + interval, time);
            continue;
        }
        if (input.ended && !pending) break;

        events.watch(!input.ended && !input.complete() ? frameFd : -1);
        // Until the frame's time, rounded up to the millisecond.
        const int waitMs = pending ? static_cast<int>((nextShow - time + 999'999) / 1'000'000) : -1;
        Event e;
        if (!events.wait(e, waitMs)) continue;
        switch (e.kind) {
            case Event::Kind::key:
                quit = isQuitKey(e.key);
                break;
            case Event::Kind::resize:
                relayout();
                pending = false;  // converted for the old size
                break;
            case Event::Kind::resumed:
                relayout();
                pending = false;
                screen.forgetScreen();
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
        if (e.kind == Event::Kind::resumed && shownAny) show(converter.shown());
    }
    terminalSession::leave();
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
