#include "vantrel/shade_lookup.h"

#include <algorithm>

#include "vantrel/linear_light.h"

namespace vantrel {

ShadeLookup::ShadeLookup(const ShadeRenderer& renderer, const ConsoleColours& colours) : known_(1u << 15, 0) {
    const Cell* table = renderer.tableData();
    std::vector<Cell> seen;
    for (int index = 0; index < ShadeRenderer::tableSize; ++index) {
        const Cell cell = table[index];
        if (std::find(seen.begin(), seen.end(), cell) != seen.end()) continue;
        seen.push_back(cell);
        // The middle of the index's four-bit levels: red in the high bits.
        const auto level = [](int four) { return static_cast<std::uint8_t>(four * 16 + 8); };
        candidates_.push_back({toLab(colours.seen(cell)),
                               Pixel{level(index >> 8), level((index >> 4) & 15), level(index & 15), 0}});
    }
}

std::uint16_t ShadeLookup::nearest(unsigned key) const {
    // The middle of the 5-bit bucket.
    const auto middle = [](unsigned five) { return static_cast<std::uint8_t>(five * 8 + 4); };
    const Lab target = toLab(toLinear(Rgb{middle(key >> 10), middle((key >> 5) & 31), middle(key & 31)}));
    std::size_t best = 0;
    double bestDistance = 1e300;
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        const Lab& c = candidates_[i].seen;
        const double dl = c.lightness - target.lightness, da = c.a - target.a, db = c.b - target.b;
        const double d = dl * dl + da * da + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return static_cast<std::uint16_t>(best + 1);
}

}  // namespace vantrel
