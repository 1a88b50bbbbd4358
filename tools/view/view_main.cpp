// vantrel-view: pictures inline and raw video full-screen, through the
// renderers. See viewUsage for the command line.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/package_version.h"
#include "tools/quoted_bytes.h"
#include "tools/output_file.h"
#include "tools/view/media/frame_feed.h"
#include "tools/view/media/media_source.h"
#include "tools/view/media_file.h"
#include "tools/view/media_player.h"
#include "tools/view/picture_file.h"
#include "tools/view/still_printer.h"
#include "tools/view/terminal_answers.h"
#include "tools/view/terminal_size.h"
#include "tools/view/video_player.h"
#include "tools/view/view_picture.h"

using namespace vantrel;

namespace {

constexpr int badInput = 2;
constexpr int outputFailed = 1;

void say(const std::string& message) { std::fprintf(stderr, "vantrel-view: %s\n", message.c_str()); }

int fail(int status, const std::string& message) {
    say(message);
    return status;
}

std::string shownName(const std::string& path) { return path == "-" ? "standard input" : quotedName(path); }

// The cells for a picture of width x height pixels.
CellCount stillCells(const ViewOptions& options, int width, int height) {
    return fitStill(options, outputTerminalSize(), width, height);
}

// Keys come from the terminal, which takes standard input's place when that
// is a pipe (a video from standard input is read from a copy of it, made
// before).
std::string keysFromTerminal() {
    if (::isatty(STDIN_FILENO) != 0) return {};
    const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (tty < 0 || ::dup2(tty, STDIN_FILENO) < 0) {
        const std::string reason = std::strerror(errno);
        if (tty >= 0) ::close(tty);
        return "no terminal to read keys from: " + reason;
    }
    ::close(tty);
    return {};
}

// A video or animation file: played full-screen, or its last frame as a
// PNG. An animation of one frame is a still picture: it is put in `still`
// for the caller to show inline. `anyShown`: set when a video was played or
// its frame written.
int showMedia(const ViewOptions& options, InputFile& input, OutputFile* png, RgbPicture& still, bool& anyShown) {
    const std::string name = shownName(input.path);
    if (input.fd == STDIN_FILENO && png == nullptr && ::isatty(STDIN_FILENO) != 0) {
        return fail(badInput, name + ": a video is read from a FILE or a pipe, not from the terminal");
    }
    const int videoFd = input.fd == STDIN_FILENO ? ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3) : input.fd;
    if (videoFd < 0) return fail(badInput, name + ": cannot read: " + std::strerror(errno));
    CancelPipe cancel;
    MediaInput media;
    media.fd = videoFd;
    media.head = input.head;
    media.cancelFd = cancel.readFd();
    std::string error;
    std::unique_ptr<MediaSource> source = openMedia(std::move(media), MediaLimits{}, error);
    int status = 0;
    if (!source) {
        status = fail(badInput, name + ": " + error);
    } else if (source->frameCount() == 1) {
        if (source->decode() != DecodeResult::frame) {
            status = fail(badInput, name + ": " + source->error());
        } else {
            static constexpr std::uint8_t black[3] = {0, 0, 0};
            FeedFrame frame;
            flattenFrame(source->convert(), black, frame);
            still.width = frame.width;
            still.height = frame.height;
            still.rgb = pictureBytes(frame.rgb.size());
            if (still.rgb == nullptr) {
                status = fail(badInput, name + ": out of memory");
            } else {
                std::copy(frame.rgb.begin(), frame.rgb.end(), still.rgb.get());
            }
        }
    } else if (png != nullptr) {
        bool writeFailed = false;
        error = mediaToPng(options, *source, *png, writeFailed);
        if (writeFailed) {
            status = fail(outputFailed, error);
        } else if (!error.empty()) {
            status = fail(badInput, name + ": " + error);
        } else {
            anyShown = true;
        }
    } else if (::isatty(STDOUT_FILENO) == 0) {
        status = fail(badInput, name + ": video needs a terminal on standard output (or --png)");
    } else if (error = keysFromTerminal(); !error.empty()) {
        status = fail(badInput, name + ": " + error);
    } else {
        PlaybackStats stats;
        bool terminalGone = false;
        error = playMedia(options, *source, cancel, stats, terminalGone);
        anyShown = anyShown || stats.shown > 0;
        if (terminalGone) {
            status = fail(outputFailed, error);
        } else {
            if (options.stats) say(name + ": " + statsLine(stats));
            if (!error.empty()) status = fail(badInput, name + ": " + error);
        }
    }
    source.reset();
    if (videoFd != input.fd) ::close(videoFd);
    return status;
}

// `anyShown`: whether a picture was shown (or written), even with status 2.
int showStills(const ViewOptions& options, OutputFile* png, bool& anyShown) {
    const ColourMode mode = resolveColours(options.colours);
    ViewPicture converter(options, mode);
    int status = 0;
    for (const std::string& path : options.files) {
        InputFile input;
        if (std::string error = openInputFile(path, input); !error.empty()) {
            say(shownName(path) + ": " + error);
            status = badInput;
            continue;
        }
        RgbPicture picture;
        if (input.kind != MediaKind::still) {
            const int shown = showMedia(options, input, png, picture, anyShown);
            if (shown == outputFailed) return shown;
            status = std::max(status, shown);
            if (picture.rgb == nullptr) continue;
        }
        const TargetSize target = [&](int width, int height, int& wantedWidth, int& wantedHeight) {
            const CellCount samples = converter.samplesFor(stillCells(options, width, height));
            wantedWidth = samples.columns;
            wantedHeight = samples.rows;
        };
        std::string error;
        if (picture.rgb != nullptr) {
            // A one-frame animation, decoded already.
        } else {
            // The file as opened once, its first bytes included.
            std::FILE* stream = stillStream(input);
            error = stream == nullptr ? "cannot read: out of memory" : readPicture(stream, target, PictureLimits{}, picture, AlphaUse::keep);
            if (stream != nullptr) std::fclose(stream);
        }
        if (!error.empty()) {
            say(shownName(path) + ": " + error);
            status = badInput;
            if (picture.rgb == nullptr) continue;  // else damaged: shown as far as it decoded
        }
        const ShownPicture& shown =
            converter.convert(picture.view(), stillCells(options, picture.width, picture.height));
        if (png != nullptr) {
            if (std::string error = writeShownPng(shown, *png); !error.empty()) return fail(outputFailed, error);
        } else if (const std::error_code error = printShown(STDOUT_FILENO, shown)) {
            return fail(outputFailed, "cannot write to standard output: " + error.message());
        }
        anyShown = true;
    }
    return status;
}

// Video frames come from the file or from standard input; keys from the
// terminal, which takes standard input's place when that is a pipe.
int showVideo(const ViewOptions& options, OutputFile* png) {
    const std::string path = options.files.empty() ? "-" : options.files.front();
    int frameFd = -1;
    if (path != "-") {
        frameFd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (frameFd < 0) return fail(badInput, shownName(path) + ": cannot open: " + std::strerror(errno));
    }
    if (png != nullptr) {
        bool writeFailed = false;
        const std::string error = videoToPng(options, frameFd >= 0 ? frameFd : STDIN_FILENO, *png, writeFailed);
        if (frameFd >= 0) ::close(frameFd);
        if (writeFailed) return fail(outputFailed, error);
        if (!error.empty()) return fail(badInput, shownName(path) + ": " + error);
        return 0;
    }
    if (::isatty(STDOUT_FILENO) == 0) return fail(badInput, "video needs a terminal on standard output (or --png)");
    if (::isatty(STDIN_FILENO) != 0) {
        if (frameFd < 0) return fail(badInput, "--raw reads video from a FILE or a pipe, not from the terminal");
    } else {
        if (frameFd < 0) frameFd = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
        const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
        if (frameFd < 0 || tty < 0 || ::dup2(tty, STDIN_FILENO) < 0) {
            return fail(badInput, std::string("no terminal to read keys from: ") + std::strerror(errno));
        }
        ::close(tty);
    }
    PlaybackStats stats;
    bool terminalGone = false;
    const std::string error = playVideo(options, frameFd, stats, terminalGone);
    if (options.stats && !terminalGone) say(shownName(path) + ": " + statsLine(stats));
    if (!error.empty()) return terminalGone ? fail(outputFailed, error) : fail(badInput, shownName(path) + ": " + error);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    ViewOptions options;
    if (const std::string error = parseViewOptions(argc, argv, options); !error.empty()) return fail(badInput, error);
    if (options.help) {
        std::fputs(viewUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("vantrel-view %s\n", packageVersion);
        return 0;
    }
    OutputFile png;
    if (!options.pngPath.empty()) {
        removeTemporaryFilesOnSignals();
        if (std::string error = png.open(options.pngPath); !error.empty()) return fail(badInput, "--png: " + error);
        // By the names alone: opening an input here would take a pipe's
        // writer away from the reading that follows, or wait for one.
        for (const std::string& path : options.files) {
            struct stat file {};
            const int found = path == "-" ? ::fstat(STDIN_FILENO, &file) : ::stat(path.c_str(), &file);
            if (found == 0 && png.writesInto(file.st_dev, file.st_ino)) {
                return fail(badInput, "--png names the input file " + shownName(path));
            }
        }
    }
    // The terminal's cell shape and background, where the options leave them to it.
    takeFromOutputTerminal(options);
    OutputFile* pngOutput = options.pngPath.empty() ? nullptr : &png;
    bool stillShown = false;
    const int status = options.raw ? showVideo(options, pngOutput) : showStills(options, pngOutput, stillShown);
    if (pngOutput != nullptr && status != outputFailed) {
        // A picture appears only when there is one to show.
        // (That includes a damaged JPEG, shown as far as it decoded.)
        if (status == 0 || stillShown) {
            if (std::string error = png.finish(); !error.empty()) return fail(outputFailed, error);
            if (std::string error = png.commit(); !error.empty()) return fail(outputFailed, error);
        }
    }
    return status;
}
