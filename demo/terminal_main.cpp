// The Lines demo on a POSIX terminal: reads the command line and checks that
// there is a terminal to fly in, then opens the console and flies until
// Escape, as main.cpp does on Windows.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/console_screen.h"
#include "demo/frame_loop.h"

using namespace vantrel;

namespace {

const char* programName(int argc, char** argv) {
    if (argc < 1 || argv[0] == nullptr) return "lines";
    const char* slash = std::strrchr(argv[0], '/');
    return slash != nullptr ? slash + 1 : argv[0];
}

void printHelp(const char* name) {
    std::printf(
        "Usage: %s [--help]\n"
        "Lines: fly through a field of wireframe objects and stars, drawn in the terminal.\n"
        "\n"
        "Controls:\n"
        "  mouse position     roll (left and right of centre) and pitch (above and below)\n"
        "  left button        speed up\n"
        "  right button       slow down\n"
        "  middle button      stop\n"
        "  Escape             quit (Ctrl-C works too)\n"
        "\n"
        "The frame is 80x50 cells. A terminal of fewer than 50 rows shows it in half\n"
        "blocks, two cells to a character, 25 rows (with fewer rows, its top part);\n"
        "one narrower than 80 columns shows its middle columns. The terminal needs\n"
        "UTF-8 and mouse reporting, and a TERM other than 'dumb'. With\n"
        "COLORTERM=truecolor the colours are those of a VGA console; on a 256-colour\n"
        "terminal (TERM such as xterm-256color) the nearest of its palette; otherwise\n"
        "the terminal's own sixteen.\n",
        name);
}

}  // namespace

int main(int argc, char** argv) {
    const char* name = programName(argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            printHelp(name);
            return 0;
        }
    }
    if (argc > 1) {
        std::fprintf(stderr, "%s: unknown argument '%s' (try '%s --help')\n", name, argv[1], name);
        return 2;
    }
    if (::isatty(STDIN_FILENO) == 0 || ::isatty(STDOUT_FILENO) == 0) {
        std::fprintf(stderr, "%s: needs an interactive terminal (standard input and output must be a terminal)\n",
                     name);
        return 1;
    }
    const char* term = std::getenv("TERM");
    if (term == nullptr || term[0] == '\0' || std::strcmp(term, "dumb") == 0) {
        std::fprintf(stderr,
                     "%s: needs a terminal with colours, cursor movement and mouse reporting, but TERM is %s "
                     "(set TERM to your terminal's type, such as xterm-256color)\n",
                     name, term == nullptr || term[0] == '\0' ? "not set" : "'dumb'");
        return 1;
    }
    initConsole();
    runDemo();
    return 0;
}
