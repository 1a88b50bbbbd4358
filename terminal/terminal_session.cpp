#include "vantrel/terminal_session.h"

#include "terminal/title_sequence.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace vantrel {

namespace {

constexpr int inputFd = STDIN_FILENO;
constexpr int outputFd = STDOUT_FILENO;

constexpr char pushTitle[] = "\x1b[22;0t";
constexpr char popTitle[] = "\x1b[23;0t";
constexpr char alternateOn[] = "\x1b[?1049h";
constexpr char alternateOff[] = "\x1b[?1049l";
// Any-motion mouse tracking in SGR form, and off again.
constexpr char mouseOn[] = "\x1b[?1003h\x1b[?1006h";
constexpr char mouseOff[] = "\x1b[?1006l\x1b[?1003l";
// End any synchronized update and colours; autowrap on and cursor shown.
constexpr char resetModes[] = "\x1b[?2026l\x1b[0m\x1b[?7h\x1b[?25h";

constexpr int fatalSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL};
// Every other signal whose default action ends the process.
constexpr int endingSignals[] = {SIGINT,  SIGTERM,   SIGHUP,  SIGQUIT, SIGPIPE, SIGALRM,
                                 SIGUSR1, SIGUSR2, SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ};
constexpr int signalSlots = 65;

termios savedModes;
termios rawModes;
// The sequences that take the terminal and give it back, as the options
// ask; built by enter(), written by the handlers.
char enterSequence[64];
std::size_t enterLength = 0;
char leaveSequence[96];
std::size_t leaveLength = 0;
// The program's own handlers, put back by leave() and called on the way.
struct sigaction previousActions[signalSlots];
volatile std::sig_atomic_t replaced[signalSlots] = {};
// Read by the signal handlers: plain flags and fixed buffers only.
volatile std::sig_atomic_t entered = 0;
// The terminal is in the program's modes (not while suspended).
volatile std::sig_atomic_t taken = 0;
volatile std::sig_atomic_t cursorVisible = 1;
volatile std::sig_atomic_t autowrapOn = 1;
volatile std::sig_atomic_t resizedFlag = 0;
volatile std::sig_atomic_t resumedFlag = 0;
volatile std::sig_atomic_t resumeCount = 0;
volatile std::sig_atomic_t lostFlag = 0;
char titleSequence[600];
volatile std::sig_atomic_t titleLength = 0;
bool exitHookRegistered = false;

void append(char* buffer, std::size_t capacity, std::size_t& length, const char* text) {
    const std::size_t n = std::strlen(text);
    if (length + n > capacity) return;
    std::memcpy(buffer + length, text, n);
    length += n;
}

void buildSequences(const SessionOptions& options) {
    enterLength = 0;
    append(enterSequence, sizeof enterSequence, enterLength, pushTitle);
    if (options.alternateScreen) append(enterSequence, sizeof enterSequence, enterLength, alternateOn);
    if (options.mouse) append(enterSequence, sizeof enterSequence, enterLength, mouseOn);
    leaveLength = 0;
    append(leaveSequence, sizeof leaveSequence, leaveLength, resetModes);
    if (options.mouse) append(leaveSequence, sizeof leaveSequence, leaveLength, mouseOff);
    // The main screen back, with its contents and cursor; the title popped.
    if (options.alternateScreen) append(leaveSequence, sizeof leaveSequence, leaveLength, alternateOff);
    append(leaveSequence, sizeof leaveSequence, leaveLength, popTitle);
}

// write(2) until done; async-signal-safe.
void writeFully(const char* bytes, std::size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(outputFd, bytes, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN) {
                pollfd p{outputFd, POLLOUT, 0};
                ::poll(&p, 1, 100);
                continue;
            }
            return;  // the terminal is gone
        }
        bytes += w;
        n -= static_cast<std::size_t>(w);
    }
}

template <std::size_t N>
void writeLiteral(const char (&s)[N]) {
    writeFully(s, N - 1);
}

// SIGTTOU (and SIGTTIN, for the reads that drain mouse reports) held off
// while the terminal is changed: a process that is not in the foreground
// (the shell took the terminal back from a wrapper that stopped first)
// would otherwise stop inside tcsetattr, in the middle of a handler, with
// the terminal half given back. Async-signal-safe.
class StopsHeld {
public:
    StopsHeld() {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGTTOU);
        sigaddset(&set, SIGTTIN);
        ::sigprocmask(SIG_BLOCK, &set, &previous);
    }
    ~StopsHeld() { ::sigprocmask(SIG_SETMASK, &previous, nullptr); }
    StopsHeld(const StopsHeld&) = delete;
    StopsHeld& operator=(const StopsHeld&) = delete;

private:
    sigset_t previous;
};

// The program's modes on the terminal; async-signal-safe.
void applyModes() {
    StopsHeld held;
    ::tcsetattr(inputFd, TCSANOW, &rawModes);
    taken = 1;
    writeFully(enterSequence, enterLength);
    if (autowrapOn == 0) writeLiteral("\x1b[?7l");
    if (cursorVisible == 0) writeLiteral("\x1b[?25l");
    if (titleLength > 0) writeFully(titleSequence, static_cast<std::size_t>(titleLength));
}

// The terminal as it was, in as few steps as possible; async-signal-safe.
// Mouse reports still queued would otherwise reach the shell as text.
void restoreModes() {
    StopsHeld held;
    taken = 0;
    writeFully(leaveSequence, leaveLength);
    ::tcsetattr(inputFd, TCSANOW, &savedModes);
    ::tcflush(inputFd, TCIFLUSH);
}

// Waits until this process's group is the terminal's foreground group:
// until then it must neither change nor write anything on the terminal. A
// background job stops itself, as the terminal stops one that writes to it,
// and the shell's `fg` continues it here; where nothing stops it (the stop
// signal is ignored or blocked, or the group is orphaned) it looks again
// every tenth of a second. A terminal that is not this process's
// controlling terminal has no job control to wait for. Async-signal-safe.
void waitForForeground() {
    for (;;) {
        const pid_t foreground = ::tcgetpgrp(inputFd);
        if (foreground < 0 || foreground == ::getpgrp()) return;
        ::kill(0, SIGTTOU);
        if (::tcgetpgrp(inputFd) != ::getpgrp()) {
            const timespec tenth{0, 100000000};
            ::nanosleep(&tenth, nullptr);
        }
    }
}

bool isIgnored(int sig) {
    struct sigaction current {};
    ::sigaction(sig, nullptr, &current);
    return (current.sa_flags & SA_SIGINFO) == 0 && current.sa_handler == SIG_IGN;
}

// Installs `handler` for `sig`, keeping the program's action to put back.
void takeSignal(int sig, void (*handler)(int, siginfo_t*, void*)) {
    struct sigaction a {};
    a.sa_sigaction = handler;
    sigemptyset(&a.sa_mask);
    // Handlers do not interrupt one another, except that SIGCONT must reach
    // its handler while the SIGTSTP handler is stopped.
    for (int s : endingSignals) sigaddset(&a.sa_mask, s);
    sigaddset(&a.sa_mask, SIGTSTP);
    sigaddset(&a.sa_mask, SIGWINCH);
    a.sa_flags = SA_RESTART | SA_SIGINFO;
    if (replaced[sig] != 0) {
        ::sigaction(sig, &a, nullptr);
    } else if (::sigaction(sig, &a, &previousActions[sig]) == 0) {
        replaced[sig] = 1;
    }
}

// Puts back every handler the session replaced; async-signal-safe.
void giveSignalsBack() {
    for (int sig = 1; sig < signalSlots; ++sig) {
        if (replaced[sig] == 0) continue;
        replaced[sig] = 0;
        ::sigaction(sig, &previousActions[sig], nullptr);
    }
}

void resetToDefault(int sig) {
    struct sigaction a {};
    a.sa_handler = SIG_DFL;
    sigemptyset(&a.sa_mask);
    ::sigaction(sig, &a, nullptr);
}

// Calls the program's own handler from before the session, if it had one;
// false when it had none (the default action). Async-signal-safe.
bool passOn(const struct sigaction& previous, int sig, siginfo_t* info, void* context) {
    if ((previous.sa_flags & SA_SIGINFO) != 0) {
        if (previous.sa_sigaction == nullptr) return false;
        previous.sa_sigaction(sig, info, context);
        return true;
    }
    if (previous.sa_handler == SIG_DFL || previous.sa_handler == SIG_IGN) return previous.sa_handler == SIG_IGN;
    previous.sa_handler(sig);
    return true;
}

// Ctrl-C, the other ending signals and crashes: restore, give the program
// its handlers back, then pass the signal on to the program's handler, or
// let it do what it would have done (end the process, dump core), so that
// the parent sees the real cause.
void onEndingSignal(int sig, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    if (entered != 0) {
        entered = 0;
        if (taken != 0) restoreModes();
    }
    const struct sigaction previous = previousActions[sig];
    const bool wasReplaced = replaced[sig] != 0;
    giveSignalsBack();
    if (!wasReplaced || !passOn(previous, sig, info, context)) {
        resetToDefault(sig);
        ::raise(sig);  // delivered as soon as the handler returns
    }
    errno = savedErrno;
}

void onContinue(int, siginfo_t*, void*);

void onStopSignal(int, siginfo_t*, void*) {
    const int savedErrno = errno;
    if (taken != 0) restoreModes();
    resetToDefault(SIGTSTP);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTSTP);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
    const std::sig_atomic_t before = resumeCount;
    ::raise(SIGTSTP);  // stops here; SIGCONT's handler takes the terminal again
    if (replaced[SIGTSTP] != 0) takeSignal(SIGTSTP, onStopSignal);
    // In an orphaned process group the stop is discarded and no SIGCONT
    // comes: take the terminal again here, or the program would go on
    // drawing on a restored terminal.
    if (resumeCount == before) onContinue(SIGCONT, nullptr, nullptr);
    errno = savedErrno;
}

// Continued after a suspend: the terminal is taken again, once the program
// is back in the foreground (`bg` continues it in the background, where it
// stops again until `fg`).
void onContinue(int, siginfo_t*, void*) {
    const int savedErrno = errno;
    if (entered != 0 && taken == 0) {
        // Waiting may take long: meanwhile the ending signals must still end
        // the program (`kill %1` on the stopped job, say).
        sigset_t ending;
        sigemptyset(&ending);
        for (int s : endingSignals) sigaddset(&ending, s);
        ::sigprocmask(SIG_UNBLOCK, &ending, nullptr);
        waitForForeground();
        applyModes();
        resumedFlag = 1;
        resumeCount = resumeCount + 1;
    }
    errno = savedErrno;
}

void onResize(int sig, siginfo_t* info, void* context) {
    resizedFlag = 1;
    if (replaced[SIGWINCH] != 0) {
        const int savedErrno = errno;
        passOn(previousActions[SIGWINCH], sig, info, context);
        errno = savedErrno;
    }
}

// Keeps the signal handlers out of a change of the shared state.
class SignalsBlocked {
public:
    SignalsBlocked() {
        sigset_t all;
        sigfillset(&all);
        ::sigprocmask(SIG_BLOCK, &all, &previous);
    }
    ~SignalsBlocked() { ::sigprocmask(SIG_SETMASK, &previous, nullptr); }
    SignalsBlocked(const SignalsBlocked&) = delete;
    SignalsBlocked& operator=(const SignalsBlocked&) = delete;

private:
    sigset_t previous;
};

void leaveAtExit() { terminalSession::leave(); }

}  // namespace

namespace terminalSession {

bool enter(const SessionOptions& options) {
    if (entered != 0) return true;
    if (::isatty(inputFd) == 0 || ::isatty(outputFd) == 0) return false;
    waitForForeground();
    if (::tcgetattr(inputFd, &savedModes) != 0) return false;

    // Raw input: no echo, no line editing, no flow control or CR/NL
    // translation, 8-bit bytes; ISIG stays so that Ctrl-C, Ctrl-Z and Ctrl-backslash
    // still send their signals. Reads return at once with what is there.
    rawModes = savedModes;
    rawModes.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
    rawModes.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | IEXTEN);
    rawModes.c_cflag = (rawModes.c_cflag & ~static_cast<tcflag_t>(CSIZE | PARENB)) | CS8;
    rawModes.c_cc[VMIN] = 0;
    rawModes.c_cc[VTIME] = 0;

    {
        SignalsBlocked blocked;
        buildSequences(options);
        lostFlag = 0;
        // Signals the program ignores stay ignored (a SIGHUP under nohup, a
        // SIGPIPE of a program that handles EPIPE itself).
        if (options.handleSignals) {
            for (int s : endingSignals) {
                if (!isIgnored(s)) takeSignal(s, onEndingSignal);
            }
            for (int s : fatalSignals) takeSignal(s, onEndingSignal);
        }
        if (options.handleSuspend && !isIgnored(SIGTSTP)) {
            takeSignal(SIGTSTP, onStopSignal);
            takeSignal(SIGCONT, onContinue);
        }
        takeSignal(SIGWINCH, onResize);
        if (!exitHookRegistered) {
            std::atexit(leaveAtExit);
            exitHookRegistered = true;
        }
        entered = 1;
        applyModes();
    }
    return true;
}

void leave() {
    SignalsBlocked blocked;
    if (entered == 0) return;
    entered = 0;
    if (taken != 0) {
        // Mouse off first, then drop the reports that were already on their
        // way, until the input has been quiet for a moment.
        if (lostFlag == 0) {
            StopsHeld held;
            writeLiteral(mouseOff);
            unsigned char discard[256];
            for (int rounds = 0; rounds < 10; ++rounds) {
                pollfd p{inputFd, POLLIN, 0};
                if (::poll(&p, 1, 20) <= 0 || (p.revents & POLLIN) == 0) break;
                if (::read(inputFd, discard, sizeof discard) <= 0) break;
            }
        }
        restoreModes();
    }
    giveSignalsBack();
}

bool active() { return entered != 0; }

namespace {

// Records a terminal mode the program wants (re-applied on resume) and, while
// the terminal is taken over, switches it at once.
template <std::size_t N>
void setMode(volatile std::sig_atomic_t& flag, bool on, const char (&onSequence)[N], const char (&offSequence)[N]) {
    if ((flag != 0) == on) return;  // the usual case: nothing to change, no signals to hold off
    SignalsBlocked blocked;
    if ((flag != 0) == on) return;
    flag = on ? 1 : 0;
    if (entered != 0) writeLiteral(on ? onSequence : offSequence);
}

}  // namespace

void setCursorVisible(bool visible) { setMode(cursorVisible, visible, "\x1b[?25h", "\x1b[?25l"); }

void setAutowrap(bool on) { setMode(autowrapOn, on, "\x1b[?7h", "\x1b[?7l"); }

void setTitle(std::string_view utf8Title) {
    SignalsBlocked blocked;
    const std::size_t n = writeTitleSequence(utf8Title, titleSequence, sizeof titleSequence);
    titleLength = static_cast<std::sig_atomic_t>(n);
    if (entered != 0) writeFully(titleSequence, n);
}

void size(int& columns, int& rows) {
    winsize w{};
    if (::ioctl(outputFd, TIOCGWINSZ, &w) == 0 && w.ws_col > 0 && w.ws_row > 0) {
        columns = w.ws_col;
        rows = w.ws_row;
    } else {
        columns = 80;
        rows = 50;
    }
}

bool takeResized() {
    if (resizedFlag == 0) return false;
    resizedFlag = 0;
    return true;
}

bool takeResumed() {
    if (resumedFlag == 0) return false;
    resumedFlag = 0;
    return true;
}

bool write(std::string_view bytes) {
    const std::sig_atomic_t generation = resumeCount;
    const char* p = bytes.data();
    std::size_t n = bytes.size();
    while (n > 0 && resumeCount == generation) {
        const ssize_t w = ::write(outputFd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN) {
                pollfd pf{outputFd, POLLOUT, 0};
                ::poll(&pf, 1, 100);
                continue;
            }
            if (errno == EIO || errno == EPIPE || errno == ENXIO || errno == EBADF) lostFlag = 1;
            return false;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

std::size_t read(unsigned char* buffer, std::size_t capacity) {
    if (entered == 0 || lostFlag != 0) return 0;
    // A terminal that hung up reads as the end of input, which raw reads
    // that return at once cannot tell from no input: poll tells.
    pollfd p{inputFd, POLLIN, 0};
    if (::poll(&p, 1, 0) <= 0) return 0;
    if ((p.revents & POLLIN) != 0) {
        const ssize_t r = ::read(inputFd, buffer, capacity);
        if (r > 0) return static_cast<std::size_t>(r);
        if (r < 0 && (errno == EINTR || errno == EAGAIN)) return 0;
        lostFlag = 1;  // the end of input, or EIO: the terminal is gone
        return 0;
    }
    if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) lostFlag = 1;
    return 0;
}

bool lost() { return lostFlag != 0; }

}  // namespace terminalSession

}  // namespace vantrel
