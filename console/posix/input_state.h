// What the program asks about its input: the state of Escape and the three
// mouse buttons, in the manner of GetAsyncKeyState, and the mouse cell.
#pragma once

#include <cstdint>

#include "vantrel/input_parser.h"

namespace vantrel {

class InputState : public InputSink {
public:
    static constexpr int keyLeftButton = 0x01;
    static constexpr int keyRightButton = 0x02;
    static constexpr int keyMiddleButton = 0x04;
    static constexpr int keyEscape = 0x1B;

    void mouseReport(const MouseReport& report) override;
    void escapeKey() override;

    // Bit 15 while the key is down now, bit 0 when it was pressed since the
    // previous query of the same key; the query clears bit 0. A terminal sends
    // no release for Escape, so Escape is pressed and never down.
    std::uint16_t queryKey(int virtualKey);

    // The cell of the latest mouse report; none before the first one.
    bool hasMouse() const { return mouseSeen; }
    int mouseColumn() const { return column; }
    int mouseRow() const { return row; }

private:
    struct Key {
        bool down = false;
        bool pressedSinceQuery = false;
    };
    enum { left, middle, right, escapeSlot, keySlots };

    void press(int slot);

    Key keys[keySlots];
    bool mouseSeen = false;
    int column = 0;
    int row = 0;
};

}  // namespace vantrel
