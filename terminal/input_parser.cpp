#include "vantrel/input_parser.h"

#include <algorithm>

namespace vantrel {

namespace {

constexpr unsigned char escape = 0x1B;
constexpr unsigned char cancel = 0x18;      // CAN: abandons a sequence
constexpr unsigned char substitute = 0x1A;  // SUB: likewise

bool timedOut(std::uint32_t since, std::uint32_t now) {
    return static_cast<std::uint32_t>(now - since) >= InputParser::escapeTimeoutMs;
}

MouseReport decodeButtons(std::uint32_t code, int column, int row) {
    MouseReport r;
    r.button = static_cast<int>((code & 3u) | (code & 0xC0u));
    r.kind = (code & 32u) != 0 ? MouseReport::Kind::motion : MouseReport::Kind::press;
    r.column = std::max(column, 0);
    r.row = std::max(row, 0);
    return r;
}

// "ESC [ n ~": the keys of the editing pad and F1-F12 by number.
Key tildeKey(std::uint32_t n, bool& known) {
    known = true;
    switch (n) {
        case 1: case 7: return Key::home;
        case 2: return Key::insert;
        case 3: return Key::deleteKey;
        case 4: case 8: return Key::end;
        case 5: return Key::pageUp;
        case 6: return Key::pageDown;
        case 11: return Key::f1;
        case 12: return Key::f2;
        case 13: return Key::f3;
        case 14: return Key::f4;
        case 15: return Key::f5;
        case 17: return Key::f6;
        case 18: return Key::f7;
        case 19: return Key::f8;
        case 20: return Key::f9;
        case 21: return Key::f10;
        case 23: return Key::f11;
        case 24: return Key::f12;
        default: known = false; return Key::character;
    }
}

// The final byte of "ESC [ A" or "ESC O A" and the like.
bool letterKey(unsigned char final, Key& key) {
    switch (final) {
        case 'A': key = Key::up; return true;
        case 'B': key = Key::down; return true;
        case 'C': key = Key::right; return true;
        case 'D': key = Key::left; return true;
        case 'H': key = Key::home; return true;
        case 'F': key = Key::end; return true;
        case 'P': key = Key::f1; return true;
        case 'Q': key = Key::f2; return true;
        case 'R': key = Key::f3; return true;
        case 'S': key = Key::f4; return true;
        default: return false;
    }
}

}  // namespace

KeyPress plainKeyPress(unsigned char byte) {
    KeyPress k;
    switch (byte) {
        case '\r': k.key = Key::enter; return k;
        case '\t': k.key = Key::tab; return k;
        case 0x7F:
        case 0x08: k.key = Key::backspace; return k;
        case escape: k.key = Key::escape; return k;
        default: break;
    }
    if (byte < 0x20) {
        k.character = static_cast<unsigned char>(byte >= 1 && byte <= 26 ? byte + 0x60 : byte + 0x40);
        k.modifiers = keyModifier::control;
    } else {
        k.character = static_cast<unsigned char>(byte & 0x7F);
    }
    return k;
}

void InputParser::feed(const unsigned char* bytes, std::size_t count, std::uint32_t nowMs, InputSink& sink) {
    tick(nowMs, sink);
    for (std::size_t i = 0; i < count; ++i) byte(bytes[i], nowMs, sink);
}

void InputParser::tick(std::uint32_t nowMs, InputSink& sink) {
    if (!timedOut(escapeTime, nowMs)) return;
    switch (state) {
        case State::escape:
            state = State::ground;
            sink.escapeKey();
            break;
        case State::metaEscape:  // Alt+Escape: not the Escape key
            state = State::ground;
            sink.key(KeyPress{Key::escape, 0, keyModifier::alt});
            break;
        case State::x10Mouse:    // an X10 report that never completed
            state = State::ground;
            break;
        default:
            break;
    }
}

void InputParser::startEscape(std::uint32_t nowMs) {
    state = State::escape;
    escapeTime = nowMs;
    altPrefix = false;
    stringEscape = false;
}

void InputParser::sendKey(KeyPress press, unsigned modifierParameter, InputSink& sink) {
    if (modifierParameter > 1) press.modifiers |= (modifierParameter - 1) & 15u;
    if (altPrefix) press.modifiers |= keyModifier::alt;
    altPrefix = false;
    sink.key(press);
}

void InputParser::startCsi() {
    state = State::csi;
    marker = 0;
    parameterCount = 0;
    parameterStarted = false;
    malformed = false;
    sequenceLength = 0;
}

void InputParser::byte(unsigned char b, std::uint32_t nowMs, InputSink& sink) {
    switch (state) {
        case State::ground:
            // Ctrl-C and the other signal keys never get here, the terminal
            // driver turns them into signals.
            if (b == escape) {
                startEscape(nowMs);
            } else if (b < 0x80) {
                sink.plainKey(b);
            }
            return;
        case State::escape:
        case State::metaEscape:
            altPrefix = state == State::metaEscape;
            if (b == '[') {
                startCsi();
            } else if (b == 'O') {
                state = State::ss3;
                ss3Modifier = 0;
            } else if (b == escape) {
                // ESC ESC is Alt+Escape, or Alt with a key that sends a sequence.
                state = State::metaEscape;
                escapeTime = nowMs;
            } else if (state == State::escape && (b == ']' || b == 'P' || b == '_' || b == '^' || b == 'X')) {
                state = State::controlString;
            } else {
                const bool endsString = stringEscape && b == '\\';
                state = State::ground;
                if (b < 0x80 && !endsString) {
                    // Alt with a key: ESC and the key's byte.
                    KeyPress press = plainKeyPress(b);
                    press.modifiers |= keyModifier::alt;
                    altPrefix = false;
                    sink.key(press);
                }
            }
            return;
        case State::ss3:
            if (b == escape) {
                startEscape(nowMs);
            } else if (b >= '0' && b <= '9') {
                ss3Modifier = b - '0';
            } else if (b < 0x30 || b > 0x3F) {
                state = State::ground;  // the final byte, or something that cannot be part of it
                finishSs3(b, sink);
            }
            return;
        case State::controlString:
            // Terminal replies (OSC, DCS, APC, ...) end with BEL or ESC \.
            if (b == 0x07 || b == cancel || b == substitute) {
                state = State::ground;
            } else if (b == escape) {
                startEscape(nowMs);
                stringEscape = true;
            }
            return;
        case State::csi:
            csiByte(b, nowMs, sink);
            return;
        case State::x10Mouse:
            x10[x10Count++] = b;
            if (x10Count == 3) {
                state = State::ground;
                MouseReport r = decodeButtons(static_cast<std::uint32_t>(std::max(x10[0] - 32, 0)), x10[1] - 33,
                                              x10[2] - 33);
                if (r.kind == MouseReport::Kind::press && r.button == 3) r.kind = MouseReport::Kind::release;
                sink.mouseReport(r);
            }
            return;
    }
}

void InputParser::csiByte(unsigned char b, std::uint32_t nowMs, InputSink& sink) {
    if (++sequenceLength > maxSequenceLength) malformed = true;
    if (b >= '0' && b <= '9') {
        if (!parameterStarted) {
            if (parameterCount == maxParameters) {
                malformed = true;
                return;
            }
            parameters[parameterCount] = 0;
            parameterStarted = true;
        }
        std::uint32_t& p = parameters[parameterCount];
        p = std::min(p * 10 + static_cast<std::uint32_t>(b - '0'), maxParameterValue);
    } else if (b == ';') {
        if (!parameterStarted) {
            if (parameterCount == maxParameters) {
                malformed = true;
                return;
            }
            parameters[parameterCount] = 0;  // an empty parameter
        }
        ++parameterCount;
        parameterStarted = false;
    } else if (b >= '<' && b <= '?') {
        if (sequenceLength == 1) {
            marker = b;
        } else {
            malformed = true;
        }
    } else if (b == ':' || (b >= 0x20 && b <= 0x2F)) {
        malformed = true;  // sub-parameters and intermediates: nothing the program reads
    } else if (b >= 0x40 && b <= 0x7E) {
        state = State::ground;
        finishCsi(b, sink);
        if (state == State::x10Mouse) escapeTime = nowMs;
    } else if (b == escape) {
        startEscape(nowMs);  // a new sequence abandons this one
    } else if (b == cancel || b == substitute || b >= 0x80) {
        state = State::ground;
    }
    // Other control characters inside a sequence are skipped.
}

void InputParser::finishCsi(unsigned char final, InputSink& sink) {
    if (parameterStarted) {
        ++parameterCount;
        parameterStarted = false;
    }
    if (malformed) return;
    if (marker == '<' && (final == 'M' || final == 'm') && parameterCount == 3) {
        MouseReport r = decodeButtons(parameters[0], static_cast<int>(parameters[1]) - 1,
                                      static_cast<int>(parameters[2]) - 1);
        if (final == 'm') r.kind = MouseReport::Kind::release;
        sink.mouseReport(r);
    } else if (marker == 0 && final == 'M' && parameterCount == 0) {
        state = State::x10Mouse;  // "ESC [ M" and three raw bytes
        x10Count = 0;
        altPrefix = false;
    } else if (marker == 0) {
        // Keys: "ESC [ A", "ESC [ 1 ; 5 A" (Ctrl+Up), "ESC [ 5 ~", "ESC [ 15 ; 2 ~" (Shift+F5), "ESC [ Z".
        const unsigned modifier = parameterCount >= 2 ? parameters[1] : 0;
        Key key = Key::character;
        if (final == '~' && parameterCount >= 1 && parameterCount <= 2) {
            bool known = false;
            key = tildeKey(parameters[0], known);
            if (known) sendKey(KeyPress{key, 0, 0}, modifier, sink);
        } else if (final == 'Z' && parameterCount == 0) {
            sendKey(KeyPress{Key::tab, 0, keyModifier::shift}, 0, sink);
        } else if (letterKey(final, key) && parameterCount <= 2 && (parameterCount == 0 || parameters[0] <= 1)) {
            sendKey(KeyPress{key, 0, 0}, modifier, sink);
        }
    }
    altPrefix = false;
}

void InputParser::finishSs3(unsigned char final, InputSink& sink) {
    Key key = Key::character;
    if (letterKey(final, key)) {
        sendKey(KeyPress{key, 0, 0}, ss3Modifier, sink);
    } else if (final == 'M') {
        sendKey(KeyPress{Key::enter, 0, 0}, ss3Modifier, sink);  // the keypad's Enter
    }
    altPrefix = false;
}

}  // namespace vantrel
