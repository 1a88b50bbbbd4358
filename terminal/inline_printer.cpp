#include "vantrel/inline_printer.h"

#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <optional>

#include "terminal/byte_writer.h"
#include "terminal/glyph_table.h"
#include "vantrel/visible_cell.h"

namespace vantrel {

namespace {

constexpr std::string_view reset = "\x1b[0m";

bool validGrid(const Cell* cells, int columns, int rows, int pitch) {
    if (columns < 0 || rows < 0 || pitch < columns) return false;
    return cells != nullptr || columns == 0 || rows == 0;
}

// The grid as text, handed to `out` piece by piece (out.put(bytes, n)).
template <class Output>
void printGrid(Output& out, const Cell* cells, int columns, int rows, int pitch, ColourMode mode) {
    std::array<TerminalColour, 16> colours;
    for (int i = 0; i < 16; ++i) colours[static_cast<std::size_t>(i)] = consoleColour(mode, i);
    const GlyphTable& glyphs = cp437Glyphs();
    if (columns > 0 && rows > 0) out.put(reset.data(), reset.size());
    for (int r = 0; r < rows; ++r) {
        const Cell* row = cells + static_cast<std::ptrdiff_t>(r) * pitch;
        int foreground = -1;
        int background = -1;
        for (int c = 0; c < columns; ++c) {
            const Cell cell = visibleCell(row[c]);
            const int character = cellCharacter(cell);
            // A space shows only its background, whatever the foreground.
            std::optional<TerminalColour> newForeground;
            std::optional<TerminalColour> newBackground;
            if (character != 32 && cellForeground(cell) != foreground) {
                foreground = cellForeground(cell);
                newForeground = colours[static_cast<std::size_t>(foreground)];
            }
            if (cellBackground(cell) != background) {
                background = cellBackground(cell);
                newBackground = colours[static_cast<std::size_t>(background)];
            }
            char sgr[maxSgrBytes];
            out.put(sgr, writeSgr(newForeground, newBackground, sgr, sizeof sgr));
            const GlyphBytes& g = glyphs[character];
            out.put(g.bytes, g.size);
        }
        if (columns > 0) out.put(reset.data(), reset.size());
        out.put("\n", 1);
    }
}

struct CountingOutput {
    std::size_t size = 0;
    void put(const char*, std::size_t n) { size += n; }
};

struct BufferOutput {
    ByteWriter writer;
    void put(const char* bytes, std::size_t n) { writer.put(bytes, n); }
};

// Collects the output in a fixed buffer and writes it out whenever full.
class DescriptorOutput {
public:
    explicit DescriptorOutput(int descriptor) : fd(descriptor) {}

    void put(const char* bytes, std::size_t n) {
        if (failure) return;
        if (n > buffer.size() - used) flush();
        if (n > buffer.size()) {
            writeAll(bytes, n);
        } else {
            std::memcpy(buffer.data() + used, bytes, n);
            used += n;
        }
    }
    void flush() {
        writeAll(buffer.data(), used);
        used = 0;
    }
    std::error_code error() const { return failure; }

private:
    void writeAll(const char* bytes, std::size_t n) {
        while (n > 0 && !failure) {
            const ssize_t w = ::write(fd, bytes, n);
            if (w > 0) {
                bytes += w;
                n -= static_cast<std::size_t>(w);
            } else if (w == 0) {
                failure = std::make_error_code(std::errc::io_error);
            } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
                pollfd p{fd, POLLOUT, 0};
                if (::poll(&p, 1, -1) < 0 && errno != EINTR) failure = {errno, std::system_category()};
            } else if (errno != EINTR) {
                failure = {errno, std::system_category()};
            }
        }
    }

    int fd;
    std::array<char, 4096> buffer;
    std::size_t used = 0;
    std::error_code failure;
};

}  // namespace

std::size_t inlineSize(const Cell* cells, int columns, int rows, int pitch, ColourMode mode) {
    if (!validGrid(cells, columns, rows, pitch)) return 0;
    CountingOutput out;
    printGrid(out, cells, columns, rows, pitch, mode);
    return out.size;
}

std::size_t printInline(const Cell* cells, int columns, int rows, int pitch, ColourMode mode, char* out,
                        std::size_t capacity) {
    if (!validGrid(cells, columns, rows, pitch)) return 0;
    const std::size_t size = inlineSize(cells, columns, rows, pitch, mode);
    if (size > capacity || out == nullptr) return 0;
    BufferOutput writer{ByteWriter(out, capacity)};
    printGrid(writer, cells, columns, rows, pitch, mode);
    return writer.writer.size();
}

std::error_code printInline(int fd, const Cell* cells, int columns, int rows, int pitch, ColourMode mode) {
    if (!validGrid(cells, columns, rows, pitch)) return std::make_error_code(std::errc::invalid_argument);
    DescriptorOutput out(fd);
    printGrid(out, cells, columns, rows, pitch, mode);
    out.flush();
    return out.error();
}

}  // namespace vantrel
