// libFuzzer target for the terminal input parser. The input is cut into
// reads: each read starts with one byte giving the milliseconds since the
// previous read (so lone-ESC timeouts happen) and one byte giving its length.
// Checks that nothing reads out of bounds and every report and key is sane.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>

#include "vantrel/input_parser.h"
#include "console/posix/input_state.h"

using namespace vantrel;

namespace {

struct CheckingState : InputState {
    void mouseReport(const MouseReport& r) override {
        if (r.column < 0 || r.row < 0) std::abort();
        const bool knownKind = r.kind == MouseReport::Kind::press || r.kind == MouseReport::Kind::release ||
                               r.kind == MouseReport::Kind::motion;
        if (!knownKind || r.button < 0 || r.button > 255) std::abort();
        InputState::mouseReport(r);
    }
    void key(const KeyPress& k) override {
        if (k.key > vantrel::Key::f12 || k.modifiers > 15) std::abort();
        const bool character = k.key == vantrel::Key::character;
        if (character != (k.character >= 32 && k.character <= 126)) std::abort();
        // Keys from sequences and Alt with a key carry a modifier or are named.
        if (character && (k.modifiers & (keyModifier::alt | keyModifier::control)) == 0) std::abort();
    }
    void plainKey(unsigned char b) override {
        if (b >= 0x80 || b == 0x1B) std::abort();
        const KeyPress k = plainKeyPress(b);
        if (k.key == vantrel::Key::character && (k.character < 32 || k.character > 126)) std::abort();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputParser parser;
    CheckingState state;
    std::uint32_t now = 0xFFFFFF00u;  // crosses the clock's wrap on the way
    std::size_t i = 0;
    while (i + 2 <= size) {
        now += data[i];
        std::size_t length = data[i + 1];
        i += 2;
        if (length > size - i) length = size - i;
        parser.feed(data + i, length, now, state);
        i += length;
        for (int key : {InputState::keyLeftButton, InputState::keyRightButton, InputState::keyMiddleButton,
                        InputState::keyEscape}) {
            const std::uint16_t bits = state.queryKey(key);
            if ((bits & ~0x8001u) != 0) std::abort();
            if (key == InputState::keyEscape && (bits & 0x8000u) != 0) std::abort();
        }
    }
    parser.tick(now + 1000, state);
    if (parser.escapePending()) std::abort();
    return 0;
}
