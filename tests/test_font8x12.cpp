// font8x12: the fixed glyphs byte for byte, and the layout rules that make the
// font read well and the box-drawing characters join.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <vector>

#include "vantrel/font8x12.h"

using namespace vantrel;

namespace {

using Rows = std::array<std::uint8_t, 12>;

Rows glyph(int code) {
    Rows r;
    std::memcpy(r.data(), font8x12.data() + 12 * code, 12);
    return r;
}

bool rowsHaveInk(int code, int firstRow, int lastRow) {
    for (int y = firstRow; y <= lastRow; ++y)
        if (font8x12[12 * code + y]) return true;
    return false;
}

// Column x of a glyph as a 12-bit mask, bit y for row y.
unsigned column(int code, int x) {
    unsigned mask = 0;
    for (int y = 0; y < 12; ++y)
        if (fontPixel(code, x, y)) mask |= 1u << y;
    return mask;
}

TEST(Font8x12, FixedGlyphsAreByteExact) {
    const Rows blank{};
    EXPECT_EQ(glyph(0), blank);
    EXPECT_EQ(glyph(32), blank);
    EXPECT_EQ(glyph(255), blank);
    EXPECT_EQ(glyph(65), (Rows{0x00, 0x0C, 0x1E, 0x33, 0x33, 0x33, 0x3F, 0x33, 0x33, 0x33, 0x00, 0x00}));
    EXPECT_EQ(glyph(176), (Rows{0x24, 0x49, 0x92, 0x24, 0x49, 0x92, 0x24, 0x49, 0x92, 0x24, 0x49, 0x92}));
    EXPECT_EQ(glyph(177), (Rows{0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}));
    EXPECT_EQ(glyph(178), (Rows{0xB6, 0xDB, 0x6D, 0xB6, 0xDB, 0x6D, 0xB6, 0xDB, 0x6D, 0xB6, 0xDB, 0x6D}));
    Rows full, lower{}, left, right, upper{};
    full.fill(0xFF);
    left.fill(0x0F);
    right.fill(0xF0);
    for (int y = 0; y < 6; ++y) upper[y] = lower[y + 6] = 0xFF;
    EXPECT_EQ(glyph(219), full);
    EXPECT_EQ(glyph(220), lower);
    EXPECT_EQ(glyph(221), left);
    EXPECT_EQ(glyph(222), right);
    EXPECT_EQ(glyph(223), upper);
    // Pixel look-ups outside the cell find no ink instead of reading past it.
    EXPECT_TRUE(fontPixel(219, 7, 11));
    EXPECT_FALSE(fontPixel(219, 8, 0));
    EXPECT_FALSE(fontPixel(219, -1, 0));
    EXPECT_FALSE(fontPixel(219, 0, 12));
    EXPECT_FALSE(fontPixel(219, 0, -1));
}

TEST(Font8x12, EveryGlyphIsDistinctAndOnlyTheBlanksAreEmpty) {
    for (int a = 0; a < 256; ++a) {
        const bool blank = a == 0 || a == 32 || a == 255;
        EXPECT_EQ(rowsHaveInk(a, 0, 11), !blank) << "code " << a;
        for (int b = a + 1; b < 256; ++b)
            if (!blank) { EXPECT_NE(glyph(a), glyph(b)) << "codes " << a << " and " << b; }
    }
}

// Printable ASCII keeps to columns 0..6 and rows 1..9; only g j p q y (and
// the underscore, which sits under the baseline) reach rows 10 and 11.
TEST(Font8x12, PrintableAsciiStaysInItsBoxWithDescendersWhereLettersHaveThem) {
    const std::string_view descending = "gjpqy_";
    for (int c = 33; c <= 126; ++c) {
        SCOPED_TRACE(testing::Message() << "code " << c << " '" << static_cast<char>(c) << "'");
        EXPECT_EQ(column(c, 7), 0u);
        EXPECT_FALSE(rowsHaveInk(c, 0, 0));
        const bool descends = descending.find(static_cast<char>(c)) != std::string_view::npos;
        EXPECT_EQ(rowsHaveInk(c, 10, 11), descends);
        if (descends && c != '_') { EXPECT_TRUE(rowsHaveInk(c, 11, 11)); }
    }
    // Capitals and digits stand from row 1 to the baseline, row 9.
    for (std::string_view set : {std::string_view("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string_view("0123456789")})
        for (char c : set) {
            EXPECT_TRUE(rowsHaveInk(c, 1, 1)) << c;
            EXPECT_TRUE(rowsHaveInk(c, 9, 9)) << c;
        }
    // Small letters: x-height letters start in row 4, ascenders above it;
    // all but the descenders end on the baseline.
    for (char c : std::string_view("acegmnopqrsuvwxyz")) EXPECT_FALSE(rowsHaveInk(c, 1, 3)) << c;
    for (char c : std::string_view("bdfhklt")) EXPECT_TRUE(rowsHaveInk(c, 1, 2)) << c;
    for (char c = 'a'; c <= 'z'; ++c) {
        EXPECT_TRUE(rowsHaveInk(c, 4, 4)) << c;
        if (descending.find(c) == std::string_view::npos) { EXPECT_TRUE(rowsHaveInk(c, 9, 9)) << c; }
    }
}

// An accented small letter is its base letter with an accent in rows 1..2.
TEST(Font8x12, AccentedSmallLettersKeepTheirBaseLetter) {
    const struct {
        int code;
        char base;
    } accented[] = {{129, 'u'}, {130, 'e'}, {131, 'a'}, {132, 'a'}, {133, 'a'}, {134, 'a'}, {136, 'e'},
                    {137, 'e'}, {138, 'e'}, {139, 'i'}, {140, 'i'}, {141, 'i'}, {147, 'o'}, {148, 'o'},
                    {149, 'o'}, {150, 'u'}, {151, 'u'}, {152, 'y'}, {160, 'a'}, {161, 'i'}, {162, 'o'},
                    {163, 'u'}, {164, 'n'}, {135, 'c'}};
    for (const auto& a : accented) {
        SCOPED_TRACE(testing::Message() << "code " << a.code);
        const Rows g = glyph(a.code);
        const Rows base = glyph(a.base);
        const int lastShared = a.code == 135 ? 9 : 11;  // ç adds a cedilla below
        for (int y = 4; y <= lastShared; ++y) EXPECT_EQ(g[y], base[y]) << "row " << y;
        if (a.code != 135) { EXPECT_TRUE(rowsHaveInk(a.code, 1, 2)); }
    }
    EXPECT_TRUE(rowsHaveInk(135, 10, 11));
}

// Beyond ASCII, only the letters that have a descender (Ç ç ÿ ƒ µ) reach
// rows 10 and 11 among the letters and signs of 128..175 and 224..254.
TEST(Font8x12, ExtendedLettersDescendOnlyWhereTheyShould) {
    const std::vector<int> descenders = {128, 135, 152, 159, 230, 244};  // 244: joins 245 below
    for (int c = 128; c < 255; ++c) {
        if (c > 175 && c < 224) continue;
        const bool expected = std::find(descenders.begin(), descenders.end(), c) != descenders.end();
        EXPECT_EQ(rowsHaveInk(c, 10, 11), expected) << "code " << c;
    }
}

// The lines leaving each box-drawing cell, written from the characters'
// Unicode names: up, down, left, right; '-' none, 's' single, 'd' double.
struct Box {
    int code;
    const char* arms;
};
constexpr Box boxes[] = {
    {179, "ss--"}, {180, "sss-"}, {181, "ssd-"}, {182, "dds-"}, {183, "-ds-"}, {184, "-sd-"}, {185, "ddd-"},
    {186, "dd--"}, {187, "-dd-"}, {188, "d-d-"}, {189, "d-s-"}, {190, "s-d-"}, {191, "-ss-"}, {192, "s--s"},
    {193, "s-ss"}, {194, "-sss"}, {195, "ss-s"}, {196, "--ss"}, {197, "ssss"}, {198, "ss-d"}, {199, "dd-s"},
    {200, "d--d"}, {201, "-d-d"}, {202, "d-dd"}, {203, "-ddd"}, {204, "dd-d"}, {205, "--dd"}, {206, "dddd"},
    {207, "s-dd"}, {208, "d-ss"}, {209, "-sdd"}, {210, "-dss"}, {211, "d--s"}, {212, "s--d"}, {213, "-s-d"},
    {214, "-d-s"}, {215, "ddss"}, {216, "ssdd"}, {217, "s-s-"}, {218, "-s-s"},
};

// Where a line crosses an edge: columns 3-4 (single) or 2 and 5 (double) on
// the top and bottom edges, rows 5-6 or 4 and 7 on the left and right edges.
unsigned verticalEdge(char arm) { return arm == 's' ? 0x18u : arm == 'd' ? 0x24u : 0u; }
unsigned horizontalEdge(char arm) { return arm == 's' ? 0x060u : arm == 'd' ? 0x090u : 0u; }

// Each line crosses its edge where it should and nothing else touches an
// edge; and on both sides of every join (a cell's line leaving through an
// edge, its neighbour's line of the same kind entering through the facing
// one) the ink lines up pixel for pixel.
TEST(Font8x12, BoxDrawingLinesMeetTheEdgesAndJoinTheirNeighbours) {
    for (const Box& a : boxes) {
        SCOPED_TRACE(testing::Message() << "code " << a.code << " arms " << a.arms);
        EXPECT_EQ(font8x12[12 * a.code + 0], verticalEdge(a.arms[0]));
        EXPECT_EQ(font8x12[12 * a.code + 11], verticalEdge(a.arms[1]));
        EXPECT_EQ(column(a.code, 0), horizontalEdge(a.arms[2]));
        EXPECT_EQ(column(a.code, 7), horizontalEdge(a.arms[3]));
        for (const Box& b : boxes) {
            if (a.arms[3] != '-' && a.arms[3] == b.arms[2]) {
                EXPECT_EQ(column(a.code, 7), column(b.code, 0)) << "left of " << b.code;
            }
            if (a.arms[1] != '-' && a.arms[1] == b.arms[0]) {
                EXPECT_EQ(font8x12[12 * a.code + 11], font8x12[12 * b.code]) << "above " << b.code;
            }
        }
    }
    // The integral halves join each other the way a single line does.
    EXPECT_EQ(font8x12[12 * 244 + 11], 0x18u);
    EXPECT_EQ(font8x12[12 * 245 + 0], 0x18u);
}

// No loose pixels: every connected stroke of a box-drawing glyph reaches an
// edge of the cell.
TEST(Font8x12, BoxDrawingStrokesAllReachAnEdge) {
    for (const Box& b : boxes) {
        SCOPED_TRACE(testing::Message() << "code " << b.code);
        int label[12][8] = {};
        int pieces = 0;
        for (int y0 = 0; y0 < 12; ++y0)
            for (int x0 = 0; x0 < 8; ++x0) {
                if (!fontPixel(b.code, x0, y0) || label[y0][x0]) continue;
                ++pieces;
                bool touchesEdge = false;
                std::vector<std::pair<int, int>> stack{{x0, y0}};
                label[y0][x0] = pieces;
                while (!stack.empty()) {
                    const auto [x, y] = stack.back();
                    stack.pop_back();
                    touchesEdge |= x == 0 || x == 7 || y == 0 || y == 11;
                    const int next[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
                    for (const auto& n : next)
                        if (n[0] >= 0 && n[0] < 8 && n[1] >= 0 && n[1] < 12 && !label[n[1]][n[0]] &&
                            fontPixel(b.code, n[0], n[1])) {
                            label[n[1]][n[0]] = pieces;
                            stack.push_back({n[0], n[1]});
                        }
                }
                EXPECT_TRUE(touchesEdge) << "a stroke starting at " << x0 << "," << y0;
            }
        // A single line that stops at a double line passing straight through
        // (╟ ╢ ╤ ╧) meets only its nearer strand; every other glyph with a
        // single line is one piece.
        const std::string_view arms = b.arms;
        const bool doubleThrough = arms.substr(0, 2) == "dd" || arms.substr(2, 2) == "dd";
        const bool singleThrough = arms.substr(0, 2) == "ss" || arms.substr(2, 2) == "ss";
        if (arms.find('s') != std::string_view::npos && !(doubleThrough && !singleThrough)) {
            EXPECT_EQ(pieces, 1);
        }
    }
}

}  // namespace
