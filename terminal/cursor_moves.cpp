#include "terminal/cursor_moves.h"

#include <algorithm>
#include <string>

namespace vantrel {

void CursorMoves::resize(int columns, int rows) {
    columns = std::clamp(columns, 1, 9999);
    rows = std::clamp(rows, 1, 9999);
    // Distances and positions counted from 1 reach the larger side.
    decimals.resize(static_cast<std::size_t>(std::max(columns, rows)) + 1);
    for (std::size_t n = 0; n < decimals.size(); ++n) {
        Decimal& d = decimals[n];
        d = {};
        const std::string text = std::to_string(n);
        text.copy(d.text, sizeof d.text);
        d.size = static_cast<std::uint8_t>(text.size());
    }
    const auto part = [](const std::string& text) {
        Part p{};
        text.copy(p.text, sizeof p.text);
        p.size = static_cast<std::uint8_t>(text.size());
        return p;
    };
    rowParts.resize(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r)
        rowParts[static_cast<std::size_t>(r)] = part(r == 0 ? "\x1b[" : "\x1b[" + std::to_string(r + 1));
    columnParts.resize(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c)
        columnParts[static_cast<std::size_t>(c)] = part(c == 0 ? "H" : ";" + std::to_string(c + 1) + "H");
}

}  // namespace vantrel
