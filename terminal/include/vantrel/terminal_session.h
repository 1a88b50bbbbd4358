// The terminal's modes for the length of the program's run: raw input
// without echo (the signal keys still work), the alternate screen, mouse
// reporting, the cursor hidden and autowrap off as the program asks; and the
// terminal as it was on every way out: normal exit, every signal whose
// default action ends the process (Ctrl-C, SIGTERM, SIGHUP, SIGPIPE, a
// crash, ...), and across a suspend (SIGTSTP restores, SIGCONT enters again).
// A program in a background job touches nothing on the terminal: enter()
// and a resume wait, stopped, until the job is in the foreground.
//
// The session is process-wide, not an object: a process has one controlling
// terminal, and giving it back on a signal needs signal handlers, which
// belong to the whole process. So:
// - It works on standard input and output (file descriptors 0 and 1) only.
// - enter() installs handlers for SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE,
//   SIGALRM, SIGUSR1, SIGUSR2, SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ, SIGSEGV,
//   SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGTSTP, SIGCONT and SIGWINCH in place of
//   the program's own (they are neither called nor put back), and registers an
//   atexit handler that calls leave(). After leave() the handlers stay, and
//   act as the defaults would. A program with its own handlers for these
//   signals cannot use the session as well.
// - The functions are meant for one thread (the one that draws); other
//   threads may run, but should not call them.
#pragma once

#include <string_view>

namespace vantrel {

namespace terminalSession {

// Takes over the terminal on standard input and output. In a background
// job it first stops itself (SIGTTOU, as the terminal would stop it) until
// the shell brings it to the foreground, or where it cannot be stopped
// looks again every tenth of a second. False (and nothing changed) when
// either is not a terminal.
bool enter();
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
// then repainted in full anyway.
void write(std::string_view bytes);
// Reads what the terminal has sent without waiting; 0 when nothing.
std::size_t read(unsigned char* buffer, std::size_t capacity);

}  // namespace terminalSession

}  // namespace vantrel
