#include "tools/view/media/gif_facts.h"

#include <cstring>

namespace vantrel {

namespace {

// The bytes of a colour table that the flags announce (bit 7 says there is one).
std::size_t colourTableBytes(std::uint8_t flags) {
    return (flags & 0x80) != 0 ? std::size_t{3} << ((flags & 0x07) + 1) : 0;
}

// Steps over a run of data sub-blocks and its terminator; false when the
// bytes end first.
bool skipSubBlocks(const std::uint8_t* data, std::size_t size, std::size_t& at) {
    while (at < size) {
        const std::size_t length = data[at];
        ++at;
        if (length == 0) return true;
        if (length > size - at) return false;
        at += length;
    }
    return false;
}

}  // namespace

GifFacts scanGif(const std::uint8_t* data, std::size_t size) {
    GifFacts facts;
    constexpr std::size_t headerBytes = 13;  // signature, version, logical screen descriptor
    if (size < headerBytes || (std::memcmp(data, "GIF87a", 6) != 0 && std::memcmp(data, "GIF89a", 6) != 0)) {
        return facts;
    }
    facts.gif = true;
    std::size_t at = headerBytes;
    const std::size_t globalTable = colourTableBytes(data[10]);
    if (globalTable > size - at) return facts;
    at += globalTable;
    while (at < size) {
        const std::uint8_t introducer = data[at++];
        if (introducer == 0x3B) {  // trailer
            facts.complete = true;
            return facts;
        }
        if (introducer == 0x21) {  // extension: label, then sub-blocks
            if (at >= size) return facts;
            const std::uint8_t label = data[at++];
            // Application extension: an 11-byte identifier block, then for the
            // looping ones a block of 1, count low, count high.
            if (label == 0xFF && size - at >= 12 && data[at] == 11 &&
                (std::memcmp(data + at + 1, "NETSCAPE2.0", 11) == 0 ||
                 std::memcmp(data + at + 1, "ANIMEXTS1.0", 11) == 0)) {
                const std::size_t block = at + 12;
                if (size - block >= 4 && data[block] >= 3 && (data[block + 1] & 0x07) == 1 && facts.repeats < 0) {
                    facts.repeats = data[block + 2] | (data[block + 3] << 8);
                }
            }
            if (!skipSubBlocks(data, size, at)) return facts;
            continue;
        }
        if (introducer == 0x2C) {  // image descriptor, local colour table, LZW code size, data
            constexpr std::size_t descriptorBytes = 9;
            if (size - at < descriptorBytes) return facts;
            const std::size_t localTable = colourTableBytes(data[at + 8]);
            at += descriptorBytes;
            if (localTable > size - at || size - at - localTable < 1) return facts;
            at += localTable + 1;
            ++facts.images;
            if (!skipSubBlocks(data, size, at)) return facts;
            continue;
        }
        return facts;  // not a block: damaged
    }
    return facts;
}

}  // namespace vantrel
