// linearToSrgb (vantrel/linear_light.h), exactly, in a few steps: a table of
// 4096 buckets gives the byte at the bottom of the bucket, and the byte
// boundaries (found once from linearToSrgb itself) settle the rest. For
// scaling and dithering, which encode every pixel they make.
#pragma once

#include <array>
#include <cstdint>

namespace vantrel {

class SrgbEncoding {
public:
    // The one table, built on first use.
    static const SrgbEncoding& table();

    std::uint8_t encode(float linear) const {
        if (!(linear > 0.0f)) return 0;  // NaN too
        if (linear >= 1.0f) return 255;
        auto byte = bucketFloor_[static_cast<std::size_t>(linear * buckets)];
        while (byte < 255 && linear >= nextByteFrom_[byte]) ++byte;
        return byte;
    }

private:
    SrgbEncoding();
    static constexpr int buckets = 4096;
    std::array<std::uint8_t, buckets> bucketFloor_;  // the byte for the bucket's lowest value
    std::array<float, 256> nextByteFrom_;            // the lowest value that encodes above byte b
};

inline std::uint8_t encodeSrgb(float linear) { return SrgbEncoding::table().encode(linear); }

}  // namespace vantrel
