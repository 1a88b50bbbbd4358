// The clipping rule of WriteConsoleOutputA against brute force: for many
// regions, block sizes and block coordinates (negative ones too), on the
// demo's screen and a small one, exactly the cells the rule names are
// written, each from its own record.
#include <gtest/gtest.h>

#include <random>

#include "console/write_region.h"

using namespace vantrel;

namespace {

TEST(WriteRegion, ClipsToScreenRegionAndBlock) {
    std::mt19937 rng(17);
    const auto pick = [&](int low, int high) {
        return low + static_cast<int>(rng() % static_cast<unsigned>(high - low + 1));
    };
    int written = 0;
    for (int n = 0; n < 20000; ++n) {
        const int screenColumns = n % 10 == 0 ? 80 : 7;
        const int screenRows = n % 10 == 0 ? 50 : 5;
        const COORD size{static_cast<SHORT>(pick(-1, 14)), static_cast<SHORT>(pick(-1, 14))};
        const COORD coord{static_cast<SHORT>(pick(-5, 9)), static_cast<SHORT>(pick(-5, 9))};
        const int left = pick(-6, screenColumns + 1);
        const int top = pick(-6, screenRows + 1);
        const SMALL_RECT region{static_cast<SHORT>(left), static_cast<SHORT>(top),
                                static_cast<SHORT>(left + pick(-2, 14)), static_cast<SHORT>(top + pick(-2, 14))};
        const ClippedWrite clip = clipWrite(screenColumns, screenRows, size, coord, region);
        const SMALL_RECT& w = clip.written;
        if (clip.empty()) {
            ASSERT_TRUE(w.Left == 0 && w.Top == 0 && w.Right == -1 && w.Bottom == -1);
        } else {
            ++written;
        }
        for (int y = 0; y < screenRows; ++y) {
            for (int x = 0; x < screenColumns; ++x) {
                const int sx = coord.X + x - region.Left;
                const int sy = coord.Y + y - region.Top;
                const bool want = x >= region.Left && x <= region.Right && y >= region.Top && y <= region.Bottom &&
                                  sx >= 0 && sx < size.X && sy >= 0 && sy < size.Y;
                const bool got = x >= w.Left && x <= w.Right && y >= w.Top && y <= w.Bottom;
                ASSERT_EQ(got, want) << "case " << n << " cell " << x << "," << y;
                ASSERT_TRUE(!got || (clip.sourceColumn + x - w.Left == sx && clip.sourceRow + y - w.Top == sy)) << n;
            }
        }
    }
    EXPECT_GT(written, 2000) << "too few cases write anything";
}

}  // namespace
