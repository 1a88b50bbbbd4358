// Where printed grids go: a count of their bytes, a caller's buffer, or a
// file descriptor. A printer is a function that hands its output piece by
// piece to out.put(bytes, n); the functions below run it into each.
#pragma once

#include <array>
#include <cstddef>
#include <system_error>

#include "terminal/byte_writer.h"

namespace vantrel {

struct CountingOutput {
    std::size_t size = 0;
    void put(const char*, std::size_t n) { size += n; }
};

struct BufferOutput {
    ByteWriter writer;
    void put(const char* bytes, std::size_t n) { writer.put(bytes, n); }
};

// Collects the output in a fixed buffer and writes it out whenever full,
// continuing partial writes and writes interrupted by a signal, and waiting
// on a non-blocking descriptor until it takes more. After the first error it
// drops the rest.
class DescriptorOutput {
public:
    explicit DescriptorOutput(int descriptor) : fd(descriptor) {}

    void put(const char* bytes, std::size_t n);
    void flush();
    std::error_code error() const { return failure; }

private:
    void writeAll(const char* bytes, std::size_t n);

    int fd;
    std::array<char, 4096> buffer;
    std::size_t used = 0;
    std::error_code failure;
};

// The exact length of what `print` writes.
template <class Printer>
std::size_t printedSize(const Printer& print) {
    CountingOutput out;
    print(out);
    return out.size;
}

// Writes what `print` writes into `out` and returns its length; writes
// nothing and returns 0 unless all of it fits in `capacity`.
template <class Printer>
std::size_t printToBuffer(const Printer& print, char* out, std::size_t capacity) {
    if (out == nullptr || printedSize(print) > capacity) return 0;
    BufferOutput writer{ByteWriter(out, capacity)};
    print(writer);
    return writer.writer.size();
}

// Writes what `print` writes to `fd`; the error that stopped it, or none.
template <class Printer>
std::error_code printToDescriptor(const Printer& print, int fd) {
    DescriptorOutput out(fd);
    print(out);
    out.flush();
    return out.error();
}

}  // namespace vantrel
