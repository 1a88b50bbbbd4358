#include "tools/view/terminal_palette.h"

#include <unistd.h>

#include "tools/view/terminal_answers.h"

namespace vantrel {

Palette picturePalette(const std::optional<Palette>& named, ColourMode mode) {
    if (named) return *named;
    if (mode == ColourMode::ansi16 && ::isatty(STDOUT_FILENO) == 1) {
        if (const std::optional<Palette> answered = answeredPalette(outputTerminalAnswers())) return *answered;
    }
    return vgaPalette();
}

}  // namespace vantrel
