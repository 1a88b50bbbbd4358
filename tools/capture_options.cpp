#include "tools/capture_options.h"

#include <string_view>

#include "tools/quoted_bytes.h"
#include "tools/option_text.h"

const char* const captureUsage =
    "Usage: lines-capture [OPTION]...\n"
    "Run the Lines demo against a headless console with a scripted clock and\n"
    "mouse, and record the frames it presents.\n"
    "\n"
    "  --frames N        present N frames, then read Escape as pressed (default 1)\n"
    "  --start-tick T    first value of the millisecond clock (default 1000);\n"
    "                    each further reading is one more, wrapping after 2^32\n"
    "  --input FILE      cursor and buttons: lines 'FRAME X Y BUTTONS', FRAME\n"
    "                    counted from 1, X and Y in the clip rectangle\n"
    "                    (0, 0, 1000, 1000), BUTTONS any of L, R and M or '-';\n"
    "                    '#' starts a comment; at most 4096 bytes a line.\n"
    "                    Without it the cursor rests at (500, 500) with no\n"
    "                    button down\n"
    "  --cells FILE      write every presented frame as 4000 little-endian\n"
    "                    16-bit cells (8000 bytes a frame)\n"
    "  --png FILE        write the last presented frame as a 640x600 PNG\n"
    "  --help            show this text and exit\n"
    "\n"
    "'-' as the FILE of --cells or --png is standard output (not a terminal).\n"
    "An output that exists must be a regular file, or a symbolic link to one\n"
    "whose file is then replaced. An output appears only when complete, and may\n"
    "not be the input or the other output. An interrupted run removes its\n"
    "unfinished files.\n"
    "\n"
    "Exit status: 0 on success; 1 if an output could not be written (the run\n"
    "stops at once and leaves no partial file); 2 for a bad argument, input\n"
    "file or output name (nothing is written).\n";

std::string parseCaptureOptions(int argc, const char* const* argv, CaptureOptions& options) {
    bool seenStartTick = false, seenFrames = false, seenInput = false, seenCells = false, seenPng = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg.substr(0, 2) != "--") return "unexpected argument " + quotedName(arg) + " (see --help)";

        auto [name, value, hasValue] = splitOption(arg);
        bool* seen = name == "--start-tick" ? &seenStartTick
                     : name == "--frames"   ? &seenFrames
                     : name == "--input"    ? &seenInput
                     : name == "--cells"    ? &seenCells
                     : name == "--png"      ? &seenPng
                                            : nullptr;
        if (seen == nullptr) return "unknown option " + quotedInput(name) + " (see --help)";
        if (*seen) return std::string(name) + " is given more than once";
        *seen = true;
        if (!hasValue) {
            if (i + 1 >= argc) return std::string(name) + " needs a value";
            value = argv[++i];
        }

        if (name == "--start-tick") {
            if (!parseWhole(value, options.startTick)) {
                return "--start-tick needs a whole number from 0 to 4294967295, not " + quotedInput(value);
            }
        } else if (name == "--frames") {
            std::uint32_t frames = 0;
            if (!parseWhole(value, frames) || frames == 0) {
                return "--frames needs a whole number from 1 to 4294967295, not " + quotedInput(value);
            }
            options.frames = frames;
        } else {
            if (value.empty()) return std::string(name) + " needs a file name";
            std::string& path = name == "--input" ? options.inputPath
                                : name == "--cells" ? options.cellsPath
                                                    : options.pngPath;
            path = value;
        }
    }
    return {};
}
