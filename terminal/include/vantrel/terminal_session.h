// The terminal's modes for the length of the program's run: raw input
// without echo (the signal keys still work), and as the program asks the
// alternate screen, mouse reporting, the cursor hidden and autowrap off;
// and the terminal as it was on every way out: leave(), normal exit (an
// atexit handler), and, where the session handles signals, every signal
// whose default action ends the process (Ctrl-C, SIGTERM, SIGHUP, SIGPIPE,
// a crash, ...) and a suspend (SIGTSTP restores, SIGCONT enters again). A
// program in a background job touches nothing on the terminal: enter() and
// a resume wait, stopped, until the job is in the foreground.
//
// The session is process-wide, not an object: a process has one controlling
// terminal, and giving it back on a signal needs signal handlers, which
// belong to the whole process. So:
// - It works on standard input and output (file descriptors 0 and 1) only.
// - With SessionOptions::handleSignals, enter() installs handlers for
//   SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2,
//   SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ, SIGSEGV, SIGABRT, SIGBUS, SIGFPE
//   and SIGILL, except those the program ignores. Such a signal restores
//   the terminal, ends the session, and is then passed on to the handler
//   the program had installed before enter(); where it had none, it ends
//   the process as it would have (the parent sees the real cause). A
//   program's own SIGINT handler so keeps working.
// - With SessionOptions::handleSuspend (and SIGTSTP not ignored), Ctrl-Z
//   restores the terminal and stops, and SIGCONT takes it again; the
//   program's own SIGTSTP and SIGCONT handlers are not called meanwhile.
// - SIGWINCH is always handled (for takeResized) and passed on to the
//   program's handler, if any.
// - leave() puts every handler it replaced back.
// - The terminal calls of the stop, continue and restore paths hold
//   SIGTTOU off: under a wrapper (`sh -c`, a script) the shell may take the
//   terminal back before the program has given it back, and the program
//   must not stop in the middle of a handler.
// - The functions are meant for one thread (the one that draws); other
//   threads may run, but should not call them.
#pragma once

#include <cstddef>
#include <string_view>

namespace vantrel {

struct SessionOptions {
    // Any-motion mouse reporting in the SGR form (xterm modes 1003 and 1006).
    bool mouse = false;
    // The alternate screen: the main screen's contents come back on leave.
    bool alternateScreen = true;
    // Restore on the ending signals and crashes (see above).
    bool handleSignals = true;
    // Give the terminal back across Ctrl-Z and take it again on `fg`.
    bool handleSuspend = true;
};

namespace terminalSession {

// Takes over the terminal on standard input and output. In a background
// job it first stops itself (SIGTTOU, as the terminal would stop it) until
// the shell brings it to the foreground, or where it cannot be stopped
// looks again every tenth of a second. False (and nothing changed) when
// either is not a terminal. The options of a session already entered stay.
bool enter(const SessionOptions& options = SessionOptions{});
// Puts the terminal back as it was; does nothing when not entered.
void leave();
bool active();

// Modes the program sets while the session runs; kept across a suspend.
void setCursorVisible(bool visible);
void setAutowrap(bool on);
// The window title, by OSC; the title from before is put back on leave where
// the terminal keeps a title stack. Control characters are dropped.
void setTitle(std::string_view utf8Title);

// The size in cells; 80x50 when the terminal does not say.
void size(int& columns, int& rows);

// Set by SIGWINCH / SIGCONT, cleared by reading.
bool takeResized();
bool takeResumed();

// Writes all of `bytes` to the terminal, retrying partial writes. Gives up
// the rest when the program was suspended meanwhile, since the screen is
// then repainted in full anyway. False when the terminal could not take
// them: it is gone (EIO after a hangup, EPIPE) or another error; lost()
// then tells whether it is gone.
bool write(std::string_view bytes);
// Reads what the terminal has sent without waiting; 0 when nothing, or
// when the terminal is gone (lost()).
std::size_t read(unsigned char* buffer, std::size_t capacity);
// The terminal has hung up or refused a write for good: nothing more can
// be shown or read. The program should leave() and end.
bool lost();

}  // namespace terminalSession

}  // namespace vantrel
