#include "console/posix/terminal_host.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "vantrel/cp437_unicode.h"
#include "vantrel/terminal_session.h"

namespace vantrel {

std::uint32_t monotonicMilliseconds() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    const auto ms = static_cast<std::uint64_t>(t.tv_sec) * 1000u + static_cast<std::uint64_t>(t.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

TerminalHost& TerminalHost::instance() {
    static TerminalHost host;
    return host;
}

TerminalHost::TerminalHost() {
    terminalSession::size(columns, rows);
    presenter = std::make_unique<FramePresenter>(colourModeFromEnvironment(), columns, rows);
}

void TerminalHost::activate() {
    SessionOptions options;
    options.mouse = true;  // the demo steers with the mouse
    if (!terminalSession::enter(options)) {
        // Without the terminal's modes nothing could be shown or read, and
        // Escape would never arrive: better to stop at once.
        std::fprintf(stderr, "lines: cannot set up the terminal: %s\n", std::strerror(errno));
        std::exit(1);
    }
    terminalSession::size(columns, rows);
    presenter->resize(columns, rows);
}

bool TerminalHost::setScreenSize(int newColumns, int newRows) {
    if (newColumns < 1 || newRows < 1 || newColumns > cellColumns || newRows > cellRows) return false;
    bufferColumns = newColumns;
    bufferRows = newRows;
    return true;
}

void TerminalHost::setAutowrap(bool on) { terminalSession::setAutowrap(on); }

void TerminalHost::setCursorVisible(bool visible) { terminalSession::setCursorVisible(visible); }

void TerminalHost::setTitle(const char* newTitle) {
    std::strncpy(title, newTitle, sizeof title - 1);
    title[sizeof title - 1] = '\0';
    char utf8[sizeof title * cp437Utf8MaxBytes];
    std::size_t n = 0;
    for (const char* p = title; *p != '\0'; ++p) appendCp437Utf8(static_cast<std::uint8_t>(*p), utf8, sizeof utf8, n);
    terminalSession::setTitle(std::string_view(utf8, n));
}

bool TerminalHost::titleIs(const char* candidate) const {
    return title[0] != '\0' && std::strncmp(title, candidate, sizeof title - 1) == 0;
}

// The terminal went away (hung up, or refuses writes): give back what can be
// given back, say so where stderr still goes, and end.
[[noreturn]] void TerminalHost::terminalGone(int error) {
    terminalSession::leave();
    if (error != 0) {
        std::fprintf(stderr, "lines: cannot write to the terminal: %s\n", std::strerror(error));
    } else {
        std::fprintf(stderr, "lines: the terminal is gone\n");
    }
    std::exit(1);
}

void TerminalHost::takeEvents() {
    Event e;
    while (events.wait(e, 0)) {
        switch (e.kind) {
            case Event::Kind::key:
                // The demo reads the Escape key alone (Alt+Escape is not it).
                if (e.key.key == Key::escape && e.key.modifiers == 0) input.escapeKey();
                break;
            case Event::Kind::mouse:
                input.mouseReport(e.mouse);
                break;
            case Event::Kind::resize:
            case Event::Kind::resumed:
                // After a resume the size may have changed while the program
                // was stopped, and the screen is drawn again in full.
                columns = e.columns;
                rows = e.rows;
                presenter->resize(columns, rows);
                break;
            case Event::Kind::lost:
                terminalGone(0);
            case Event::Kind::readable:
                break;
        }
    }
}

void TerminalHost::present() {
    if (!terminalSession::active()) return;
    takeEvents();
    if (!terminalSession::write(presenter->present(screen.data()))) {
        const int error = errno;
        terminalGone(terminalSession::lost() ? 0 : error);
    }
}

void TerminalHost::pollInput() {
    // The program asks about several keys and the mouse in a row: the
    // terminal is read once a millisecond at most.
    const std::uint32_t now = monotonicMilliseconds();
    if (polled && now == lastPoll) return;
    polled = true;
    lastPoll = now;
    if (terminalSession::active()) takeEvents();
}

std::uint16_t TerminalHost::keyState(int virtualKey) {
    pollInput();
    return input.queryKey(virtualKey);
}

void TerminalHost::cursorPosition(int& column, int& row) {
    pollInput();
    if (!input.hasMouse()) {
        column = columns / 2;
        row = rows / 2;
        return;
    }
    // A report from before the terminal shrank stays inside it.
    column = std::min(input.mouseColumn(), columns - 1);
    row = std::min(input.mouseRow(), rows - 1);
}

void TerminalHost::terminalSize(int& outColumns, int& outRows) {
    pollInput();
    outColumns = columns;
    outRows = rows;
}

}  // namespace vantrel
