// The keys of the video player, read from the bytes a terminal sends: Space,
// the four arrows (CSI or SS3 form, with or without modifiers), q, Escape
// (an ESC with nothing after it for escapeTimeoutMs) and Ctrl-C (when the
// terminal sends it as a byte). Every other sequence is skipped whole.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel {

enum class PlayerKey { none, pause, left, right, up, down, quit };

class PlayerKeys {
public:
    static constexpr std::int64_t escapeTimeoutMs = 30;

    // Feeds one byte that arrived at nowMs; returns the key it completes.
    PlayerKey feed(std::uint8_t byte, std::int64_t nowMs);
    // A lone ESC whose time is up is the Escape key.
    PlayerKey tick(std::int64_t nowMs);
    bool escapePending() const { return state_ == State::escape; }

private:
    enum class State { ground, escape, sequence, controlString };
    State state_ = State::ground;
    std::int64_t escapeAt_ = 0;
    int length_ = 0;
};

}  // namespace vantrel
