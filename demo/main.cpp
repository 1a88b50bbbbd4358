// The Lines demo on Windows, where the platform is the host: open the
// console, fly until Escape. (terminal_main.cpp is the entry elsewhere.)
#include "console/console_screen.h"
#include "demo/frame_loop.h"

using namespace vantrel;

int main() {
    initConsole();
    runDemo();
    return 0;
}
