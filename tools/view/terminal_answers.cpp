#include "tools/view/terminal_answers.h"

#include <unistd.h>

#include <optional>

namespace vantrel {

const TerminalAnswers& outputTerminalAnswers() {
    static const TerminalAnswers answers =
        ::isatty(STDOUT_FILENO) == 1 ? askControllingTerminal() : TerminalAnswers{};
    return answers;
}

void takeFromTerminal(const TerminalAnswers& answers, ViewOptions& options) {
    if (!options.cellAspectGiven) {
        if (const std::optional<PixelSize> cell = cellPixelSize(answers); cell && cell->width > 0 && cell->height > 0) {
            const double aspect = static_cast<double>(cell->height) / cell->width;
            if (aspect >= 0.25 && aspect <= 8) options.cellAspect = aspect;
        }
    }
    if (!options.background) options.background = answers.background.value_or(Rgb{0, 0, 0});
}

void takeFromOutputTerminal(ViewOptions& options) {
    if (!options.pngPath.empty() || (options.cellAspectGiven && options.background)) return;
    takeFromTerminal(outputTerminalAnswers(), options);
}

}  // namespace vantrel
