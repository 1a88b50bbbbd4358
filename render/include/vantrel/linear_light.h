// Linear light: the sRGB transfer function between 8-bit sRGB channel values
// and linear intensities 0..1, for averaging, mixing and dithering colours as
// light adds up rather than as the bytes do.
#pragma once

#include <array>
#include <cstdint>

#include "vantrel/vga_colours.h"

namespace vantrel {

// A colour in linear light, each channel 0..1 (1 is the sRGB byte 255).
struct LinearRgb {
    float red;
    float green;
    float blue;
};

// Entry v: the sRGB byte v in linear light, v / 255 decoded by the sRGB
// transfer function, the float nearest the exact value. Made by the compiler.
extern const std::array<float, 256> srgbToLinearTable;

inline float srgbToLinear(std::uint8_t value) { return srgbToLinearTable[value]; }

// The sRGB byte whose value is nearest the encoding of `linear` (halfway
// rounds up); below 0, and NaN, give 0, above 1 give 255. The exact inverse
// of srgbToLinear: linearToSrgb(srgbToLinear(v)) == v for every byte.
std::uint8_t linearToSrgb(float linear);

inline LinearRgb toLinear(Rgb c) { return {srgbToLinear(c.red), srgbToLinear(c.green), srgbToLinear(c.blue)}; }
inline Rgb toSrgb(LinearRgb c) { return {linearToSrgb(c.red), linearToSrgb(c.green), linearToSrgb(c.blue)}; }

}  // namespace vantrel
