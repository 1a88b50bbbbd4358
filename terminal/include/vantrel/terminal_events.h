// Waiting for input from the terminal session as events: keys (with the
// arrows, function keys and modifiers the input parser decodes), mouse
// reports, resizes and resumes, with a timeout; optionally also for another
// file descriptor to become readable (a video's pipe, a socket), so that a
// program can wait for everything in one place.
//
//     vantrel::TerminalEvents events;
//     vantrel::Event e;
//     while (events.wait(e, 100)) {
//         if (e.kind == vantrel::Event::Kind::key && e.key.character == 'q') ...
//     }
//
// It reads through terminalSession (POSIX only), which must have been
// entered for keys and the mouse to arrive; one object per program.
#pragma once

#include <cstddef>

#include "vantrel/input_parser.h"

namespace vantrel {

struct Event {
    enum class Kind {
        key,       // `key` holds it (a lone ESC: Key::escape, after 30 ms)
        mouse,     // `mouse` holds it (with SessionOptions::mouse)
        resize,    // the terminal's size changed: `columns` x `rows`
        resumed,   // back after Ctrl-Z: the screen needs drawing in full
        readable,  // the descriptor given to watch() has something to read
        lost,      // the terminal is gone (hung up): end the program
    };
    Kind kind = Kind::key;
    KeyPress key;
    MouseReport mouse;
    int columns = 0;
    int rows = 0;
};

class TerminalEvents {
public:
    // Waits up to `timeoutMs` milliseconds (negative: as long as it takes; 0:
    // only what is there now) for the next event. False when the time ran
    // out without one. Once the terminal is lost, every call gives
    // Kind::lost at once.
    bool wait(Event& event, int timeoutMs);
    // Also reports Kind::readable when `fd` is readable (or at its end or
    // error); -1 stops watching. A readable descriptor is reported on every
    // wait until the program reads it.
    void watch(int fd) { watched = fd; }

private:
    struct Queue : InputSink {
        static constexpr std::size_t capacity = 256;  // at most one event a byte read, and one more
        Event items[capacity];
        std::size_t head = 0;
        std::size_t count = 0;
        void push(const Event& e);
        void mouseReport(const MouseReport& report) override;
        void escapeKey() override;
        void plainKey(unsigned char key) override;
        void key(const KeyPress& key) override;
    };

    bool pop(Event& event);
    bool readTerminal(std::uint32_t nowMs);

    InputParser parser;
    Queue queue;
    int watched = -1;
};

}  // namespace vantrel
