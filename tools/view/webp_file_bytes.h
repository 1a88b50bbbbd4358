// The RIFF container a WebP picture comes in: "RIFF", the size of what
// follows (little-endian), "WEBP".
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vantrel {

inline constexpr std::size_t webpHeaderBytes = 12;

inline bool isWebpHeader(const std::uint8_t* bytes, std::size_t size) {
    return size >= webpHeaderBytes && std::memcmp(bytes, "RIFF", 4) == 0 && std::memcmp(bytes + 8, "WEBP", 4) == 0;
}

// The size of the whole file that the header declares.
inline std::uint64_t webpDeclaredBytes(const std::uint8_t* header) {
    return (std::uint64_t{header[4]} | std::uint64_t{header[5]} << 8 | std::uint64_t{header[6]} << 16 |
            std::uint64_t{header[7]} << 24) +
           8;
}

}  // namespace vantrel
