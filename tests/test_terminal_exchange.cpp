// The terminal exchange: its parser on a whole stream of answers split at
// every place, and on answers it must not take; then the exchange against
// fake terminals on a pseudo-terminal pair, one that answers everything,
// one that answers partly, and ones that answer only DA1 or nothing: the
// answers, the time taken, the modes put back and no answer left unread.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "vantrel/terminal_exchange.h"

using namespace vantrel;

namespace {

// The answers as text, so that whole answers compare and print at once.
std::string describe(const TerminalAnswers& a) {
    std::string s;
    const auto rgb = [](const std::optional<Rgb>& c) {
        return c ? std::to_string(c->red) + "," + std::to_string(c->green) + "," + std::to_string(c->blue) : "-";
    };
    for (const auto& c : a.colours) s += rgb(c) + " ";
    s += "bg " + rgb(a.background);
    const auto size = [](const std::optional<PixelSize>& p) {
        return p ? std::to_string(p->width) + "x" + std::to_string(p->height) : "-";
    };
    s += " cell " + size(a.cellPixels) + " area " + size(a.textAreaPixels);
    return s + (a.deviceAttributes ? " DA1" : "");
}

// xterm's answers in every form a terminal may give, among typed keys and
// other replies: 1 to 4 digits a channel, either case, BEL or ST, rgba.
const std::string everything =
    "k\x1b]4;0;rgb:0000/0000/0000\a\x1b]4;1;rgb:cdcd/0000/0000\x1b\\\x1b]4;2;rgb:0/c/0\a"
    "\x1b]4;3;rgb:cd/cd/00\a\x1b[A\x1b]4;4;rgb:000/000/eee\a\x1b]4;5;rgb:CDCD/0/CDCD\a\x1b]4;6;rgba:0/cd/cd/ff\a"
    "\x1b]4;7;rgb:e5e5/e5e5/e5e5\a\x1b]4;8;rgb:7f7f/7f7f/7f7f\a\x1b]4;9;rgb:ffff/0000/0000\a"
    "\x1b]4;10;rgb:0000/ffff/0000\a\x1b]4;11;rgb:ffff/ffff/0000\a\x1b]4;12;rgb:5c5c/5c5c/ffff\a"
    "\x1b]4;13;rgb:ffff/0/ffff;14;rgb:0/ffff/ffff\a\x1b]4;15;rgb:ffff/ffff/ffff\a"
    "\x1b]11;rgb:8080/2020/0\x1b\\\x1b[4;480;640t\x1b[6;20;10t\x1b[>1;2c\x1b[?64;1;2;6;22c";
const char* const everythingAnswered =
    "0,0,0 205,0,0 0,204,0 205,205,0 0,0,238 205,0,205 0,205,205 229,229,229 127,127,127 255,0,0 0,255,0 "
    "255,255,0 92,92,255 255,0,255 0,255,255 255,255,255 bg 128,32,0 cell 10x20 area 640x480 DA1";

TEST(TerminalReplies, EveryFormSplitAnywhere) {
    TerminalReplyParser whole;
    whole.feed(everything);
    EXPECT_EQ(describe(whole.answers()), everythingAnswered);
    for (std::size_t cut = 0; cut <= everything.size(); ++cut) {
        TerminalReplyParser split;
        split.feed(std::string_view(everything).substr(0, cut));
        EXPECT_EQ(split.finished(), cut == everything.size());
        split.feed(std::string_view(everything).substr(cut));
        ASSERT_EQ(describe(split.answers()), everythingAnswered) << "cut at " << cut;
    }
    const std::optional<Palette> palette = answeredPalette(whole.answers());
    ASSERT_TRUE(palette.has_value());
    EXPECT_EQ(palette->colours[12].blue, 255);

    // Nothing to take: bad channels, a colour past 15, a string cut by
    // another sequence, cancelled or longer than any answer, sizes of zero,
    // DA2 and an intermediate byte in place of DA1.
    TerminalReplyParser bad;
    bad.feed("\x1b]4;1;rgb:12345/0/0\a\x1b]4;2;rgb:0/0\a\x1b]4;3;rgb:0/0/0/0\a\x1b]4;4;rgb:g/0/0\a"
             "\x1b]4;16;rgb:1/1/1\a\x1b]4;5;rgb:1/1/1\x1b[B\a\x1b]4;6;rgb:1/1\x18/1\a"
             "\x1b]4;1;rgb:1/1/1;2;rgb:1/1/1;3;rgb:1/1/1;4;rgb:1/1/1\a"
             "\x1b]11;#ffffff\a\x1b]4;x;rgb:1/1/1\a"
             "\x1b[6;0;9t\x1b[6;9;9;9t\x1b[>0c\x1b[?1 c");
    EXPECT_EQ(describe(bad.answers()), describe(TerminalAnswers{}));
    EXPECT_FALSE(answeredPalette(bad.answers()).has_value());
}

TEST(TerminalReplies, CellSizeFromTheBestSource) {
    TerminalAnswers a;
    a.columns = 80;
    a.rows = 24;
    EXPECT_FALSE(cellPixelSize(a).has_value());
    a.textAreaPixels = PixelSize{640, 480};
    EXPECT_EQ(cellPixelSize(a), (PixelSize{8, 20}));
    a.cellPixels = PixelSize{6, 13};
    EXPECT_EQ(cellPixelSize(a), (PixelSize{6, 13}));
    a.windowPixels = PixelSize{720, 360};
    EXPECT_EQ(cellPixelSize(a), (PixelSize{9, 15}));
}

// A pseudo-terminal whose other side a thread plays: it reads the
// questions up to DA1's, then sends its answers in the pieces given, a few
// milliseconds apart.
class FakeTerminal {
public:
    explicit FakeTerminal(std::vector<std::string> pieces) {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        EXPECT_GE(master, 0);
        EXPECT_EQ(::grantpt(master), 0);
        EXPECT_EQ(::unlockpt(master), 0);
        terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
        EXPECT_GE(terminal, 0);
        const winsize size{24, 80, 800, 480};
        ::ioctl(master, TIOCSWINSZ, &size);
        ::tcgetattr(terminal, &modes);
        player = std::thread([this, pieces = std::move(pieces)] {
            char buffer[512];
            while (questions.find("\x1b[c") == std::string::npos) {
                const ssize_t n = ::read(master, buffer, sizeof buffer);
                if (n <= 0) return;
                questions.append(buffer, static_cast<std::size_t>(n));
            }
            for (const std::string& piece : pieces) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                if (::write(master, piece.data(), piece.size()) != static_cast<ssize_t>(piece.size())) return;
            }
        });
    }
    ~FakeTerminal() {
        if (player.joinable()) player.join();
        ::close(terminal);
        ::close(master);
    }

    // The exchange, timed; then checks that the modes are as before and
    // that no answer is left to read.
    TerminalAnswers ask(int timeoutMs, double& seconds) {
        const auto start = std::chrono::steady_clock::now();
        const TerminalAnswers answers = askTerminal(terminal, true, timeoutMs);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        player.join();
        termios now{};
        ::tcgetattr(terminal, &now);
        EXPECT_EQ(now.c_lflag, modes.c_lflag);
        EXPECT_EQ(now.c_iflag, modes.c_iflag);
        EXPECT_EQ(questions, terminalQuestions(true));
        termios raw = now;
        raw.c_lflag &= static_cast<tcflag_t>(~ICANON);
        raw.c_cc[VMIN] = 0;
        raw.c_cc[VTIME] = 0;
        ::tcsetattr(terminal, TCSANOW, &raw);
        char left[64];
        EXPECT_LE(::read(terminal, left, sizeof left), 0) << "an answer was left unread";
        return answers;
    }

private:
    int master = -1;
    int terminal = -1;
    termios modes{};
    std::string questions;
    std::thread player;
};

TEST(TerminalExchange, AnswersEverything) {
    // In pieces cut inside sequences; the last has more after DA1's answer
    // than one read takes, all there already and so all taken.
    const std::size_t da1 = everything.find("\x1b[?64");
    std::string late;
    for (int i = 0; i < 30; ++i) late += "\x1b]4;3;rgb:1/2/3\a";
    FakeTerminal fake({everything.substr(0, 7), everything.substr(7, 300), everything.substr(307, da1 - 307 + 3),
                       everything.substr(da1 + 3) + late});
    double seconds = 0;
    const TerminalAnswers answers = fake.ask(1000, seconds);
    EXPECT_EQ(describe(answers), std::string(everythingAnswered).replace(22, 9, "17,34,51"));
    EXPECT_EQ(answers.windowPixels, (PixelSize{800, 480}));
    EXPECT_EQ(cellPixelSize(answers), (PixelSize{10, 20}));
    EXPECT_LT(seconds, 0.5);
}

TEST(TerminalExchange, AnswersPartly) {
    FakeTerminal fake({"\x1b]4;0;rgb:0/0/0\a\x1b]4;7;rgb:c/c/c\a\x1b]11;rgb:ff/ff/ff\a", "\x1b[?1;2c"});
    double seconds = 0;
    const TerminalAnswers answers = fake.ask(1000, seconds);
    EXPECT_EQ(describe(answers), "0,0,0 - - - - - - 204,204,204 - - - - - - - - bg 255,255,255 cell - area - DA1");
    EXPECT_FALSE(answeredPalette(answers).has_value());
    EXPECT_LT(seconds, 0.5);
}

TEST(TerminalExchange, OnlyDeviceAttributesOrNothing) {
    double seconds = 0;
    {
        // As tmux: no wait past the DA1 answer.
        FakeTerminal fake({"\x1b[?1;2;4c"});
        TerminalAnswers onlyDa1;
        onlyDa1.deviceAttributes = true;
        EXPECT_EQ(describe(fake.ask(1000, seconds)), describe(onlyDa1));
        EXPECT_LT(seconds, 0.5);
    }
    {
        // Silent: the whole time given, then the terminal as it was.
        FakeTerminal fake({});
        EXPECT_EQ(describe(fake.ask(300, seconds)), describe(TerminalAnswers{}));
        EXPECT_GE(seconds, 0.3);
        EXPECT_LT(seconds, 1.0);
    }
    EXPECT_EQ(describe(askTerminal(-1, true, 1000)), describe(TerminalAnswers{}));
}

}  // namespace
