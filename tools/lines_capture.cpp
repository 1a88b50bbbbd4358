// lines-capture: runs the unchanged Lines demo (initConsole, then runDemo)
// against the headless host and records the frames it presents.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "console/console_screen.h"
#include "console/headless/headless_host.h"
#include "console/headless/input_script.h"
#include "tools/quoted_bytes.h"
#include "demo/frame_loop.h"
#include "tools/cell_frames.h"
#include "tools/capture_options.h"
#include "tools/cell_image.h"
#include "tools/output_file.h"
#include "tools/png_file.h"

using namespace vantrel;

namespace {

constexpr int usageError = 2;
constexpr int outputError = 1;

int fail(int status, const std::string& message) {
    std::fprintf(stderr, "lines-capture: %s\n", message.c_str());
    return status;
}

// Where the presented frames go while the demo runs.
struct Recorder {
    OutputFile* cells = nullptr;  // null: frames are not written
    CellBuffer lastFrame{};
    std::uint8_t bytes[cellFrameBytes];
};

// Returns false, which ends the run, once a frame cannot be written.
bool recordFrame(const CellBuffer& screen, void* context) {
    auto& recorder = *static_cast<Recorder*>(context);
    recorder.lastFrame = screen;
    if (recorder.cells == nullptr) return true;
    encodeCellFrame(screen, recorder.bytes);
    return recorder.cells->write(recorder.bytes, sizeof recorder.bytes);
}

struct NamedOutput {
    const char* option;
    const OutputFile* file;  // null: not written
};

// Reads and parses the script through a fixed buffer, keeping the entries for
// frames up to lastFrame. Refuses an input that is one of the outputs.
// Returns an empty string or what is wrong.
std::string loadInput(const std::string& path, std::uint64_t lastFrame, const NamedOutput (&outputs)[2],
                      std::vector<ScriptedInput>& inputs) {
    const std::string shown = quotedName(path);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return "cannot read input file " + shown + ": " + std::strerror(errno);
    struct stat file;
    if (::fstat(fd, &file) == 0) {
        for (const NamedOutput& output : outputs) {
            if (output.file != nullptr && output.file->writesInto(file.st_dev, file.st_ino)) {
                ::close(fd);
                return std::string("--input and ") + output.option + " name the same file " + shown;
            }
        }
    }
    InputScriptParser parser(inputs, lastFrame);
    char chunk[65536];
    ssize_t got = 0;
    while ((got = ::read(fd, chunk, sizeof chunk)) != 0) {
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 || !parser.feed(chunk, static_cast<std::size_t>(got))) break;
    }
    const int readError = got < 0 ? errno : 0;
    ::close(fd);
    if (readError != 0) return "cannot read input file " + shown + ": " + std::strerror(readError);
    if (!parser.finish()) return "input file " + shown + ", " + parser.error();
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    CaptureOptions options;
    if (const std::string error = parseCaptureOptions(argc, argv, options); !error.empty()) {
        return fail(usageError, error);
    }
    if (options.help) {
        std::fputs(captureUsage, stdout);
        return 0;
    }

    // Outputs first: nothing runs unless every output can be made, and the
    // temporary files exist only from here on.
    removeTemporaryFilesOnSignals();
    OutputFile cellsFile;
    OutputFile pngFile;
    NamedOutput outputs[2] = {{"--cells", nullptr}, {"--png", nullptr}};
    if (!options.cellsPath.empty()) {
        if (const std::string error = cellsFile.open(options.cellsPath); !error.empty()) {
            return fail(usageError, "--cells: " + error);
        }
        outputs[0].file = &cellsFile;
    }
    if (!options.pngPath.empty()) {
        if (const std::string error = pngFile.open(options.pngPath); !error.empty()) {
            return fail(usageError, "--png: " + error);
        }
        outputs[1].file = &pngFile;
    }
    if (outputs[0].file != nullptr && outputs[1].file != nullptr && cellsFile.sameFileAs(pngFile)) {
        if (options.cellsPath == "-" && options.pngPath == "-") {
            return fail(usageError, "--cells and --png both name standard output");
        }
        return fail(usageError, "--cells and --png name the same file " + quotedName(options.cellsPath));
    }

    std::vector<ScriptedInput> inputs;
    if (!options.inputPath.empty()) {
        if (const std::string error = loadInput(options.inputPath, options.frames, outputs, inputs); !error.empty()) {
            return fail(usageError, error);
        }
    }

    auto recorder = std::make_unique<Recorder>();
    recorder->cells = outputs[0].file != nullptr ? &cellsFile : nullptr;
    HeadlessConfig config;
    config.startTick = options.startTick;
    config.frames = options.frames;
    config.inputs = inputs.data();
    config.inputCount = inputs.size();
    config.sink = recordFrame;
    config.sinkContext = recorder.get();
    startHeadlessHost(config);

    initConsole();
    runDemo();
    if (!cellsFile.failure().empty()) return fail(outputError, cellsFile.failure());

    if (outputs[1].file != nullptr) {
        std::vector<std::uint8_t> rgb(cellImageBytes);
        drawCellImage(recorder->lastFrame, rgb.data());
        std::vector<std::uint8_t> png;
        if (const std::string error = encodeRgbPng(rgb.data(), cellImageWidth, cellImageHeight, png); !error.empty()) {
            return fail(outputError, "cannot write " + pngFile.shownName() + ": " + error);
        }
        pngFile.write(png.data(), png.size());
    }
    // Both files complete before either takes its name.
    for (OutputFile* output : {&cellsFile, &pngFile}) {
        if (const std::string error = output->finish(); !error.empty()) return fail(outputError, error);
    }
    for (OutputFile* output : {&cellsFile, &pngFile}) {
        if (const std::string error = output->commit(); !error.empty()) return fail(outputError, error);
    }
    return 0;
}
