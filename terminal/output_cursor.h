// Appending bytes where the room is known to be there: the frame encoder
// sizes its buffer for the worst frame, so no append checks what is left.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace vantrel {

struct OutputCursor {
    char* at;

    void put(char c) { *at++ = c; }
    void put(std::string_view s) { put(s.data(), s.size()); }
    void put(const char* bytes, std::size_t n) {
        std::memcpy(at, bytes, n);
        at += n;
    }
    // Copies the n (<= N) bytes by copying N, a fixed-size copy that compiles
    // to a few moves: `bytes` must have N readable bytes and the buffer N free.
    template <std::size_t N>
    void putPadded(const char* bytes, std::size_t n) {
        std::memcpy(at, bytes, N);
        at += n;
    }
};

}  // namespace vantrel
