// The Lines demo: open the console, fly until Escape.
#include "console/console_screen.h"
#include "demo/frame_loop.h"

using namespace vantrel;

int main() {
    initConsole();
    runDemo();
    return 0;
}
