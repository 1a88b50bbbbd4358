// lines-capture: runs the unchanged Lines demo (initConsole, then runDemo)
// against the headless host and records the frames it presents.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "console/console_screen.h"
#include "console/headless/headless_host.h"
#include "console/headless/input_script.h"
#include "demo/frame_loop.h"
#include "render/cell_frames.h"
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
    std::FILE* cells = nullptr;  // null: frames are not written
    CellBuffer lastFrame{};
    std::uint8_t bytes[cellFrameBytes];
};

void recordFrame(const CellBuffer& screen, void* context) {
    auto& recorder = *static_cast<Recorder*>(context);
    recorder.lastFrame = screen;
    if (recorder.cells == nullptr) return;
    encodeCellFrame(screen, recorder.bytes);
    std::fwrite(recorder.bytes, 1, sizeof recorder.bytes, recorder.cells);
}

// Reads and parses the script; returns an empty string or what is wrong.
std::string loadInput(const std::string& path, std::vector<ScriptedInput>& inputs) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return "cannot read input file '" + path + "': " + std::strerror(errno);
    std::string text;
    char chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
    const int readError = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (readError != 0) return "cannot read input file '" + path + "': " + std::strerror(readError);
    const std::string error = parseInputScript(text, inputs);
    if (!error.empty()) return "input file '" + path + "', " + error;
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

    std::vector<ScriptedInput> inputs;
    if (!options.inputPath.empty()) {
        if (const std::string error = loadInput(options.inputPath, inputs); !error.empty()) {
            return fail(usageError, error);
        }
    }

    OutputFile cellsFile;
    OutputFile pngFile;
    if (!options.cellsPath.empty()) {
        if (const std::string error = cellsFile.create(options.cellsPath); !error.empty()) {
            return fail(usageError, error);
        }
    }
    if (!options.pngPath.empty()) {
        if (const std::string error = pngFile.create(options.pngPath); !error.empty()) {
            return fail(usageError, error);
        }
    }

    auto recorder = std::make_unique<Recorder>();
    recorder->cells = cellsFile.stream();
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

    if (!options.pngPath.empty()) {
        std::vector<std::uint8_t> rgb(cellImageBytes);
        drawCellImage(recorder->lastFrame, rgb.data());
        if (const std::string error = writeRgbPng(pngFile.stream(), rgb.data(), cellImageWidth, cellImageHeight);
            !error.empty()) {
            return fail(outputError, "cannot write '" + options.pngPath + "': " + error);
        }
        if (const std::string error = pngFile.commit(); !error.empty()) return fail(outputError, error);
    }
    if (!options.cellsPath.empty()) {
        if (const std::string error = cellsFile.commit(); !error.empty()) return fail(outputError, error);
    }
    return 0;
}
