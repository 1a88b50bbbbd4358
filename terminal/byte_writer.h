// Appends bytes to a caller-owned fixed buffer. Every append checks the room
// left; a write that does not fit is dropped and the writer remembers it, so
// no input can run past the end of the buffer.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace vantrel {

class ByteWriter {
public:
    ByteWriter(char* buffer, std::size_t capacity) : begin(buffer), end(buffer + capacity), cursor(buffer) {}

    void put(char c) {
        if (cursor == end) {
            overflowed = true;
            return;
        }
        *cursor++ = c;
    }
    void put(std::string_view s) { put(s.data(), s.size()); }
    void put(const char* bytes, std::size_t n) {
        if (static_cast<std::size_t>(end - cursor) < n) {
            overflowed = true;
            return;
        }
        std::memcpy(cursor, bytes, n);
        cursor += n;
    }
    // A non-negative number in decimal, without leading zeros.
    void number(unsigned value) {
        char digits[10];
        int n = 0;
        do {
            digits[n++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        if (static_cast<std::size_t>(end - cursor) < static_cast<std::size_t>(n)) {
            overflowed = true;
            return;
        }
        while (n > 0) *cursor++ = digits[--n];
    }

    std::size_t size() const { return static_cast<std::size_t>(cursor - begin); }
    std::string_view view() const { return {begin, size()}; }
    bool overflow() const { return overflowed; }
    void clear() {
        cursor = begin;
        overflowed = false;
    }

private:
    char* begin;
    char* end;
    char* cursor;
    bool overflowed = false;
};

}  // namespace vantrel
