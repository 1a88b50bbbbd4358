#include "console/posix/input_state.h"

namespace vantrel {

void InputState::press(int slot) {
    keys[slot].down = true;
    keys[slot].pressedSinceQuery = true;
}

void InputState::mouseReport(const MouseReport& report) {
    mouseSeen = true;
    column = report.column;
    row = report.row;
    // Buttons 0-2 are left, middle and right; wheel and extra buttons carry
    // only the position.
    const bool plainButton = report.button >= 0 && report.button <= 2;
    switch (report.kind) {
        case MouseReport::Kind::press:
            if (plainButton) press(report.button);
            break;
        case MouseReport::Kind::release:
            if (plainButton) {
                keys[report.button].down = false;
            } else if (report.button == 3) {  // a release that does not say which: all of them
                keys[left].down = keys[middle].down = keys[right].down = false;
            }
            break;
        case MouseReport::Kind::motion:
            // Motion tells which button is held; with none held, any button
            // still marked down lost its release (let go outside the window).
            if (plainButton) {
                keys[report.button].down = true;
            } else if (report.button == 3) {
                keys[left].down = keys[middle].down = keys[right].down = false;
            }
            break;
    }
}

void InputState::escapeKey() {
    keys[escapeSlot].pressedSinceQuery = true;
}

std::uint16_t InputState::queryKey(int virtualKey) {
    int slot;
    switch (virtualKey) {
        case keyLeftButton: slot = left; break;
        case keyRightButton: slot = right; break;
        case keyMiddleButton: slot = middle; break;
        case keyEscape: slot = escapeSlot; break;
        default: return 0;
    }
    Key& k = keys[slot];
    const auto result = static_cast<std::uint16_t>((k.down ? 0x8000u : 0u) | (k.pressedSinceQuery ? 1u : 0u));
    k.pressedSinceQuery = false;
    return result;
}

}  // namespace vantrel
