// The terminal's modes for the length of the program's run: raw input
// without echo (the signal keys still work), the alternate screen, mouse
// reporting, the cursor hidden and autowrap off as the program asks; and the
// terminal as it was on every way out: normal exit, Ctrl-C, SIGTERM, SIGHUP,
// SIGQUIT, a crash, and across a suspend (SIGTSTP restores, SIGCONT enters again).
#pragma once

#include <string_view>

namespace vantrel {

namespace terminalSession {

// Takes over the terminal on standard input and output. False (and nothing
// changed) when either is not a terminal.
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
