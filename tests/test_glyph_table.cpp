// The glyph table as a whole: every way of building it against a plain search
// written here, independently of the renderer's own code.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "vantrel/font8x12.h"
#include "vantrel/glyph_renderer.h"
#include "render/glyph_search.h"

using namespace vantrel;

namespace {

// The table by the book: quadrant ink of each glyph scaled by 16/24, then for
// each index the first code at the least sum of absolute differences.
std::vector<Cell> plainTable(std::int32_t flags) {
    const int first = (flags & 3) ? 32 : 0;
    const int last = (flags & 2) ? 126 : 255;
    int coverage[256][4] = {};
    for (int code = first; code <= last; ++code) {
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 8; ++x)
                if ((font8x12[12 * code + y] >> x) & 1) ++coverage[code][(y / 6) * 2 + x / 4];
        for (int& n : coverage[code]) n = n * 16 / 24;
    }
    std::vector<Cell> table(65536);
    for (int index = 0; index < 65536; ++index) {
        const int level[4] = {(index >> 12) & 15, (index >> 8) & 15, (index >> 4) & 15, index & 15};
        int best = 65535;
        int choice = 0;
        for (int code = first; code <= last; ++code) {
            int distance = 0;
            for (int q = 0; q < 4; ++q) distance += std::abs(coverage[code][q] - level[q]);
            if (distance < best) {
                best = distance;
                choice = code;
            }
        }
        table[index] = static_cast<Cell>(0x0700 + choice);
    }
    return table;
}

// Index of the first entry that differs, or -1.
int firstDifference(const std::vector<Cell>& expected, const Cell* actual) {
    for (int i = 0; i < 65536; ++i)
        if (expected[i] != actual[i]) return i;
    return -1;
}

TEST(GlyphTable, EveryBuildMatchesThePlainSearchForEveryFlagSetting) {
    // 0x7FFC and -1: only bits 0 and 1 count (they act as 0 and as 3).
    const std::int32_t flagSettings[] = {0, 1, 2, 3, 0xFFFF, 0x7FFC, -1};
    const GlyphSearch searches[] = {GlyphSearch::plain, GlyphSearch::scalar, GlyphSearch::sse2,
                                    GlyphSearch::avx2};
    std::vector<Cell> built(65536);
    for (std::int32_t flags : flagSettings) {
        SCOPED_TRACE(testing::Message() << "flags " << flags);
        const std::vector<Cell> expected = plainTable(flags);

        GlyphRenderer renderer;
        renderer.buildTable(flags);
        EXPECT_EQ(firstDifference(expected, renderer.tableData()), -1);

        for (GlyphSearch search : searches) {
            if (!glyphSearchSupported(search)) continue;
            SCOPED_TRACE(testing::Message() << "search " << static_cast<int>(search));
            std::fill(built.begin(), built.end(), Cell{0xBEEF});
            buildGlyphTable(search, flags, built.data());
            EXPECT_EQ(firstDifference(expected, built.data()), -1);
        }
    }
}

}  // namespace
