// What a GIF's own blocks say that FFmpeg 5.1's GIF demuxer does not report:
// how many times the animation plays (the NETSCAPE2.0 application
// extension). Read from the bytes at hand with every length checked, so that
// any input is safe.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel {

struct GifFacts {
    bool gif = false;        // the header and screen descriptor are there
    // The NETSCAPE2.0 (or ANIMEXTS1.0) repeat count: 0 repeats forever, N
    // repeats N times after the first showing; -1 when there is none.
    int repeats = -1;
    int images = 0;          // image descriptors seen
    bool complete = false;   // the trailer was reached within the bytes
};

// Scans the blocks of the GIF in data[0, size) (the whole file or its start).
GifFacts scanGif(const std::uint8_t* data, std::size_t size);

// How many times the file says to play the animation: 0 forever.
inline int gifPlays(const GifFacts& facts) {
    if (facts.repeats < 0) return 1;
    return facts.repeats == 0 ? 0 : facts.repeats + 1;
}

}  // namespace vantrel
