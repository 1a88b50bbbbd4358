// Code page 437 as Unicode, for hosts that print cells as text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vantrel {

// The Unicode code point of each code: the graphic forms for the control
// codes 1..31 and 127 (☺ ☻ ♥ ... ⌂), the box-drawing and block characters
// for 176..223; the codes 0 and 255, blank glyphs, print as a space.
extern const std::array<char32_t, 256> cp437Unicode;

// Every code point in cp437Unicode lies below U+10000: three UTF-8 bytes at most.
inline constexpr std::size_t cp437Utf8MaxBytes = 3;

// Writes the UTF-8 form of `code` at buffer[length] and advances `length`.
// When fewer than the bytes needed are free below `capacity`, writes nothing
// and returns false. Allocates nothing.
bool appendCp437Utf8(std::uint8_t code, char* buffer, std::size_t capacity, std::size_t& length);

}  // namespace vantrel
