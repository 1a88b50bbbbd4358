// The sixteen colours of a VGA text console, for everything that shows cells
// as a console would (pictures of frames, truecolor terminals).
#pragma once

#include <array>
#include <cstdint>

namespace vantrel {

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

// Console colours 0..15 with the VGA levels 0x00, 0x55, 0xAA and 0xFF.
extern const std::array<Rgb, 16> vgaColours;

}  // namespace vantrel
