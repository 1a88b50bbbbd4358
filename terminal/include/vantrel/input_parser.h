// Reads the bytes a terminal sends as input: SGR mouse reports (and the
// older X10 form), the Escape key, plain keys (one byte below 0x80, such as
// 'q' or Enter), the keys that send sequences (arrows, Home, End, Insert,
// Delete, Page Up and Down, F1-F12, Shift+Tab, with xterm's modifier
// parameter; Alt with a key), and everything else to be skipped whole:
// other sequences, bytes of UTF-8 characters, terminal replies. Fed byte
// runs with the time they arrived, it copes with sequences split across
// reads, several in one read, and malformed ones, without ever looking past
// what it was given.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel {

// Keys, as KeyPress names them: `character` for a key that sends one byte
// below 0x80 other than those named here (Ctrl with a letter included).
enum class Key : std::uint8_t {
    character, enter, tab, backspace, escape,
    up, down, right, left, home, end, insert, deleteKey, pageUp, pageDown,
    f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11, f12,
};

// Modifier bits of a KeyPress, as xterm reports them (its parameter less one).
namespace keyModifier {
inline constexpr unsigned shift = 1;
inline constexpr unsigned alt = 2;
inline constexpr unsigned control = 4;
inline constexpr unsigned meta = 8;
}  // namespace keyModifier

struct KeyPress {
    Key key = Key::character;
    // For Key::character: the character, 32-126 ('a' for Ctrl+A, with
    // keyModifier::control; '@', '[', '\\', ']', '^', '_' likewise for the
    // other control bytes); 0 for the other keys.
    unsigned char character = 0;
    unsigned modifiers = 0;
};

// The key for a byte below 0x80 as the terminal sends it without Alt:
// CR is Enter, TAB Tab, DEL and BS Backspace, ESC Escape, another control
// byte Ctrl with a character.
KeyPress plainKeyPress(unsigned char byte);

struct MouseReport {
    enum class Kind { press, release, motion };
    Kind kind = Kind::motion;
    // 0 left, 1 middle, 2 right, 3 none (motion without a button, or an X10
    // release); 64 and up: wheel and extra buttons.
    int button = 3;
    // 0-based terminal cell.
    int column = 0;
    int row = 0;
};

class InputSink {
public:
    virtual void mouseReport(const MouseReport& report) = 0;
    virtual void escapeKey() = 0;
    // A key that sends one byte below 0x80 other than ESC: a letter, digit or
    // sign, Enter (CR), Tab, Backspace (DEL), Ctrl with a letter. Ignored
    // unless overridden.
    virtual void plainKey(unsigned char /*key*/) {}
    // A key that sends a sequence (arrows, F1-F12, ...), or Alt with any
    // key (ESC and what the key sends). Ignored unless overridden.
    virtual void key(const KeyPress& /*key*/) {}

protected:
    ~InputSink() = default;
};

class InputParser {
public:
    // An ESC with nothing after it for this long is the Escape key.
    static constexpr std::uint32_t escapeTimeoutMs = 30;

    // Bytes that arrived at `nowMs` (a millisecond clock that may wrap).
    void feed(const unsigned char* bytes, std::size_t count, std::uint32_t nowMs, InputSink& sink);
    // Lets a waiting lone ESC become the Escape key once its time is up.
    void tick(std::uint32_t nowMs, InputSink& sink);
    // True while an ESC waits to see what follows it.
    bool escapePending() const { return state == State::escape; }

private:
    enum class State { ground, escape, metaEscape, csi, ss3, controlString, x10Mouse };

    void byte(unsigned char b, std::uint32_t nowMs, InputSink& sink);
    void startEscape(std::uint32_t nowMs);
    void startCsi();
    void csiByte(unsigned char b, std::uint32_t nowMs, InputSink& sink);
    void finishCsi(unsigned char final, InputSink& sink);
    void finishSs3(unsigned char final, InputSink& sink);
    // A decoded key, Alt added when an extra ESC came first.
    void sendKey(KeyPress press, unsigned modifierParameter, InputSink& sink);

    static constexpr int maxParameters = 8;
    static constexpr std::uint32_t maxParameterValue = 99999;
    static constexpr int maxSequenceLength = 64;

    State state = State::ground;
    std::uint32_t escapeTime = 0;
    bool altPrefix = false;       // ESC ESC: Alt with a key that sends a sequence
    bool stringEscape = false;    // this ESC may end a control string (ESC \)
    unsigned ss3Modifier = 0;     // "ESC O 5 A": the modifier parameter, older form
    // Control sequence being read.
    unsigned char marker = 0;  // '<', '=', '>' or '?' right after "ESC [", else 0
    std::uint32_t parameters[maxParameters] = {};
    int parameterCount = 0;
    bool parameterStarted = false;
    bool malformed = false;
    int sequenceLength = 0;
    // The three bytes of an X10 mouse report.
    unsigned char x10[3] = {};
    int x10Count = 0;
};

}  // namespace vantrel
