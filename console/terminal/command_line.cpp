// What `lines` does before the program proper starts: answer --help, refuse
// unknown arguments, and refuse to run without an interactive terminal.
// Runs as a constructor, which the C library calls with the command line,
// so the program's own entry stays the same on every platform.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

const char* programName(char** argv) {
    if (argv == nullptr || argv[0] == nullptr) return "lines";
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
        "The terminal needs 80x50 cells or more (a smaller one shows the middle of\n"
        "the picture), UTF-8 and mouse reporting. With COLORTERM=truecolor the\n"
        "colours are those of a VGA console; on a 256-colour terminal (TERM such as\n"
        "xterm-256color) the nearest of its palette; otherwise the terminal's own sixteen.\n",
        name);
}

__attribute__((constructor)) void checkCommandLine(int argc, char** argv, char**) {
    const char* name = programName(argv);
    for (int i = 1; i < argc && argv != nullptr; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            printHelp(name);
            std::exit(0);
        }
    }
    if (argc > 1 && argv != nullptr) {
        std::fprintf(stderr, "%s: unknown argument '%s' (try '%s --help')\n", name, argv[1], name);
        std::exit(2);
    }
    if (::isatty(STDIN_FILENO) == 0 || ::isatty(STDOUT_FILENO) == 0) {
        std::fprintf(stderr, "%s: needs an interactive terminal (standard input and output must be a terminal)\n",
                     name);
        std::exit(1);
    }
}

}  // namespace
