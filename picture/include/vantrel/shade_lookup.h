// Choosing the shade renderer's cell by how it looks. The renderer's table
// picks each cell by distance on the VGA register scale, mixing colours as
// the bytes add up; but a shade character's colours mix as light, so its
// cells look brighter than the colour that chose them. This picks, for a
// colour, the cell of the table whose seen colour, in the colours the
// terminal shows (vantrel/cell_colours.h), is nearest in CIELAB, and hands
// the renderer a pixel that reads that cell: the decision stays the table's
// lookup, only the index is chosen by eye.
#pragma once

#include <cstdint>
#include <vector>

#include "vantrel/cell_colours.h"
#include "vantrel/colour_difference.h"
#include "vantrel/pixel.h"
#include "vantrel/shade_renderer.h"

namespace vantrel {

class ShadeLookup {
public:
    // Collects the distinct cells of the built table, each with its seen
    // colour under `colours` (the console colours as the terminal shows them).
    ShadeLookup(const ShadeRenderer& renderer, const ConsoleColours& colours);

    // The pixel to hand the renderer for `colour` (sRGB). Colours are taken
    // to 5 bits a channel; the answer for each of those is worked out the
    // first time it is asked for and kept.
    Pixel input(const Pixel& colour) {
        const unsigned key = (colour.red >> 3u) << 10u | (colour.green >> 3u) << 5u | (colour.blue >> 3u);
        std::uint16_t& known = known_[key];
        if (known == 0) known = nearest(key);
        return candidates_[known - 1u].input;
    }

private:
    struct Candidate {
        Lab seen;
        Pixel input;  // a pixel whose table entry is the cell
    };
    std::uint16_t nearest(unsigned key) const;

    std::vector<Candidate> candidates_;
    std::vector<std::uint16_t> known_;  // per 15-bit colour: candidate + 1, or 0 when not yet known
};

}  // namespace vantrel
