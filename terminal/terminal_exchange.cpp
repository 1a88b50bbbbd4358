// The exchange with a terminal on its file descriptors.
#include "vantrel/terminal_exchange.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace vantrel {

namespace {

// OSC 4 for each of the sixteen colours, then the rest; strings end with
// BEL, which more terminals take than ST.
constexpr std::string_view questions =
    "\x1b]4;0;?\a\x1b]4;1;?\a\x1b]4;2;?\a\x1b]4;3;?\a\x1b]4;4;?\a\x1b]4;5;?\a\x1b]4;6;?\a\x1b]4;7;?\a"
    "\x1b]4;8;?\a\x1b]4;9;?\a\x1b]4;10;?\a\x1b]4;11;?\a\x1b]4;12;?\a\x1b]4;13;?\a\x1b]4;14;?\a\x1b]4;15;?\a"
    "\x1b]11;?\a\x1b[14t\x1b[16t\x1b[c";
constexpr std::size_t colourQuestions = questions.find("\x1b]11;");

// Beyond this many bytes after the DA1 answer, what still comes is not an
// answer to us (a terminal streaming something else); stop reading.
constexpr std::size_t maxDrain = 1 << 16;

using Clock = std::chrono::steady_clock;

int millisecondsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<decltype(left)>(left, 0, 1 << 30));
}

bool writeAll(int fd, std::string_view bytes, Clock::time_point deadline) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const auto left = millisecondsUntil(deadline);
            if (left <= 0) return false;
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, left);
        } else if (n == 0 || errno != EINTR) {
            return false;
        }
    }
    return true;
}

// Reads what is there into the parser; false at the end of the input or on
// an error.
bool readInto(int fd, TerminalReplyParser& parser, std::size_t& total) {
    char buffer[256];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
        parser.feed({buffer, static_cast<std::size_t>(n)});
        total += static_cast<std::size_t>(n);
        return true;
    }
    return n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK);
}

bool readable(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, timeoutMs) > 0 && (p.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

}  // namespace

std::string_view terminalQuestions(bool colours) {
    return colours ? questions : questions.substr(colourQuestions);
}

TerminalAnswers exchangeWithTerminal(int in, int out, bool colours, int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    TerminalReplyParser parser;
    if (!writeAll(out, terminalQuestions(colours), deadline)) return {};
    std::size_t total = 0;
    while (!parser.finished()) {
        const int left = millisecondsUntil(deadline);
        if (left <= 0 || !readable(in, left) || !readInto(in, parser, total)) break;
    }
    // Everything asked before DA1 is answered before it, so what belongs to
    // us is here already: take it without waiting.
    for (std::size_t drained = total; drained < total + maxDrain && readable(in, 0);) {
        if (!readInto(in, parser, drained)) break;
    }
    return parser.answers();
}

TerminalAnswers askTerminal(int fd, bool colours, int timeoutMs) {
    termios saved{};
    if (::tcgetattr(fd, &saved) != 0) return {};
    // The ending and stopping keys still work, but act once the terminal is
    // back as it was.
    sigset_t held;
    sigset_t before;
    sigemptyset(&held);
    for (int s : {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGTSTP}) sigaddset(&held, s);
    ::pthread_sigmask(SIG_BLOCK, &held, &before);
    termios raw = saved;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | ECHONL | IEXTEN));
    raw.c_iflag &= static_cast<tcflag_t>(~(ICRNL | INLCR | IGNCR | IXON | ISTRIP));
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    TerminalAnswers answers;
    if (::tcsetattr(fd, TCSANOW, &raw) == 0) {
        answers = exchangeWithTerminal(fd, fd, colours, timeoutMs);
        // Without the DA1 answer, late answers may still be on their way:
        // what has come is dropped with the modes put back.
        while (::tcsetattr(fd, answers.deviceAttributes ? TCSANOW : TCSAFLUSH, &saved) != 0 && errno == EINTR) {
        }
    }
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) == 0) {
        answers.columns = size.ws_col;
        answers.rows = size.ws_row;
        answers.windowPixels = PixelSize{size.ws_xpixel, size.ws_ypixel};
    }
    return answers;
}

TerminalAnswers askControllingTerminal(int timeoutMs) {
    const char* term = std::getenv("TERM");
    if (term != nullptr && std::strcmp(term, "dumb") == 0) return {};
    const bool linuxConsole =
        term != nullptr && std::strncmp(term, "linux", 5) == 0 && (term[5] == 0 || term[5] == '-');
    const int fd = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return {};
    TerminalAnswers answers;
    // A background job leaves the terminal alone (changing its modes would
    // stop it, or change them under the foreground job).
    if (::tcgetpgrp(fd) == ::getpgrp()) answers = askTerminal(fd, !linuxConsole, timeoutMs);
    ::close(fd);
    return answers;
}

}  // namespace vantrel
