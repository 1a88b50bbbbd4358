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

}  // namespace

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
            if (b == '[') {
                startCsi();
            } else if (b == 'O') {
                state = State::ss3;
            } else if (b == escape) {
                // ESC ESC is Alt+Escape, or Alt with a key that sends a sequence.
                state = State::metaEscape;
                escapeTime = nowMs;
            } else if (state == State::escape && (b == ']' || b == 'P' || b == '_' || b == '^' || b == 'X')) {
                state = State::controlString;
            } else {
                state = State::ground;  // Alt+key, or the end of a control string
            }
            return;
        case State::ss3:
            if (b == escape) {
                startEscape(nowMs);
            } else if (b < 0x30 || b > 0x3F) {
                state = State::ground;  // the final byte, or something that cannot be part of it
            }
            return;
        case State::controlString:
            // Terminal replies (OSC, DCS, APC, ...) end with BEL or ESC \.
            if (b == 0x07 || b == cancel || b == substitute) {
                state = State::ground;
            } else if (b == escape) {
                startEscape(nowMs);
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
    }
}

}  // namespace vantrel
