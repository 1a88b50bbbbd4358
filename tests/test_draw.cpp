#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "vantrel/draw.h"

using namespace vantrel;

namespace {

struct Lit {
    int x, y;
    int value;  // in every channel
};

class Draw : public ::testing::Test {
protected:
    void SetUp() override { clear(); }
    static void clear() { std::memset(static_cast<void*>(screenPixels), 0, sizeof(PixelBuffer)); }
    static Pixel at(int x, int y) { return screenPixels[y * 80 + x]; }
    static int litCount() {
        return static_cast<int>(std::count_if(screenPixels, screenPixels + screenPixelCount, [](const Pixel& p) {
            return p.red != 0 || p.green != 0 || p.blue != 0 || p.unused != 0;
        }));
    }
    // Every listed grey pixel holds its value and nothing else is lit.
    static void expectExactly(const std::vector<Lit>& lit) {
        for (const Lit& l : lit) {
            const Pixel p = at(l.x, l.y);
            EXPECT_EQ(p.red, l.value) << l.x << "," << l.y;
            EXPECT_EQ(p.green, l.value) << l.x << "," << l.y;
            EXPECT_EQ(p.blue, l.value) << l.x << "," << l.y;
        }
        EXPECT_EQ(litCount(), static_cast<int>(lit.size()));
    }
    static std::vector<Pixel> frame() { return {screenPixels, screenPixels + screenPixelCount}; }
};

constexpr Vec3 white{1, 1, 1};

TEST_F(Draw, AddColourSaturatesEachChannelAndLeavesTheFourthByte) {
    Pixel p{250, 10, 0, 77};
    addColour(p, 10, 245, 0);
    EXPECT_EQ(p.red, 255);
    EXPECT_EQ(p.green, 255);
    EXPECT_EQ(p.blue, 0);
    EXPECT_EQ(p.unused, 77);
    addColour(p, 1000000, 0, 300);
    EXPECT_EQ(p.red, 255);
    EXPECT_EQ(p.blue, 255);
}

TEST_F(Draw, LinesLightTheExpectedPixels) {
    struct Case {
        ScreenLine line;
        std::vector<Lit> lit;
    };
    const std::vector<Case> cases = {
        // On the border between rows 19 and 20: half to each.
        {{5, 20, 8, 20}, {{5, 19, 127}, {6, 19, 127}, {7, 19, 127}, {5, 20, 127}, {6, 20, 127}, {7, 20, 127}}},
        // Within one column: coverage 0.5.
        {{10.25f, 20.5f, 10.75f, 20.5f}, {{10, 20, 127}}},
        // Equal deltas are y-major.
        {{10.5f, 10.5f, 13.5f, 13.5f}, {{10, 10, 127}, {11, 11, 255}, {12, 12, 255}, {13, 13, 127}}},
        {{2, 2.5f, 6, 4.5f},
         {{2, 2, 191}, {3, 3, 191}, {4, 3, 191}, {5, 4, 191}, {3, 2, 63}, {2, 3, 63}, {5, 3, 63}, {4, 4, 63}}},
        // Coinciding end points add nothing.
        {{30.3f, 30.7f, 30.3f, 30.7f}, {}},
    };
    for (const Case& c : cases) {
        for (bool reversed : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.line.x0 << "," << c.line.y0 << " " << c.line.x1 << ","
                                            << c.line.y1 << (reversed ? " reversed" : ""));
            clear();
            const ScreenLine l = reversed ? ScreenLine{c.line.x1, c.line.y1, c.line.x0, c.line.y0} : c.line;
            drawLine(l, screenPixels, white);
            expectExactly(c.lit);
        }
    }
}

TEST_F(Draw, ColouredLineUsesTruncatedAmounts) {
    drawLine({5, 20.5f, 8, 20.5f}, screenPixels, {1, 0.5f, 0});
    for (int x = 5; x <= 7; ++x) {
        EXPECT_EQ(at(x, 20).red, 255);
        EXPECT_EQ(at(x, 20).green, 127);
        EXPECT_EQ(at(x, 20).blue, 0);
    }
    EXPECT_EQ(litCount(), 3);
}

TEST_F(Draw, DrawingTwiceSaturatesInsteadOfWrapping) {
    drawLine({10.5f, 10.5f, 13.5f, 13.5f}, screenPixels, white);
    drawLine({10.5f, 10.5f, 13.5f, 13.5f}, screenPixels, white);
    EXPECT_EQ(at(11, 11).red, 255);
    EXPECT_EQ(at(10, 10).red, 254);
}

TEST_F(Draw, RandomLinesLightTheSamePixelsBothWays) {
    std::mt19937 rng(42);
    std::uniform_real_distribution<float> x(1, 79), y(1, 49);
    for (int i = 0; i < 2000; ++i) {
        const ScreenLine l{x(rng), y(rng), x(rng), y(rng)};
        clear();
        drawLine(l, screenPixels, white);
        const auto forward = frame();
        clear();
        drawLine({l.x1, l.y1, l.x0, l.y0}, screenPixels, white);
        ASSERT_EQ(std::memcmp(forward.data(), screenPixels, sizeof(PixelBuffer)), 0)
            << l.x0 << "," << l.y0 << " " << l.x1 << "," << l.y1;
    }
}

TEST_F(Draw, LinesEndingOnTheBorderNeverWrapIntoAnotherRow) {
    // Slope about -1, ending exactly on the top-right corner of the window.
    ScreenLine l{67.149246f, 12.850753f, 79, 1};
    clipAndDrawLine(l, white);
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 60; ++x) ASSERT_EQ(at(x, y).red, 0) << x << "," << y;
    }
    EXPECT_GT(at(70, 10).red + at(70, 9).red + at(70, 11).red, 0);
}

TEST_F(Draw, ClippingMovesEndsOntoTheWindow) {
    struct Case {
        ScreenLine line;
        ScreenLine clipped;
    };
    const Case cases[] = {
        {{-10, 10, 10, 10}, {1, 10, 10, 10}},
        {{0, 0, 4, 8}, {1, 2, 4, 8}},
        {{-5, -5, 100, 100}, {1, 1, 49, 49}},
        {{100, 100, -5, -5}, {49, 49, 1, 1}},
        {{1, 1, 79, 49}, {1, 1, 79, 49}},  // on the boundary is inside
    };
    for (const Case& c : cases) {
        clear();
        ScreenLine l = c.line;
        clipAndDrawLine(l, white);
        EXPECT_FLOAT_EQ(l.x0, c.clipped.x0);
        EXPECT_FLOAT_EQ(l.y0, c.clipped.y0);
        EXPECT_FLOAT_EQ(l.x1, c.clipped.x1);
        EXPECT_FLOAT_EQ(l.y1, c.clipped.y1);
        const auto clippedFrame = frame();
        clear();
        drawLine(c.clipped, screenPixels, white);
        EXPECT_EQ(std::memcmp(clippedFrame.data(), screenPixels, sizeof(PixelBuffer)), 0);
        EXPECT_GT(litCount(), 0);
    }
    // Both ends beyond the same side: nothing at all.
    for (ScreenLine l : {ScreenLine{0, 0, 0.5f, 60}, ScreenLine{85, 25, 90, 30}, ScreenLine{10, -3, 70, 0.5f},
                         ScreenLine{10, 50, 70, 90}}) {
        clear();
        clipAndDrawLine(l, white);
        EXPECT_EQ(litCount(), 0);
    }
}

TEST_F(Draw, HostileLinesStayInsideTheFrame) {
    // Under the sanitizers any write outside the frame aborts; here we also
    // check that the spare byte is never touched and nothing crashes on
    // non-finite coordinates.
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> far(-1e6f, 1e6f), near(-200, 280);
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (int i = 0; i < 20000; ++i) {
        auto& d = (i % 2) ? far : near;
        ScreenLine l{d(rng), d(rng), d(rng), d(rng)};
        clipAndDrawLine(l, white);
    }
    for (ScreenLine l : {ScreenLine{inf, 10, 40, 20}, ScreenLine{-inf, inf, inf, -inf}, ScreenLine{nan, 10, 40, 20},
                         ScreenLine{40, 20, 40, nan}, ScreenLine{1e38f, -1e38f, -1e38f, 1e38f}}) {
        clipAndDrawLine(l, white);
    }
    EXPECT_TRUE(std::all_of(screenPixels, screenPixels + screenPixelCount, [](const Pixel& p) { return p.unused == 0; }));
    clear();
    drawLine({-5, 10, 40, 20}, screenPixels, white);  // outside the frame: refused
    drawLine({nan, 10, 40, 20}, screenPixels, white);
    EXPECT_EQ(litCount(), 0);
}

TEST_F(Draw, SplatSharesTheDotByTheHorizontalFraction) {
    splatPoint({0, 0, 1}, white);
    expectExactly({{40, 25, 255}});

    clear();
    splatPoint({0.0078125f, 0, 1}, white);
    expectExactly({{40, 25, 35}, {41, 25, 59}, {40, 26, 59}, {41, 26, 99}});

    clear();
    splatPoint({0, 0.0078125f, 1}, white);  // vertical fraction plays no part
    expectExactly({{40, 25, 255}});

    clear();
    for (const Vec3 p : {Vec3{-0.5f, 0, 1}, Vec3{0.4875f, 0, 1}, Vec3{0, -0.3125f, 1}, Vec3{0, 0.3f, 1},
                         Vec3{1, 1, 0}, Vec3{0, 0, 0}}) {
        splatPoint(p, white);
    }
    EXPECT_EQ(litCount(), 0);
}

}  // namespace
