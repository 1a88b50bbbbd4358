// What vantrel-view learns from the terminal it shows pictures on, asked in
// one exchange (vantrel/terminal_exchange.h) at most once a process and
// shared: the sixteen colours (picturePalette), the background under
// transparent pixels and the cell shape pictures are fitted to.
#pragma once

#include "vantrel/terminal_exchange.h"
#include "tools/view/view_options.h"

namespace vantrel {

// The answers of the controlling terminal (askControllingTerminal), asked
// on the first call and kept for every later one. Answers nothing, without
// asking, when standard output is not a terminal: output to a file or a
// pipe never waits on a terminal.
const TerminalAnswers& outputTerminalAnswers();

// Fills what the options leave to the terminal from its answers: the cell
// aspect (without --cell-aspect) from the cell's pixel size, when one is
// told and gives an aspect from 0.25 to 8, else it stays as it is (2); the
// background (without --background) from the OSC 11 answer, else black.
void takeFromTerminal(const TerminalAnswers& answers, ViewOptions& options);

// takeFromTerminal with the output terminal's answers, when pictures are
// shown on it (not written by --png) and the options leave anything to it.
void takeFromOutputTerminal(ViewOptions& options);

}  // namespace vantrel
