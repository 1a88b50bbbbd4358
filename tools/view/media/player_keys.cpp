#include "tools/view/media/player_keys.h"

namespace vantrel {

namespace {

constexpr std::uint8_t esc = 0x1B;
constexpr int longestSequence = 64;

PlayerKey plainKey(std::uint8_t byte) {
    switch (byte) {
    case ' ': return PlayerKey::pause;
    case 'q':
    case 'Q':
    case 0x03: return PlayerKey::quit;  // Ctrl-C where the terminal does not make it a signal
    default: return PlayerKey::none;
    }
}

}  // namespace

PlayerKey PlayerKeys::feed(std::uint8_t byte, std::int64_t nowMs) {
    switch (state_) {
    case State::ground:
        if (byte == esc) {
            state_ = State::escape;
            escapeAt_ = nowMs;
            return PlayerKey::none;
        }
        return plainKey(byte);
    case State::escape:
        if (byte == '[' || byte == 'O') {
            state_ = State::sequence;
            length_ = 0;
            return PlayerKey::none;
        }
        if (byte == ']' || byte == 'P' || byte == '_' || byte == '^') {  // OSC, DCS, APC, PM: up to ST or BEL
            state_ = State::controlString;
            return PlayerKey::none;
        }
        if (byte == esc) {  // Escape pressed twice
            state_ = State::ground;
            return PlayerKey::quit;
        }
        state_ = State::ground;  // Alt with a key
        return PlayerKey::none;
    case State::sequence:
        if (byte >= 0x40 && byte <= 0x7E) {  // the final byte
            state_ = State::ground;
            switch (byte) {
            case 'A': return PlayerKey::up;
            case 'B': return PlayerKey::down;
            case 'C': return PlayerKey::right;
            case 'D': return PlayerKey::left;
            default: return PlayerKey::none;
            }
        }
        if (byte < 0x20 || ++length_ > longestSequence) state_ = byte == esc ? State::escape : State::ground;
        if (state_ == State::escape) escapeAt_ = nowMs;
        return PlayerKey::none;
    case State::controlString:
        if (byte == 0x07 || byte == '\\') state_ = State::ground;
        return PlayerKey::none;
    }
    return PlayerKey::none;
}

PlayerKey PlayerKeys::tick(std::int64_t nowMs) {
    if (state_ == State::escape && nowMs - escapeAt_ >= escapeTimeoutMs) {
        state_ = State::ground;
        return PlayerKey::quit;
    }
    return PlayerKey::none;
}

}  // namespace vantrel
