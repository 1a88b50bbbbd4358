// Linear light against the sRGB formulas in double precision, the seen
// colour of hand-worked cells, and luma for the glyph renderer.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "vantrel/luma.h"
#include "vantrel/seen_colour.h"

using namespace vantrel;

namespace {

double decode(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }
double encode(double l) { return l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1 / 2.4) - 0.055; }

TEST(LinearLight, TableAndInverseFollowTheTransferFunction) {
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(srgbToLinear(static_cast<std::uint8_t>(v)), static_cast<float>(decode(v / 255.0))) << v;
        EXPECT_EQ(linearToSrgb(srgbToLinear(static_cast<std::uint8_t>(v))), v);
    }
    // A sweep of linear values, each rounded to the nearest byte of its
    // encoding (values within a hair of halfway are left out).
    for (int i = 0; i <= 100000; ++i) {
        const float linear = static_cast<float>(i) / 100000.0f;
        const double exact = encode(linear) * 255.0;
        if (std::fabs(exact - std::floor(exact) - 0.5) < 1e-9) continue;
        ASSERT_EQ(linearToSrgb(linear), static_cast<int>(std::lround(exact))) << linear;
    }
    EXPECT_EQ(linearToSrgb(-0.5f), 0);
    EXPECT_EQ(linearToSrgb(1.5f), 255);
    EXPECT_EQ(linearToSrgb(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(linearToSrgb(std::numeric_limits<float>::infinity()), 255);
}

TEST(SeenColour, HandWorkedCells) {
    struct Case {
        Cell cell;
        Rgb seen;
    };
    // Light grey 0xAA is 0.40198 in linear light.
    const Case cases[] = {
        {0x07DB, {170, 170, 170}},  // full block of light grey
        {0x0720, {0, 0, 0}},        // a space shows its black background
        {0x70B1, {124, 124, 124}},  // half black, half light grey: 0.20099 linear, 123.84 encoded
        {0x0741, {108, 108, 108}},  // 'A', 36 of 96 pixels: 0.15074 linear, 108.26 encoded
        {0x1EB0, {137, 137, 154}},  // a quarter of yellow (FF FF 55) over three of blue (00 00 AA)
        {0xF0DC, {188, 188, 188}},  // lower half block, black on white: half of 1.0 linear
    };
    for (const Case& c : cases) {
        const Rgb seen = seenColour(c.cell);
        EXPECT_EQ(seen.red, c.seen.red) << std::hex << c.cell;
        EXPECT_EQ(seen.green, c.seen.green) << std::hex << c.cell;
        EXPECT_EQ(seen.blue, c.seen.blue) << std::hex << c.cell;
    }
    EXPECT_FLOAT_EQ(seenColourLinear(0x70B1).green, srgbToLinear(170) / 2);
    EXPECT_EQ(inkShare(176), 0.25f);
    EXPECT_EQ(inkShare(178), 0.75f);
    EXPECT_EQ(inkShare(0), 0.0f);
    EXPECT_EQ(inkShare(221), 0.5f);
}

TEST(Luma, Rec709WeightsInIntegersIntoAGreyPicture) {
    EXPECT_EQ(luma({255, 255, 255, 0}), 255);
    EXPECT_EQ(luma({0, 0, 0, 0}), 0);
    EXPECT_EQ(luma({200, 100, 50, 0}), 118);  // 42.52 + 71.52 + 3.61 = 117.65
    EXPECT_EQ(luma({0, 0, 255, 0}), 18);      // 18.41
    EXPECT_EQ(luma({255, 0, 0, 0}), 54);      // 54.21

    const std::vector<Pixel> in = {{200, 100, 50, 7}, {255, 0, 0, 9}, {1, 2, 3, 4},
                                   {0, 0, 255, 1},   {9, 9, 9, 9},   {5, 5, 5, 5}};
    std::vector<Pixel> out(8, Pixel{1, 1, 1, 1});
    ASSERT_TRUE(lumaToGreen({in.data(), 2, 2, 3}, out.data(), 4));
    const std::uint8_t expected[8] = {118, 54, 1, 1, 18, 9, 1, 1};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(out[i].green, expected[i]) << i;
        EXPECT_EQ(out[i].red, expected[i]) << i;
        EXPECT_EQ(out[i].blue, expected[i]) << i;
    }
    EXPECT_EQ(out[0].unused, 7);
    // Refused, nothing written.
    std::vector<Pixel> untouched(8, Pixel{1, 1, 1, 1});
    EXPECT_FALSE(lumaToGreen({in.data(), 2, 2, 3}, untouched.data(), 1));
    EXPECT_FALSE(lumaToGreen({in.data(), 4, 2, 3}, untouched.data(), 4));
    EXPECT_FALSE(lumaToGreen({nullptr, 2, 2, 3}, untouched.data(), 4));
    EXPECT_FALSE(lumaToGreen({in.data(), 2, -1, 3}, untouched.data(), 4));
    EXPECT_FALSE(lumaToGreen({in.data(), 2, 2, 3}, nullptr, 4));
    for (const Pixel& p : untouched) EXPECT_EQ(pixelWord(p), 0x01010101u);
}

}  // namespace
