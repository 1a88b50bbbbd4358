#include "vantrel/shade_renderer.h"

namespace vantrel {

// clang-format off
const std::array<PaletteColour, 16> shadePalette = {{
    {   0,    0,    0},  // 0 black
    {   0,    0,   42},  // 1 blue
    {   0,   42,    0},  // 2 green
    {   0,   42,   42},  // 3 cyan
    {  42,    0,    0},  // 4 red
    {  42,    0,   42},  // 5 magenta
    {  42,   21,    0},  // 6 brown
    {  42,   42,   42},  // 7 light grey
    {9999, 9999, 9999},  // 8 never chosen
    {  21,   21,   63},  // 9 bright blue
    {  21,   63,   21},  // 10 bright green
    {  21,   63,   63},  // 11 bright cyan
    {  63,   21,   21},  // 12 bright red
    {  63,   21,   63},  // 13 bright magenta
    {  63,   63,   21},  // 14 yellow
    {  63,   63,   63},  // 15 white
}};
// clang-format on

}  // namespace vantrel
