// Writing an RGB picture as a PNG file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Writes width x height pixels of three bytes each, row-major, to `stream`.
// Returns an empty string or what went wrong.
std::string writeRgbPng(std::FILE* stream, const std::uint8_t* rgb, int width, int height);
