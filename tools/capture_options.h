// The command line of lines-capture.
#pragma once

#include <cstdint>
#include <string>

struct CaptureOptions {
    std::uint32_t startTick = 1000;  // first GetTickCount value
    std::uint64_t frames = 1;        // frames presented before Escape reads pressed
    std::string inputPath;           // scripted cursor and buttons; empty: none
    std::string cellsPath;           // every presented frame, raw; empty: not written
    std::string pngPath;             // the last presented frame as a picture; empty: not written
    bool help = false;
};

// Reads argv[1..argc-1]: options take their value as the next argument or
// after '='. Returns an empty string on success, else one line saying what is
// wrong.
std::string parseCaptureOptions(int argc, const char* const* argv, CaptureOptions& options);

// The --help text.
extern const char* const captureUsage;
