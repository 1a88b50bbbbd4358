#include "vantrel/terminal_events.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "vantrel/terminal_session.h"

namespace vantrel {

namespace {

std::uint64_t monotonicMs() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::uint64_t>(t.tv_sec) * 1000u + static_cast<std::uint64_t>(t.tv_nsec) / 1000000u;
}

}  // namespace

void TerminalEvents::Queue::push(const Event& e) {
    if (count == capacity) return;  // cannot happen, see readTerminal
    items[(head + count) % capacity] = e;
    ++count;
}

void TerminalEvents::Queue::mouseReport(const MouseReport& report) {
    Event e;
    e.kind = Event::Kind::mouse;
    e.mouse = report;
    push(e);
}

void TerminalEvents::Queue::escapeKey() { key(KeyPress{Key::escape, 0, 0}); }

void TerminalEvents::Queue::plainKey(unsigned char byte) { key(plainKeyPress(byte)); }

void TerminalEvents::Queue::key(const KeyPress& press) {
    Event e;
    e.kind = Event::Kind::key;
    e.key = press;
    push(e);
}

bool TerminalEvents::pop(Event& event) {
    if (queue.count == 0) return false;
    event = queue.items[queue.head];
    queue.head = (queue.head + 1) % Queue::capacity;
    --queue.count;
    return true;
}

// Feeds what the terminal has sent to the parser; true when it read any.
// The queue is empty here, and a byte gives at most one event, besides the
// Escape key whose time may run out first: the queue never overflows.
bool TerminalEvents::readTerminal(std::uint32_t nowMs) {
    unsigned char bytes[Queue::capacity - 1];
    const std::size_t n = terminalSession::read(bytes, sizeof bytes);
    parser.feed(bytes, n, nowMs, queue);
    return n > 0;
}

bool TerminalEvents::wait(Event& event, int timeoutMs) {
    const std::uint64_t start = monotonicMs();
    for (;;) {
        const auto now = static_cast<std::uint32_t>(monotonicMs());
        parser.tick(now, queue);
        if (pop(event)) return true;
        if (terminalSession::lost()) {
            event = Event{};
            event.kind = Event::Kind::lost;
            return true;
        }
        // The flags the handlers set are read with SIGWINCH and SIGCONT held
        // off, and ppoll lets them in only while it waits, so that a resize
        // between the look and the wait still ends the wait.
        sigset_t held;
        sigset_t previous;
        sigemptyset(&held);
        sigaddset(&held, SIGWINCH);
        sigaddset(&held, SIGCONT);
        ::sigprocmask(SIG_BLOCK, &held, &previous);
        const bool resumed = terminalSession::takeResumed();
        const bool resized = resumed || terminalSession::takeResized();
        if (resized || resumed) {
            ::sigprocmask(SIG_SETMASK, &previous, nullptr);
            event = Event{};
            event.kind = resumed ? Event::Kind::resumed : Event::Kind::resize;
            terminalSession::size(event.columns, event.rows);
            return true;
        }
        std::int64_t wait = -1;
        if (timeoutMs >= 0) {
            wait = std::max<std::int64_t>(0, static_cast<std::int64_t>(start + static_cast<std::uint64_t>(timeoutMs)) -
                                                 static_cast<std::int64_t>(monotonicMs()));
        }
        if (parser.escapePending()) {
            wait = wait < 0 ? InputParser::escapeTimeoutMs : std::min<std::int64_t>(wait, InputParser::escapeTimeoutMs);
        }
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {watched, POLLIN, 0}};
        const nfds_t count = watched >= 0 ? 2 : 1;
        const timespec timeout{static_cast<time_t>(wait / 1000), static_cast<long>(wait % 1000 * 1000000)};
        const int ready = ::ppoll(fds, count, wait < 0 ? nullptr : &timeout, &previous);
        ::sigprocmask(SIG_SETMASK, &previous, nullptr);
        if (ready < 0 && errno != EINTR) {
            event = Event{};
            event.kind = Event::Kind::lost;
            return true;
        }
        if (ready > 0 && fds[0].revents != 0) {
            if (!readTerminal(static_cast<std::uint32_t>(monotonicMs())) && !terminalSession::lost() &&
                !terminalSession::active()) {
                // Without a session nothing is read: do not spin on it.
                const timespec pause{0, 10000000};
                ::nanosleep(&pause, nullptr);
            }
            continue;
        }
        if (ready > 0 && count == 2 && fds[1].revents != 0) {
            if (pop(event)) return true;
            event = Event{};
            event.kind = Event::Kind::readable;
            return true;
        }
        if (timeoutMs >= 0 && monotonicMs() >= start + static_cast<std::uint64_t>(timeoutMs)) {
            parser.tick(static_cast<std::uint32_t>(monotonicMs()), queue);
            return pop(event);
        }
    }
}

}  // namespace vantrel
