// libFuzzer target for reading printed output back into cells: any bytes
// give either a reason or a full grid of 1..1000 cells either way, and each
// cell's character is printable (no control character, no escape).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tools/view/printed_cells.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PrintedCells cells;
    const std::string error =
        readPrintedCells(std::string_view(reinterpret_cast<const char*>(data), size), vgaPalette(), cells);
    if (!error.empty()) {
        if (cells.columns != 0 || !cells.cells.empty()) std::abort();
        return 0;
    }
    if (cells.columns < 1 || cells.rows < 1 || cells.columns > maxPrintedSide || cells.rows > maxPrintedSide) std::abort();
    if (cells.cells.size() != static_cast<std::size_t>(cells.columns) * static_cast<std::size_t>(cells.rows)) std::abort();
    for (const ColouredCell& cell : cells.cells) {
        if (cell.character < 0x20 || cell.character == 0x7F || cell.character > 0x10FFFF) std::abort();
    }
    return 0;
}
