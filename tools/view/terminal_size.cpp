#include "tools/view/terminal_size.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "vantrel/terminal_colours.h"

namespace vantrel {

namespace {

int fromEnvironment(const char* name, int fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr) return fallback;
    int value = 0;
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, value);
    if (error != std::errc{} || stop != end || value < 1 || value > maxCellSide) return fallback;
    return value;
}

}  // namespace

Extent outputTerminalSize() {
    winsize w{};
    if (::isatty(STDOUT_FILENO) != 0 && ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &w) == 0 && w.ws_col > 0 && w.ws_row > 0) {
        return {std::min<int>(w.ws_col, maxCellSide), std::min<int>(w.ws_row, maxCellSide)};
    }
    return {fromEnvironment("COLUMNS", 80), fromEnvironment("LINES", 24)};
}

ColourMode resolveColours(ColourChoice choice) {
    switch (choice) {
        case ColourChoice::ansi16:
        case ColourChoice::ansi16Over8:
            return ColourMode::ansi16;
        case ColourChoice::ansi256:
            return ColourMode::ansi256;
        case ColourChoice::truecolor:
            return ColourMode::truecolor;
        case ColourChoice::automatic:
            break;
    }
    return ::isatty(STDOUT_FILENO) != 0 ? colourModeFromEnvironment() : ColourMode::ansi16;
}

bool eightBackgrounds(ColourChoice choice, ColourMode mode) {
    if (mode != ColourMode::ansi16) return false;
    if (choice == ColourChoice::ansi16Over8) return true;
    if (choice != ColourChoice::automatic || ::isatty(STDOUT_FILENO) == 0) return false;
    const char* term = std::getenv("TERM");
    return term != nullptr && std::strcmp(term, "linux") == 0;
}

}  // namespace vantrel
