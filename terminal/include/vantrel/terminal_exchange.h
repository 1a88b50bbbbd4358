// Asking the terminal what it is like: its sixteen colours (OSC 4), its
// background (OSC 11), its cell and text area in pixels (CSI 16 t, CSI 14 t),
// and then its device attributes (DA1, CSI c), which every terminal answers,
// and answers after everything asked before. The answer to DA1 therefore
// ends the exchange: nothing is waited for past it, and a terminal that
// knows none of the other questions costs one round trip.
//
// Terminals answer what they know: tmux, for instance, answers DA1 only, so
// that there a program falls back to a palette of its own (VGA, or one the
// user names). The Linux console would print the OSC questions, so they are
// not asked where TERM names it.
//
//     const vantrel::TerminalAnswers answers = vantrel::askControllingTerminal();
//     const vantrel::Palette palette = vantrel::answeredPalette(answers).value_or(vantrel::vgaPalette());
//
// The parsing (TerminalReplyParser) is pure and takes any bytes; the
// exchange itself works on the file descriptors it is given.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "vantrel/palette.h"
#include "vantrel/vga_colours.h"

namespace vantrel {

struct PixelSize {
    int width = 0;
    int height = 0;

    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// What a terminal said, each part only when it said it.
struct TerminalAnswers {
    std::array<std::optional<Rgb>, 16> colours;  // ANSI order, as in Palette
    std::optional<Rgb> background;
    std::optional<PixelSize> cellPixels;      // CSI 16 t: one cell
    std::optional<PixelSize> textAreaPixels;  // CSI 14 t: the text area
    bool deviceAttributes = false;            // the DA1 answer came
    // The window size the terminal driver holds (TIOCGWINSZ): cells, and
    // pixels where the terminal sets them (zero otherwise).
    int columns = 0;
    int rows = 0;
    PixelSize windowPixels;
};

// The palette, when all sixteen colours were answered. A partial answer is
// not filled in from another palette: the picture would then assume two
// terminals' ideas of colour at once.
std::optional<Palette> answeredPalette(const TerminalAnswers& answers);

// The size of one cell in pixels: the driver's window pixels over its
// cells, else the answer to CSI 16 t, else the text area's pixels over the
// driver's cells; none when nothing says.
std::optional<PixelSize> cellPixelSize(const TerminalAnswers& answers);

// Reads a terminal's answers from any bytes, split anywhere, mixed with
// anything else (keys typed meanwhile, other replies, garbage). Colours come
// as "rgb:R/G/B" (or "rgba:R/G/B/A") with 1 to 4 hex digits a channel,
// each scaled to 0..255; strings end with BEL or ST. It holds at most a
// few dozen bytes of an unfinished sequence: longer ones are dropped.
class TerminalReplyParser {
public:
    void feed(std::string_view bytes);
    // The answers so far (the driver's size is not the parser's to know).
    const TerminalAnswers& answers() const { return answers_; }
    // The DA1 answer has come: everything asked before it has been answered.
    bool finished() const { return answers_.deviceAttributes; }

private:
    enum class State { ground, escape, csi, osc, oscEscape };
    void byte(unsigned char c);
    void endCsi(char final);
    void endOsc();

    static constexpr std::size_t maxParameters = 4;
    static constexpr std::size_t maxString = 48;

    TerminalAnswers answers_;
    State state = State::ground;
    // CSI: its private marker ('?', '>', ... or 0), parameters and count.
    char marker = 0;
    bool intermediate = false;
    std::array<unsigned, maxParameters> parameters{};
    std::size_t parameterCount = 0;
    // OSC: its text so far, and whether it grew too long to keep.
    std::array<char, maxString> text{};
    std::size_t textSize = 0;
    bool textOverflow = false;
};

// The questions, in the order they are asked: OSC 4 for colours 0..15 (when
// `colours`), OSC 11, CSI 14 t, CSI 16 t, and DA1 last.
std::string_view terminalQuestions(bool colours);

// The exchange on file descriptors already set up (raw, no echo): writes the
// questions to `out`, reads the answers from `in` until the DA1 answer
// comes or `timeoutMs` has passed, then reads what else is already there,
// so that no answer is left behind. Does not fill the driver's size.
TerminalAnswers exchangeWithTerminal(int in, int out, bool colours, int timeoutMs);

// The exchange on the terminal `fd`: raw input without echo while it lasts,
// with SIGINT, SIGQUIT, SIGTERM, SIGHUP and SIGTSTP held back until the
// terminal is as it was (they then take effect). Answers nothing unless fd
// is a terminal. When DA1 goes unanswered, input still pending is discarded
// as the modes are put back. Fills the driver's size.
TerminalAnswers askTerminal(int fd, bool colours, int timeoutMs);

// askTerminal on the controlling terminal (/dev/tty), waiting up to a
// second; answers nothing when there is none, when this process is not in
// its foreground, or when TERM is "dumb". The colours are not asked where
// TERM is "linux" (or "linux-..."), whose console would print the questions.
TerminalAnswers askControllingTerminal(int timeoutMs = 1000);

}  // namespace vantrel
