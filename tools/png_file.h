// Encoding an RGB picture as a PNG file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Encodes width x height pixels of three bytes each, row-major, into `png`.
// Returns an empty string or what went wrong.
std::string encodeRgbPng(const std::uint8_t* rgb, int width, int height, std::vector<std::uint8_t>& png);
