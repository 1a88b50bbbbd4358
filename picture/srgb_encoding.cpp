#include "picture/srgb_encoding.h"

#include <bit>
#include <limits>

#include "vantrel/linear_light.h"

namespace vantrel {

const SrgbEncoding& SrgbEncoding::table() {
    static const SrgbEncoding encoding;
    return encoding;
}

SrgbEncoding::SrgbEncoding() {
    for (int k = 0; k < buckets; ++k) {
        bucketFloor_[static_cast<std::size_t>(k)] = linearToSrgb(static_cast<float>(k) / buckets);
    }
    // Bisection over the bit patterns of positive floats, which order as
    // the floats do: the lowest value that linearToSrgb takes above b.
    for (int b = 0; b < 255; ++b) {
        std::uint32_t low = 0, high = std::bit_cast<std::uint32_t>(1.0f);  // encodes to <= b, > b
        while (high - low > 1) {
            const std::uint32_t middle = low + (high - low) / 2;
            (linearToSrgb(std::bit_cast<float>(middle)) > b ? high : low) = middle;
        }
        nextByteFrom_[static_cast<std::size_t>(b)] = std::bit_cast<float>(high);
    }
    nextByteFrom_[255] = std::numeric_limits<float>::infinity();
}

}  // namespace vantrel
