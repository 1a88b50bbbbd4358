// A program of someone else's with its own SIGINT handler, using the
// terminal session: enters it with the options given on the command line
// (mouse, no-alternate, no-signals), says "running", and waits for events
// until its handler has run, then says so on the restored terminal and
// ends with status 3. Escape ends it with status 0.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "vantrel/terminal_events.h"
#include "vantrel/terminal_session.h"

namespace {

volatile sig_atomic_t interrupted = 0;

void onInterrupt(int) { interrupted = 1; }

}  // namespace

int main(int argc, char** argv) {
    vantrel::SessionOptions options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "mouse") == 0) options.mouse = true;
        if (std::strcmp(argv[i], "no-alternate") == 0) options.alternateScreen = false;
        if (std::strcmp(argv[i], "no-signals") == 0) options.handleSignals = false;
    }
    struct sigaction a {};
    a.sa_handler = onInterrupt;
    sigemptyset(&a.sa_mask);
    sigaction(SIGINT, &a, nullptr);
    if (!vantrel::terminalSession::enter(options)) return 1;
    vantrel::terminalSession::write("running\r\n");
    vantrel::TerminalEvents events;
    vantrel::Event e;
    while (interrupted == 0) {
        if (!events.wait(e, 100)) continue;
        if (e.kind == vantrel::Event::Kind::key && e.key.key == vantrel::Key::escape) {
            vantrel::terminalSession::leave();
            return 0;
        }
    }
    // The handler ran: the session has already given the terminal back.
    std::printf("own handler ran, session %s\n", vantrel::terminalSession::active() ? "active" : "ended");
    std::fflush(stdout);
    vantrel::terminalSession::leave();
    return 3;
}
