// Console cells: what the renderers produce and the console shows.
#pragma once

#include <array>
#include <cstdint>

namespace vantrel {

// Code page 437 character in the low byte, console attribute in the high byte
// (foreground colour index in its low four bits, background in its high four).
using Cell = std::uint16_t;
static_assert(sizeof(Cell) == 2, "a Cell is one 16-bit word");

inline constexpr int cellColumns = 80;
inline constexpr int cellRows = 50;
inline constexpr int cellCount = cellColumns * cellRows;

// One 80x50 frame of cells, row-major, 80 cells per row.
using CellBuffer = std::array<Cell, cellCount>;

constexpr Cell makeCell(std::uint8_t character, std::uint8_t attribute) {
    return static_cast<Cell>(character | (attribute << 8));
}
constexpr std::uint8_t cellCharacter(Cell c) { return static_cast<std::uint8_t>(c & 0xFF); }
constexpr std::uint8_t cellAttribute(Cell c) { return static_cast<std::uint8_t>(c >> 8); }
// Console colour indexes 0..15 of the attribute's two halves.
constexpr int cellForeground(Cell c) { return (c >> 8) & 0x0F; }
constexpr int cellBackground(Cell c) { return c >> 12; }

// A pixel rectangle: left and top inclusive, right and bottom one past the end.
struct SourceRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

}  // namespace vantrel
