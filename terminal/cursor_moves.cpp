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
    // Built by appending: GCC 12 at -O3 takes `";" + std::to_string(n)` for an
    // overlapping copy (a false -Wrestrict).
    const auto joined = [](const char* before, int n, const char* after) {
        std::string text(before);
        if (n > 1) text.append(std::to_string(n));
        return text.append(after);
    };
    rowParts.resize(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) rowParts[static_cast<std::size_t>(r)] = part(joined("\x1b[", r + 1, ""));
    columnParts.resize(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c)
        columnParts[static_cast<std::size_t>(c)] = part(joined(c == 0 ? "" : ";", c + 1, "H"));
}

}  // namespace vantrel
