// vantrel-view: pictures inline and raw video full-screen, through the
// renderers. See viewUsage for the command line.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/package_version.h"
#include "tools/quoted_bytes.h"
#include "tools/output_file.h"
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

// `anyShown`: whether a picture was shown (or written), even with status 2.
int showStills(const ViewOptions& options, OutputFile* png, bool& anyShown) {
    const ColourMode mode = resolveColours(options.colours);
    ViewPicture converter(options, mode);
    int status = 0;
    for (const std::string& path : options.files) {
        RgbPicture picture;
        const TargetSize target = [&](int width, int height, int& wantedWidth, int& wantedHeight) {
            const CellCount samples = converter.samplesFor(stillCells(options, width, height));
            wantedWidth = samples.columns;
            wantedHeight = samples.rows;
        };
        if (std::string error = loadPicture(path, target, PictureLimits{}, picture, AlphaUse::keep); !error.empty()) {
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
    bool terminalGone = false;
    if (std::string error = playVideo(options, frameFd, terminalGone); !error.empty()) {
        return terminalGone ? fail(outputFailed, error) : fail(badInput, shownName(path) + ": " + error);
    }
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
