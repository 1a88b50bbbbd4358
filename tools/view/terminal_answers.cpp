#include "tools/view/terminal_answers.h"

#include <unistd.h>

#include <optional>

#include "vantrel/picture_fit.h"

namespace vantrel {

const TerminalAnswers& outputTerminalAnswers() {
    static const TerminalAnswers answers =
        ::isatty(STDOUT_FILENO) == 1 ? askControllingTerminal() : TerminalAnswers{};
    return answers;
}

void takeFromTerminal(const TerminalAnswers& answers, ViewOptions& options) {
    if (!options.cellAspectGiven) {
        if (const std::optional<PixelSize> cell = cellPixelSize(answers)) {
            options.cellAspect = cellAspectOf(cell->width, cell->height, options.cellAspect);
        }
    }
    if (!options.background) options.background = answers.background.value_or(Rgb{0, 0, 0});
}

void takeFromOutputTerminal(ViewOptions& options) {
    if (!options.pngPath.empty() || (options.cellAspectGiven && options.background)) return;
    takeFromTerminal(outputTerminalAnswers(), options);
}

}  // namespace vantrel
