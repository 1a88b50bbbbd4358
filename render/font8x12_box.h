// Internal to font8x12: the box-drawing characters 179..218, generated from
// the lines that leave each cell instead of drawn one by one, so that every
// line meets its neighbour's at the cell edge.
//
// A single line is two pixels thick and centred: columns 3 and 4 when it runs
// up or down, rows 5 and 6 when it runs left or right. A double line is two
// one-pixel strands around it: columns 2 and 5, rows 4 and 7.
#pragma once

#include <array>
#include <cstdint>

namespace vantrel {

enum class BoxLine : std::uint8_t { none, single, doubled };

// The lines leaving a cell through its top, bottom, left and right edges.
struct BoxArms {
    int code;
    BoxLine up;
    BoxLine down;
    BoxLine left;
    BoxLine right;
};

namespace box {
constexpr BoxLine o = BoxLine::none;
constexpr BoxLine s = BoxLine::single;
constexpr BoxLine d = BoxLine::doubled;
}  // namespace box

// Code, then the line through the top, bottom, left and right edge.
inline constexpr BoxArms boxArms[] = {
    {179, box::s, box::s, box::o, box::o},  // │
    {180, box::s, box::s, box::s, box::o},  // ┤
    {181, box::s, box::s, box::d, box::o},  // ╡
    {182, box::d, box::d, box::s, box::o},  // ╢
    {183, box::o, box::d, box::s, box::o},  // ╖
    {184, box::o, box::s, box::d, box::o},  // ╕
    {185, box::d, box::d, box::d, box::o},  // ╣
    {186, box::d, box::d, box::o, box::o},  // ║
    {187, box::o, box::d, box::d, box::o},  // ╗
    {188, box::d, box::o, box::d, box::o},  // ╝
    {189, box::d, box::o, box::s, box::o},  // ╜
    {190, box::s, box::o, box::d, box::o},  // ╛
    {191, box::o, box::s, box::s, box::o},  // ┐
    {192, box::s, box::o, box::o, box::s},  // └
    {193, box::s, box::o, box::s, box::s},  // ┴
    {194, box::o, box::s, box::s, box::s},  // ┬
    {195, box::s, box::s, box::o, box::s},  // ├
    {196, box::o, box::o, box::s, box::s},  // ─
    {197, box::s, box::s, box::s, box::s},  // ┼
    {198, box::s, box::s, box::o, box::d},  // ╞
    {199, box::d, box::d, box::o, box::s},  // ╟
    {200, box::d, box::o, box::o, box::d},  // ╚
    {201, box::o, box::d, box::o, box::d},  // ╔
    {202, box::d, box::o, box::d, box::d},  // ╩
    {203, box::o, box::d, box::d, box::d},  // ╦
    {204, box::d, box::d, box::o, box::d},  // ╠
    {205, box::o, box::o, box::d, box::d},  // ═
    {206, box::d, box::d, box::d, box::d},  // ╬
    {207, box::s, box::o, box::d, box::d},  // ╧
    {208, box::d, box::o, box::s, box::s},  // ╨
    {209, box::o, box::s, box::d, box::d},  // ╤
    {210, box::o, box::d, box::s, box::s},  // ╥
    {211, box::d, box::o, box::o, box::s},  // ╙
    {212, box::s, box::o, box::o, box::d},  // ╘
    {213, box::o, box::s, box::o, box::d},  // ╒
    {214, box::o, box::d, box::o, box::s},  // ╓
    {215, box::d, box::d, box::s, box::s},  // ╫
    {216, box::s, box::s, box::d, box::d},  // ╪
    {217, box::s, box::o, box::s, box::o},  // ┘
    {218, box::o, box::s, box::o, box::s},  // ┌
};

namespace box {

struct Canvas {
    std::array<std::uint8_t, 12> rows{};
    constexpr void across(int row, int fromColumn, int toColumn) {
        for (int x = fromColumn; x <= toColumn; ++x) rows[row] |= static_cast<std::uint8_t>(1u << x);
    }
    constexpr void down(int column, int fromRow, int toRow) {
        for (int y = fromRow; y <= toRow; ++y) rows[y] |= static_cast<std::uint8_t>(1u << column);
    }
};

// Where the lines of each kind lie.
constexpr int singleColumns[] = {3, 4};
constexpr int singleRows[] = {5, 6};
constexpr int doubleColumns[] = {2, 5};
constexpr int doubleRows[] = {4, 7};

// Two double lines meeting: each strand turns the corner into the strand of
// the other line on the same side, so a corner nests an inner and an outer
// turn and a crossing leaves four separate turns. A side without an arm is
// closed by the strand that runs along it.
constexpr void drawDoubleJoin(Canvas& c, const BoxArms& a) {
    const bool up = a.up != o, dn = a.down != o, lt = a.left != o, rt = a.right != o;
    for (int x : doubleColumns) {
        if (up) c.down(x, 0, 4);
        if (dn) c.down(x, 7, 11);
    }
    for (int y : doubleRows) {
        if (lt) c.across(y, 0, 2);
        if (rt) c.across(y, 5, 7);
    }
    if (!lt) c.down(2, 4, 7);
    if (!rt) c.down(5, 4, 7);
    if (!up) c.across(4, 2, 5);
    if (!dn) c.across(7, 2, 5);
}

// A vertical line of kind `v` meeting a horizontal one of kind `h` (not both
// double). A line that passes straight through is drawn whole. A line that
// ends in the other reaches the other's nearer strand when the other passes
// through (a tee), and its farther strand when both turn (a corner).
constexpr void drawMixedJoin(Canvas& c, const BoxArms& a, BoxLine v, BoxLine h) {
    const bool up = a.up != o, dn = a.down != o, lt = a.left != o, rt = a.right != o;
    const bool vThrough = up && dn, hThrough = lt && rt;
    const int* vCols = v == s ? singleColumns : doubleColumns;
    const int* hRows = h == s ? singleRows : doubleRows;
    const int top = hRows[0], bottom = hRows[1];
    const int leftmost = vCols[0], rightmost = vCols[1];

    for (int i = 0; i < 2; ++i) {
        const int x = vCols[i];
        if (vThrough) c.down(x, 0, 11);
        else if (up) c.down(x, 0, hThrough ? top : bottom);
        else c.down(x, hThrough ? bottom : top, 11);
    }
    for (int i = 0; i < 2; ++i) {
        const int y = hRows[i];
        if (hThrough) c.across(y, 0, 7);
        else if (lt) c.across(y, 0, vThrough ? leftmost : rightmost);
        else c.across(y, vThrough ? rightmost : leftmost, 7);
    }
}

constexpr std::array<std::uint8_t, 12> drawBox(const BoxArms& a) {
    // Code page 437 has no cell whose opposite arms differ in kind; the
    // joins above rely on that.
    if ((a.up != o && a.down != o && a.up != a.down) || (a.left != o && a.right != o && a.left != a.right))
        throw "box arms on opposite sides must be of one kind";
    Canvas c;
    const BoxLine v = a.up != o ? a.up : a.down;
    const BoxLine h = a.left != o ? a.left : a.right;
    if (h == o) {
        for (int x : (v == s ? singleColumns : doubleColumns)) c.down(x, 0, 11);
    } else if (v == o) {
        for (int y : (h == s ? singleRows : doubleRows)) c.across(y, 0, 7);
    } else if (v == d && h == d) {
        drawDoubleJoin(c, a);
    } else {
        drawMixedJoin(c, a, v, h);
    }
    return c.rows;
}

}  // namespace box

}  // namespace vantrel
