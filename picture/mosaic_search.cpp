#include "mosaic_search.h"

#include <bit>
#include <cmath>
#include <algorithm>
#include <cstring>
#include <limits>

#include "render/cpu_features.h"

namespace vantrel {

namespace {

using Mask = std::array<std::uint8_t, mosaicCellHeight>;

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3 vec(const LinearRgb& c) { return {c.red, c.green, c.blue}; }

Vec3 linear(Rgb c) { return vec(toLinear(c)); }

// How far a cell's two colours are pushed apart (their mix kept), as a
// share of their difference, at truecolor and at 256 colours: by how much of
// the cell's variation its division leaves unexplained (u, 0..1), up to a
// most. A clean edge between two colours (u near 0) keeps its colours: the
// means are already right and a push overshoots. Where the division cuts
// across a soft edge or a gradient, each part's mean flattens the edge
// inside it, and more contrast between the parts draws the edge as the eye
// sees it, sharper. (Measured on photographs and a drawn scene against a
// fixed 0.15: at truecolor structure 0.890 to 0.894 and S-CIELAB 2.60 to
// 2.55 over the set, better on every picture; at 256 colours cell error
// 4.46 to 4.40, S-CIELAB 5.96 to 5.92, structure 0.848 to 0.851. A fixed
// share cannot serve both kinds of edge.)
constexpr float pushPerUnexplained = 1.25f;
constexpr float mostPush = 0.25f;

// The push for a division of score |A|^2/nA + |B|^2/nB, of a cell whose
// samples' weighted squares sum to `squares` and vary about their mean by
// `variation` (squares less |A + B|^2 / n).
float pushFor(float squares, float score, float variation) {
    if (!(variation > 0)) return 0;
    const float unexplained = std::clamp((squares - score) / variation, 0.0f, 1.0f);
    return std::min(mostPush, pushPerUnexplained * unexplained);
}

// How much each channel's error counts. At truecolor, where the colours are
// the parts' means whatever the shape, the shape is chosen by each channel's
// share of the luminance (sRGB primaries): the eye finds edges by their
// lightness. From a palette, the colours are chosen too, and a colour's hue
// matters as well: halfway between equal weights and the luminance shares,
// for the squares at 16 colours and for the cell's mean error at both 16 and
// 256; at 256 colours, whose cube is fine enough for the mean term to keep
// the hue, the squares are weighed by luminance, as at truecolor. (All
// measured on photographs: sharper drawn edges and nearer colour than equal
// weights; at 256, luminance for the squares gave both better figures.)
constexpr Vec3 luminanceWeight{0.2126f, 0.7152f, 0.0722f};
constexpr Vec3 paletteWeight{(1.0f + 3.0f * 0.2126f) / 2.0f, (1.0f + 3.0f * 0.7152f) / 2.0f,
                             (1.0f + 3.0f * 0.0722f) / 2.0f};

// How much the error of the cell's mean counts beside the squares (the
// header's lambda), at 256 and at 16 colours. Measured on photographs: at
// 256 colours the mean seen colour much nearer (cell error 6.1 to 4.5,
// S-CIELAB 6.8 to 6.0) for a little of the structure (0.857 to 0.848),
// more weight trading structure for colour further; at 16, whose colours
// lie too far apart for two of them to hit most means, less gain (8.25 to
// 7.9) for the same loss. (At 256 the squares are weighed by luminance,
// whose weights sum to 1, the mean by paletteWeight, whose sum to 3.)
constexpr float meanWeight256 = 1.0f / 3.0f;
constexpr float meanWeight16 = 2.0f;

// The regions whose sums a cell's search reads: 0 the whole cell; 1..7 the
// lower k eighths; 8..14 the left k eighths (k = id - 7); 15..18 the
// quadrants top left, top right, bottom left, bottom right; 19 top left
// and bottom right; 20..50 the sextant patterns 1..31 (id - 19).
constexpr int lowerRegion = 0;   // + k
constexpr int leftRegion = 7;    // + k
constexpr int quadrantRegion = 15;
constexpr int diagonalRegion = 19;
constexpr int sextantRegion = 19;  // + pattern

Mask rectangle(int x0, int y0, int x1, int y1) {
    Mask m{};
    const auto bits = static_cast<std::uint8_t>(((1u << x1) - 1u) & ~((1u << x0) - 1u));
    for (int y = y0; y < y1; ++y) m[static_cast<std::size_t>(y)] = bits;
    return m;
}

Mask regionMask(int id) {
    if (id == 0) return rectangle(0, 0, 8, 16);
    if (id <= 7) return rectangle(0, 16 - 2 * id, 8, 16);
    if (id <= 14) return rectangle(0, 0, id - leftRegion, 16);
    if (id < diagonalRegion) {
        const int q = id - quadrantRegion;
        return rectangle((q % 2) * 4, (q / 2) * 8, (q % 2) * 4 + 4, (q / 2) * 8 + 8);
    }
    if (id == diagonalRegion) {
        Mask m = rectangle(0, 0, 4, 8);
        const Mask b = rectangle(4, 8, 8, 16);
        for (std::size_t y = 0; y < m.size(); ++y) m[y] = static_cast<std::uint8_t>(m[y] | b[y]);
        return m;
    }
    return sextantMask(id - sextantRegion);
}

Mask complement(const Mask& m) {
    Mask c{};
    for (std::size_t y = 0; y < m.size(); ++y) c[y] = static_cast<std::uint8_t>(~m[y]);
    return c;
}

int pixels(const Mask& m) {
    int n = 0;
    for (std::uint8_t row : m) n += std::popcount(row);
    return n;
}

std::uint32_t rgbValue(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) | b;
}

}  // namespace

float MosaicSearch::meanWeighted(Vec3 d) {
    return d.x * d.x * paletteWeight.x + d.y * d.y * paletteWeight.y + d.z * d.z * paletteWeight.z;
}

MosaicSearch::MosaicSearch(const MosaicOptions& options) : options_(options) {
    weight_ = options_.mode == ColourMode::truecolor ? luminanceWeight : paletteWeight;
    // From a palette, the choice is judged by the cell's mean as well (see
    // the header); at 256 colours the shapes by lightness alone, as at
    // truecolor, since the mean term keeps the colour.
    pushApart_ = options_.mode != ColourMode::ansi16;
    if (options_.mode == ColourMode::ansi256) {
        weight_ = luminanceWeight;
        meanWeight_ = meanWeight256;
    } else if (options_.mode == ColourMode::ansi16) {
        meanWeight_ = meanWeight16;
    }
    if (static_cast<unsigned>(options_.symbols) == 0) {
        options_.symbols = defaultMosaicSymbols(options_.mode, options_.eightBackgrounds);
    }
    if (options_.mode != ColourMode::ansi16) options_.eightBackgrounds = false;
    for (const MosaicSymbol& s : mosaicSymbols(options_.symbols)) {
        // A shade shows a mix of two colours: at truecolor any mix is a colour
        // of its own, and at 256 colours the mixes are not searched.
        if (s.shade && options_.mode != ColourMode::ansi16) continue;
        symbols_.push_back(s);
    }
    for (std::size_t i = 0; i < symbols_.size(); ++i) {
        const MosaicSymbol& s = symbols_[i];
        std::array<float, side * side> ink{};
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const int top = s.mask[static_cast<std::size_t>(2 * y)] >> x & 1;
                const int bottom = s.mask[static_cast<std::size_t>(2 * y + 1)] >> x & 1;
                ink[static_cast<std::size_t>(y * side + x)] = s.shade ? s.ink : static_cast<float>(top + bottom) / 2.0f;
            }
        }
        ink_.push_back(ink);
        if (s.code == U' ') space_ = static_cast<int>(i);
        if (s.code == U'\u2588') full_ = static_cast<int>(i);
    }
    // The divisions: each shape symbol's region, or its complement's.
    std::array<int, regionCount> partitionOf{};
    partitionOf.fill(-1);
    for (std::size_t i = 0; i < symbols_.size(); ++i) {
        const MosaicSymbol& s = symbols_[i];
        if (s.shade || s.code == U' ' || s.code == U'\u2588') continue;
        for (int id = 1; id < regionCount; ++id) {
            const Mask region = regionMask(id);
            const bool inked = region == s.mask;
            if (!inked && region != complement(s.mask)) continue;
            int& p = partitionOf[static_cast<std::size_t>(id)];
            if (p < 0) {
                const float size = static_cast<float>(pixels(region)) / 2.0f;
                p = static_cast<int>(partitions_.size());
                partitions_.push_back({id, size, cellSize - size, 1.0f / size, 1.0f / (cellSize - size), -1, -1});
            }
            (inked ? partitions_[static_cast<std::size_t>(p)].inkSymbol : partitions_[static_cast<std::size_t>(p)].restSymbol) =
                static_cast<int>(i);
            if (id <= 7) rows_ = true;
            else if (id <= 14) columns_ = true;
            else if (id <= diagonalRegion) quadrants_ = true;
            else sextants_ = true;
            break;
        }
    }

    for (const Partition& p : partitions_) {
        partitionRegion_.push_back(p.region);
        partitionInvSize_.push_back(p.invSize);
        partitionInvRest_.push_back(p.invRest);
    }
    vectors_ = bestVectors();

    for (std::size_t i = 0; i < 16; ++i) {
        palette_[i] = linear(options_.palette.colours[i]);
        paletteNorm_[i] = weighted(palette_[i], palette_[i]);
    }
    constexpr int cube[6] = {0, 95, 135, 175, 215, 255};
    for (std::size_t k = 0; k < 6; ++k) cubeLevel_[k] = srgbToLinear(static_cast<std::uint8_t>(cube[k]));
    for (std::size_t k = 0; k < 5; ++k) cubeEdge_[k] = (cubeLevel_[k] + cubeLevel_[k + 1]) / 2.0f;
    for (std::size_t k = 0; k < 24; ++k) greyLevel_[k] = srgbToLinear(static_cast<std::uint8_t>(8 + 10 * k));
    for (std::size_t k = 0; k < 23; ++k) greyEdge_[k] = (greyLevel_[k] + greyLevel_[k + 1]) / 2.0f;
    for (std::size_t i = 0; i < greyStart_.size(); ++i) {
        const float v = static_cast<float>(i) / levelSteps;
        for (float edge : greyEdge_) greyStart_[i] = static_cast<std::uint8_t>(greyStart_[i] + (edge < v ? 1 : 0));
        for (float edge : cubeEdge_) cubeStart_[i] = static_cast<std::uint8_t>(cubeStart_[i] + (edge < v ? 1 : 0));
    }

    if (options_.mode == ColourMode::ansi16) {
        const int backgrounds = options_.eightBackgrounds ? 8 : 16;
        const auto addSolid = [this](Vec3 colour, MosaicCell cell, int symbol, Vec3 fg, Vec3 bg) {
            solids_.push_back({colour, weighted(colour, colour), cell, symbol, fg, bg});
        };
        for (std::uint32_t i = 0; i < 16; ++i) {
            const Vec3 c = palette_[i];
            if (static_cast<int>(i) < backgrounds) addSolid(c, {U' ', i, i}, space_, c, c);
            else addSolid(c, {U'\u2588', i, 0}, full_, c, palette_[0]);
        }
        for (std::size_t s = 0; s < symbols_.size(); ++s) {
            if (!symbols_[s].shade) continue;
            const float t = symbols_[s].ink;
            for (std::uint32_t f = 0; f < 16; ++f) {
                for (std::uint32_t b = 0; b < static_cast<std::uint32_t>(backgrounds); ++b) {
                    if (f == b) continue;
                    // ▓ over f, b is ░ over b, f when f may be a background.
                    if (t > 0.5f && static_cast<int>(f) < backgrounds) continue;
                    const Vec3 mix = palette_[f] * t + palette_[b] * (1.0f - t);
                    addSolid(mix, {symbols_[s].code, f, b}, static_cast<int>(s), palette_[f], palette_[b]);
                }
            }
        }
    }

    for (const Solid& solid : solids_) {
        solidRed_.push_back(solid.colour.x);
        solidGreen_.push_back(solid.colour.y);
        solidBlue_.push_back(solid.colour.z);
        solidNorm_.push_back(cellSize * solid.norm);
    }
    for (std::size_t i = 0; i < 16; ++i) {
        paletteRed_[i] = palette_[i].x;
        paletteGreen_[i] = palette_[i].y;
        paletteBlue_[i] = palette_[i].z;
    }

    // The sRGB encoding: a start from the table, then a step or two up.
    for (std::size_t b = 0; b < encodeEdge_.size(); ++b) {
        // The least float x with linearToSrgb(x) > b: positive floats order
        // as their bit patterns do.
        std::uint32_t lo = 0, hi = std::bit_cast<std::uint32_t>(1.0f);
        while (lo < hi) {
            const std::uint32_t mid = lo + (hi - lo) / 2;
            if (linearToSrgb(std::bit_cast<float>(mid)) > b) hi = mid;
            else lo = mid + 1;
        }
        encodeEdge_[b] = std::bit_cast<float>(lo);
    }
    for (std::size_t i = 0; i < encodeStart_.size(); ++i) {
        encodeStart_[i] = linearToSrgb(static_cast<float>(i) / 4096.0f);
    }
}

std::uint8_t MosaicSearch::encode(float linear) const {
    if (!(linear > 0.0f)) return 0;
    if (linear >= 1.0f) return 255;
    auto b = encodeStart_[static_cast<std::size_t>(linear * 4096.0f)];
    while (b < 255 && linear >= encodeEdge_[b]) ++b;
    return b;
}

Vec3 MosaicSearch::shown(std::uint32_t value) const {
    switch (options_.mode) {
        case ColourMode::ansi16:
            return palette_[value & 15];
        case ColourMode::ansi256:
            return linear(shownColour({ColourMode::ansi256, value}));
        case ColourMode::truecolor:
            break;
    }
    return linear(shownColour({ColourMode::truecolor, value}));
}

namespace {

// Four samples side by side as 12 floats (red, green, blue, red, ...): the
// sums below work on such blocks, which the compiler does four or eight
// floats at a time, and fold each into one colour only at the end.
using Block = std::array<float, 12>;

inline Vec3 fold(const Block& b) {
    return {(b[0] + b[3]) + (b[6] + b[9]), (b[1] + b[4]) + (b[7] + b[10]), (b[2] + b[5]) + (b[8] + b[11])};
}

}  // namespace

void MosaicSearch::regionSums(const LinearRgb* samples, std::ptrdiff_t stride, Regions& sums) const {
    static_assert(sizeof(LinearRgb) == 3 * sizeof(float));
    std::array<const float*, side> row;
    for (int y = 0; y < side; ++y) row[static_cast<std::size_t>(y)] = &samples[y * stride].red;
    const auto half = [&row](int y, int h) { return row[static_cast<std::size_t>(y)] + 12 * h; };
    // The quadrants (the whole cell is their sum).
    std::array<Block, 4> quadrant{};
    for (int q = 0; q < 4; ++q) {
        Block& b = quadrant[static_cast<std::size_t>(q)];
        const float* r0 = half((q / 2) * 4, q % 2);
        const float* r1 = half((q / 2) * 4 + 1, q % 2);
        const float* r2 = half((q / 2) * 4 + 2, q % 2);
        const float* r3 = half((q / 2) * 4 + 3, q % 2);
        for (std::size_t k = 0; k < 12; ++k) b[k] = (r0[k] + r1[k]) + (r2[k] + r3[k]);
    }
    const Vec3 tl = fold(quadrant[0]), tr = fold(quadrant[1]), bl = fold(quadrant[2]), br = fold(quadrant[3]);
    sums[0] = (tl + tr) + (bl + br);
    if (quadrants_) {
        sums[quadrantRegion] = tl;
        sums[quadrantRegion + 1] = tr;
        sums[quadrantRegion + 2] = bl;
        sums[quadrantRegion + 3] = br;
        sums[diagonalRegion] = tl + br;
    }
    if (rows_) {
        Block below{};
        for (int k = 1; k <= 7; ++k) {
            const float* l = half(side - k, 0);
            const float* r = half(side - k, 1);
            for (std::size_t i = 0; i < 12; ++i) below[i] += l[i] + r[i];
            sums[static_cast<std::size_t>(lowerRegion + k)] = fold(below);
        }
    }
    if (columns_) {
        std::array<float, 24> column{};
        for (int y = 0; y < side; ++y) {
            const float* r = row[static_cast<std::size_t>(y)];
            for (std::size_t i = 0; i < 24; ++i) column[i] += r[i];
        }
        Vec3 toLeft{0, 0, 0};
        for (std::size_t k = 1; k <= 7; ++k) {
            toLeft = toLeft + Vec3{column[3 * k - 3], column[3 * k - 2], column[3 * k - 1]};
            sums[leftRegion + k] = toLeft;
        }
    }
    if (sextants_) {
        // Rows of 5, 6 and 5 pixels: sample rows 2 and 5 are split between two.
        std::array<Block, 5> cell{};
        for (int h = 0; h < 2; ++h) {
            const float* r0 = half(0, h);
            const float* r1 = half(1, h);
            const float* r2 = half(2, h);
            const float* r3 = half(3, h);
            const float* r4 = half(4, h);
            const float* r5 = half(5, h);
            const float* r6 = half(6, h);
            const float* r7 = half(7, h);
            Block& top = cell[static_cast<std::size_t>(h)];
            for (std::size_t i = 0; i < 12; ++i) top[i] = (r0[i] + r1[i]) + r2[i] * 0.5f;
            Block& middle = cell[static_cast<std::size_t>(2 + h)];
            for (std::size_t i = 0; i < 12; ++i) middle[i] = (r2[i] * 0.5f + r3[i]) + (r4[i] + r5[i] * 0.5f);
            if (h == 0) {
                Block& bottom = cell[4];
                for (std::size_t i = 0; i < 12; ++i) bottom[i] = r5[i] * 0.5f + (r6[i] + r7[i]);
            }
        }
        std::array<Vec3, 32> pattern{};
        for (unsigned p = 1; p < 32; ++p) {
            pattern[p] = pattern[p & (p - 1)] + fold(cell[static_cast<std::size_t>(std::countr_zero(p))]);
            sums[sextantRegion + p] = pattern[p];
        }
    }
}

float MosaicSearch::sampleSquares(const LinearRgb* samples, std::ptrdiff_t stride) const {
    float sum = 0;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const Vec3 v = vec(samples[y * stride + x]);
            sum += weighted(v, v);
        }
    }
    return sum;
}

int MosaicSearch::pickDivision(const Regions& sums, float& score) const {
    const Vec3 total = sums[0];
    float best = weighted(total, total) / cellSize;
    int chosen = -1;
    for (std::size_t i = 0; i < partitions_.size(); ++i) {
        const Partition& p = partitions_[i];
        const Vec3 a = sums[static_cast<std::size_t>(p.region)];
        const Vec3 b = total - a;
        const float s = weighted(a, a) * p.invSize + weighted(b, b) * p.invRest;
        if (s > best) {
            best = s;
            chosen = static_cast<int>(i);
        }
    }
    score = best;
    return chosen;
}

MosaicSearch::Choice MosaicSearch::finishTruecolor(Vec3 total, Vec3 a, int partition, float score, float squares,
                                                   Vec3 curvedTotal) const {
    const auto value = [this](Vec3 c) { return rgbValue(encode(c.x), encode(c.y), encode(c.z)); };
    Choice choice;
    if (partition < 0) {
        const Vec3 mean = total * (1.0f / cellSize);
        const std::uint32_t v = value(mean);
        choice.cell = {U' ', v, v};
        choice.symbol = space_;
        choice.foreground = choice.background = mean;
        return choice;
    }
    const Partition* chosen = &partitions_[static_cast<std::size_t>(partition)];
    Vec3 inked = a * chosen->invSize;
    Vec3 rest = (total - a) * chosen->invRest;
    // The means pushed apart, the cell's mean light kept: the mean of each
    // part flattens the edge inside it, and a little more contrast between
    // the parts draws the picture's edges as the eye sees them sharper
    // (measured by the structure of the drawn picture).
    const Vec3 apart = (inked - rest) * pushFor(squares, score, squares - weighted(curvedTotal, curvedTotal) / cellSize);
    const auto clip = [](Vec3 v) {
        return Vec3{std::clamp(v.x, 0.0f, 1.0f), std::clamp(v.y, 0.0f, 1.0f), std::clamp(v.z, 0.0f, 1.0f)};
    };
    inked = clip(inked + apart * (chosen->restSize / cellSize));
    rest = clip(rest - apart * (chosen->size / cellSize));
    choice.symbol = chosen->inkSymbol;
    if (choice.symbol < 0) {
        choice.symbol = chosen->restSymbol;
        std::swap(inked, rest);
    }
    choice.cell = {symbols_[static_cast<std::size_t>(choice.symbol)].code, value(inked), value(rest)};
    choice.foreground = inked;
    choice.background = rest;
    return choice;
}

MosaicSearch::Nearest MosaicSearch::nearest256(Vec3 sum, float size, Vec3 weight) const {
    const auto weighted = [weight](Vec3 a, Vec3 b) { return a.x * b.x * weight.x + a.y * b.y * weight.y + a.z * b.z * weight.z; };
    const Vec3 mean = sum * (1.0f / size);
    // The number of edges below a value: the nearest level, the lower on a tie.
    const auto level = [this](float v) {
        return static_cast<int>(std::lower_bound(cubeEdge_.begin(), cubeEdge_.end(), v) - cubeEdge_.begin());
    };
    const int r = level(mean.x), g = level(mean.y), b = level(mean.z);
    const Vec3 cube{cubeLevel_[static_cast<std::size_t>(r)], cubeLevel_[static_cast<std::size_t>(g)],
                    cubeLevel_[static_cast<std::size_t>(b)]};
    const float cubeCost = size * weighted(cube, cube) - 2.0f * weighted(sum, cube);
    const float weights = weight.x + weight.y + weight.z;
    const float grey = weighted(mean, {1, 1, 1}) / weights;
    const auto k = static_cast<int>(std::lower_bound(greyEdge_.begin(), greyEdge_.end(), grey) - greyEdge_.begin());
    const float g1 = greyLevel_[static_cast<std::size_t>(k)];
    const Vec3 greyColour{g1, g1, g1};
    const float greyCost = size * weights * g1 * g1 - 2.0f * g1 * weighted(sum, {1, 1, 1});
    if (greyCost < cubeCost) return {static_cast<std::uint32_t>(232 + k), greyCost, greyColour};
    return {static_cast<std::uint32_t>(16 + 36 * r + 6 * g + b), cubeCost, cube};
}

void MosaicSearch::nearest16(Vec3 sum, float size, Nearest& any, Nearest& dark) const {
    // All sixteen costs at once (the compiler does them four or eight at a
    // time), then the least.
    const Vec3 w{2.0f * sum.x * weight_.x, 2.0f * sum.y * weight_.y, 2.0f * sum.z * weight_.z};
    std::array<float, 16> cost;
    for (std::size_t i = 0; i < 16; ++i) {
        cost[i] = size * paletteNorm_[i] - (w.x * paletteRed_[i] + w.y * paletteGreen_[i] + w.z * paletteBlue_[i]);
    }
    std::uint32_t best = 0;
    for (std::uint32_t i = 1; i < 8; ++i)
        if (cost[i] < cost[best]) best = i;
    dark = {best, cost[best], palette_[best]};
    for (std::uint32_t i = 8; i < 16; ++i)
        if (cost[i] < cost[best]) best = i;
    any = {best, cost[best], palette_[best]};
}

MosaicSearch::Choice MosaicSearch::choosePalette(const Regions& sums, float squares) const {
    const Vec3 total = sums[0];
    const float variation = squares - weighted(total, total) / cellSize;
    const bool xterm = options_.mode == ColourMode::ansi256;
    Choice choice;
    float best = std::numeric_limits<float>::infinity();
    if (xterm) {
        // One colour c costs cellSize |c - m|^2 in both terms: the nearest
        // by their weights together.
        const Vec3 both = weight_ + paletteWeight * meanWeight_;
        const Nearest n = nearest256(total, cellSize, both);
        const float spread = (total.x * total.x * both.x + total.y * total.y * both.y + total.z * total.z * both.z) / cellSize;
        best = n.cost + spread - weighted(total, total) / cellSize;
        choice.cell = {U' ', n.value, n.value};
        choice.symbol = space_;
        choice.foreground = choice.background = n.colour;
    } else {
        // Every solid's cost at once, then the least.
        const Vec3 w{2.0f * total.x * weight_.x, 2.0f * total.y * weight_.y, 2.0f * total.z * weight_.z};
        const std::size_t count = solids_.size();
        // Four solids at a time, each lane keeping its least (the first on
        // a tie), then the least of the lanes (on a tie the first solid):
        // the solid a scan in order finds. Each cost is the same operations
        // as one at a time. (There are always the sixteen solid colours.)
        using Floats = float __attribute__((vector_size(16)));
        using Ints = std::int32_t __attribute__((vector_size(16)));
        const auto load = [](const float* p) {
            Floats v;
            std::memcpy(&v, p, sizeof v);
            return v;
        };
        const Floats wx{w.x, w.x, w.x, w.x}, wy{w.y, w.y, w.y, w.y}, wz{w.z, w.z, w.z, w.z};
        const auto costsAt = [&](std::size_t i) {
            return load(&solidNorm_[i]) -
                   (wx * load(&solidRed_[i]) + wy * load(&solidGreen_[i]) + wz * load(&solidBlue_[i]));
        };
        Floats leastCost = costsAt(0);
        Ints leastIndex{0, 1, 2, 3};
        Ints index = leastIndex;
        const Ints four{4, 4, 4, 4};
        std::size_t i = 4;
        for (; i + 4 <= count; i += 4) {
            const Floats c = costsAt(i);
            index += four;
            const Ints less = c < leastCost;
            leastCost = (Floats)(((Ints)c & less) | ((Ints)leastCost & ~less));
            leastIndex = (index & less) | (leastIndex & ~less);
        }
        std::size_t least = static_cast<std::size_t>(leastIndex[0]);
        float leastValue = leastCost[0];
        for (int lane = 1; lane < 4; ++lane) {
            const auto at = static_cast<std::size_t>(leastIndex[lane]);
            if (leastCost[lane] < leastValue || (leastCost[lane] == leastValue && at < least)) {
                least = at;
                leastValue = leastCost[lane];
            }
        }
        for (; i < count; ++i) {
            const float c = solidNorm_[i] - (w.x * solidRed_[i] + w.y * solidGreen_[i] + w.z * solidBlue_[i]);
            if (c < leastValue) {
                least = i;
                leastValue = c;
            }
        }
        const Solid& s = solids_[least];
        best = leastValue;
        choice.cell = s.cell;
        choice.symbol = s.symbol;
        choice.foreground = s.foreground;
        choice.background = s.background;
    }
    // The errors from here on are the drawn error less the cell's sum of
    // squares: the solid's is size |c - m|^2 (1 + meanWeight) - |S|^2 / size.
    const float meanShare = meanWeight_ / cellSize;
    if (!xterm) {  // (both terms weigh the channels alike)
        const float spread = weighted(total, total) / cellSize;
        best = (best + spread) * (1.0f + meanWeight_) - spread;
    }
    std::array<Candidate, maxCandidates> inked, rest;
    // The least error each division can have (at its parts' means); the
    // least of them first, so that the best so far soon bounds the rest.
    std::array<float, maxPartitions> bases;
    const int partitions = static_cast<int>(partitions_.size());
    int first = 0;
    for (int i = 0; i < partitions; ++i) {
        const Partition& p = partitions_[static_cast<std::size_t>(i)];
        const Vec3 a = sums[static_cast<std::size_t>(p.region)];
        const Vec3 b = total - a;
        bases[static_cast<std::size_t>(i)] = -(weighted(a, a) * p.invSize + weighted(b, b) * p.invRest);
        if (bases[static_cast<std::size_t>(i)] < bases[static_cast<std::size_t>(first)]) first = i;
    }
    for (int k = partitions > 0 ? -1 : 0; k < partitions; ++k) {
        if (k == first) continue;
        const int index = k < 0 ? first : k;
        const float base = bases[static_cast<std::size_t>(index)];
        if (base >= best) continue;
        const Partition& p = partitions_[static_cast<std::size_t>(index)];
        Vec3 a = sums[static_cast<std::size_t>(p.region)];
        Vec3 b = total - a;
        if (pushApart_) {
            const float push = pushFor(squares, -base, variation);
            const Vec3 apart = (a * p.invSize - b * p.invRest) * (push * p.size * p.restSize / cellSize);
            a = a + apart;
            b = b - apart;
        }
        // Each part's nearest colour bounds what the other may cost.
        Part partA, partB;
        prepare(a, p.size, partA);
        if (base + partA.least >= best) continue;
        prepare(b, p.restSize, partB);
        if (base + partA.least + partB.least >= best) continue;
        // The pair f (over the region), g (the rest), whose squares are given.
        const auto consider = [&](const Candidate& f, const Candidate& g, float squares) {
            // A shape in one colour is the solid cell, already weighed.
            if (f.value == g.value) return;
            bool inkFirst;
            if (options_.eightBackgrounds) {
                if (p.inkSymbol >= 0 && g.value < 8) inkFirst = true;
                else if (p.restSymbol >= 0 && f.value < 8) inkFirst = false;
                else return;
            } else {
                inkFirst = p.inkSymbol >= 0;
            }
            const Vec3 off = f.excess + g.excess;
            const float cost = squares + meanShare * meanWeighted(off);
            if (cost < best) {
                best = cost;
                const int symbol = inkFirst ? p.inkSymbol : p.restSymbol;
                const Candidate& fg = inkFirst ? f : g;
                const Candidate& bg = inkFirst ? g : f;
                choice.cell = {symbols_[static_cast<std::size_t>(symbol)].code, fg.value, bg.value};
                choice.symbol = symbol;
                choice.foreground = fg.colour;
                choice.background = bg.colour;
            }
        };
        // The two nearest first: their mean error, often small, then bounds
        // how far from its mean either part's colour may go.
        consider(partA.nearest, partB.nearest, base + partA.least + partB.least);
        const int nb = gather(partB, best - base - partA.least, rest.data());
        if (nb == 0) continue;
        const int na = gather(partA, best - base - rest[0].cost, inked.data());
        for (int i = 0; i < na; ++i) {
            const Candidate& f = inked[static_cast<std::size_t>(i)];
            if (base + f.cost + rest[0].cost >= best) break;
            for (int j = 0; j < nb; ++j) {
                const Candidate& g = rest[static_cast<std::size_t>(j)];
                const float squares = base + f.cost + g.cost;
                if (squares >= best) break;
                consider(f, g, squares);
            }
        }
    }
    return choice;
}

void MosaicSearch::prepare(Vec3 sum, float size, Part& part) const {
    part.size = size;
    part.mean = sum * (1.0f / size);
    const Vec3 m = part.mean;
    if (options_.mode == ColourMode::ansi16) {
        // All sixteen costs (the compiler does them several at a time), then the least.
        const Vec3 w = weight_ * size;
        for (std::size_t i = 0; i < 16; ++i) {
            const float dr = paletteRed_[i] - m.x, dg = paletteGreen_[i] - m.y, db = paletteBlue_[i] - m.z;
            part.colourCost[i] = w.x * dr * dr + w.y * dg * dg + w.z * db * db;
        }
        std::size_t nearest = 0;
        for (std::size_t i = 1; i < 16; ++i)
            if (part.colourCost[i] < part.colourCost[nearest]) nearest = i;
        const float least = part.colourCost[nearest];
        part.nearest.value = static_cast<std::uint32_t>(nearest);
        part.least = least;
        part.nearest.cost = least;
        part.nearest.colour = palette_[part.nearest.value];
        part.nearest.excess = (part.nearest.colour - m) * size;
        return;
    }
    // Each channel's nearest cube level (the number of edges below the
    // value: a start by table, then a step or two) and its cost.
    const auto channel = [&](float v, float w, int& near) {
        near = cubeStart_[static_cast<std::size_t>(std::clamp(v, 0.0f, 1.0f) * levelSteps)];
        while (near < 5 && cubeEdge_[static_cast<std::size_t>(near)] < v) ++near;
        const float d = cubeLevel_[static_cast<std::size_t>(near)] - v;
        return size * w * d * d;
    };
    const float cube = channel(m.x, weight_.x, part.nearRed) + channel(m.y, weight_.y, part.nearGreen) +
                       channel(m.z, weight_.z, part.nearBlue);
    // A grey l costs size (W (l - g)^2) + C, g the weighted mean of the
    // channels and C what no grey can remove.
    const float weights = weight_.x + weight_.y + weight_.z;
    const float grey = weighted(m, {1, 1, 1}) / weights;
    part.greyFloor = size * (weighted(m, m) - weights * grey * grey);
    // The number of edges below the grey: a start by table, then a step or two.
    int near = greyStart_[static_cast<std::size_t>(std::clamp(grey, 0.0f, 1.0f) * levelSteps)];
    while (near < 23 && greyEdge_[static_cast<std::size_t>(near)] < grey) ++near;
    part.nearGrey = near;
    const float l = greyLevel_[static_cast<std::size_t>(near)];
    const Vec3 d = Vec3{l, l, l} - m;
    const float greyCost = size * weighted(d, d);
    Candidate& n = part.nearest;
    if (greyCost < cube) {
        n = {static_cast<std::uint32_t>(232 + near), greyCost, d * size, {l, l, l}};
    } else {
        n.value = static_cast<std::uint32_t>(16 + 36 * part.nearRed + 6 * part.nearGreen + part.nearBlue);
        n.cost = cube;
        n.colour = {cubeLevel_[static_cast<std::size_t>(part.nearRed)], cubeLevel_[static_cast<std::size_t>(part.nearGreen)],
                    cubeLevel_[static_cast<std::size_t>(part.nearBlue)]};
        n.excess = (n.colour - m) * size;
    }
    part.least = n.cost;
}

int MosaicSearch::gather(const Part& part, float budget, Candidate* out) const {
    if (!(budget >= part.least)) return 0;
    const Vec3 mean = part.mean;
    const float size = part.size;
    int n = 0;
    const auto add = [&](std::uint32_t value, Vec3 colour, float cost) {
        // Kept in order of cost (insertion; the lists are short).
        int at = n++;
        while (at > 0 && out[at - 1].cost > cost) {
            out[at] = out[at - 1];
            --at;
        }
        out[at] = {value, cost, (colour - mean) * size, colour};
    };
    if (options_.mode == ColourMode::ansi16) {
        for (std::uint32_t i = 0; i < 16; ++i) {
            if (part.colourCost[i] <= budget) add(i, palette_[i], part.colourCost[i]);
        }
        return n;
    }
    // The cube, channel by channel: the levels each channel can afford, out
    // from the nearest (the cost grows with the distance from the mean).
    std::array<int, 6> redAt, greenAt, blueAt;
    std::array<float, 6> red, green, blue;
    const auto levels = [&](float v, float w, int near, std::array<float, 6>& cost, std::array<int, 6>& at) {
        const float scale = size * w;
        int count = 0;
        const auto affords = [&](int k) {
            const float d = cubeLevel_[static_cast<std::size_t>(k)] - v;
            const float c = scale * d * d;
            if (c > budget) return false;
            cost[static_cast<std::size_t>(count)] = c;
            at[static_cast<std::size_t>(count++)] = k;
            return true;
        };
        for (int k = near; k >= 0 && affords(k); --k) {
        }
        for (int k = near + 1; k < 6 && affords(k); ++k) {
        }
        return count;
    };
    const int nr = levels(mean.x, weight_.x, part.nearRed, red, redAt);
    const int ng = nr == 0 ? 0 : levels(mean.y, weight_.y, part.nearGreen, green, greenAt);
    const int nbl = ng == 0 ? 0 : levels(mean.z, weight_.z, part.nearBlue, blue, blueAt);
    for (int i = 0; i < nr; ++i) {
        const int r = redAt[static_cast<std::size_t>(i)];
        for (int j = 0; j < ng; ++j) {
            const int g = greenAt[static_cast<std::size_t>(j)];
            const float rg = red[static_cast<std::size_t>(i)] + green[static_cast<std::size_t>(j)];
            if (rg > budget) continue;
            for (int k = 0; k < nbl; ++k) {
                const int b = blueAt[static_cast<std::size_t>(k)];
                const float cost = rg + blue[static_cast<std::size_t>(k)];
                if (cost > budget) continue;
                add(static_cast<std::uint32_t>(16 + 36 * r + 6 * g + b),
                    {cubeLevel_[static_cast<std::size_t>(r)], cubeLevel_[static_cast<std::size_t>(g)],
                     cubeLevel_[static_cast<std::size_t>(b)]},
                    cost);
            }
        }
    }
    // The greys, out from the nearest.
    if (part.greyFloor > budget) return n;
    const auto tryGrey = [&](int k) {
        const float l = greyLevel_[static_cast<std::size_t>(k)];
        const Vec3 d = Vec3{l, l, l} - mean;
        const float cost = size * weighted(d, d);
        if (cost > budget) return false;
        add(static_cast<std::uint32_t>(232 + k), {l, l, l}, cost);
        return true;
    };
    for (int k = part.nearGrey; k >= 0 && tryGrey(k); --k) {
    }
    for (int k = part.nearGrey + 1; k < 24 && tryGrey(k); ++k) {
    }
    return n;
}

MosaicSearch::Choice MosaicSearch::choose(const LinearRgb* samples, std::ptrdiff_t stride) const {
    Regions sums;
    regionSums(samples, stride, sums);
    if (options_.mode != ColourMode::truecolor) {
        return choosePalette(sums, pushApart_ ? sampleSquares(samples, stride) : 0.0f);
    }
    std::array<LinearRgb, side * side> curved;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const LinearRgb& v = samples[y * stride + x];
            curved[static_cast<std::size_t>(y * side + x)] = {curve(v.red), curve(v.green), curve(v.blue)};
        }
    }
    Regions curvedSums;
    regionSums(curved.data(), side, curvedSums);
    float score;
    const int partition = pickDivision(curvedSums, score);
    const Vec3 region = sums[partition < 0 ? 0 : static_cast<std::size_t>(partitions_[static_cast<std::size_t>(partition)].region)];
    return finishTruecolor(sums[0], region, partition, score, sampleSquares(curved.data(), side), curvedSums[0]);
}

MosaicVectors MosaicSearch::bestVectors() {
#if !defined(_WIN32)
    // (Not on Windows, where GCC does not keep the stack aligned for the
    // 32-byte vectors the AVX2 kernel keeps there.)
    if (cpuHasAvx2()) return MosaicVectors::avx2;
#endif
    if (cpuHasSse2()) return MosaicVectors::sse2;
    return MosaicVectors::none;
}

void MosaicSearch::chooseRow(const LinearRgb* samples, std::ptrdiff_t stride, int count, MosaicCell* cells) const {
    int c = 0;
#if defined(__x86_64__) || defined(__i386__)
    if (vectors_ != MosaicVectors::none) {
        const MosaicKernelTables tables{{weight_.x, weight_.y, weight_.z},
                                        static_cast<int>(partitions_.size()),
                                        partitionRegion_.data(),
                                        partitionInvSize_.data(),
                                        partitionInvRest_.data(),
                                        rows_,
                                        columns_,
                                        quadrants_,
                                        sextants_};
        const bool avx2 = vectors_ == MosaicVectors::avx2;
        const int lanes = avx2 ? 8 : 4;
        const bool truecolor = options_.mode == ColourMode::truecolor;
        std::array<MosaicKernelResult, 8> results;
        // From a palette the sums are made here and the choice is the scalar path's.
        static_assert(sizeof(Regions) == regionCount * 3 * sizeof(float));
        std::array<Regions, 8> regions;
        float* const sums = truecolor ? nullptr : &regions[0][0].x;
        for (; c + lanes <= count; c += lanes) {
            const float* first = &samples[c * side].red;
            if (avx2) mosaicTruecolorAvx2(tables, first, stride * 3, results.data(), sums);
            else mosaicTruecolorSse2(tables, first, stride * 3, results.data(), sums);
            for (int j = 0; j < lanes; ++j) {
                if (!truecolor) {
                    cells[c + j] = choosePalette(regions[static_cast<std::size_t>(j)], results[static_cast<std::size_t>(j)].squares).cell;
                    continue;
                }
                const MosaicKernelResult& r = results[static_cast<std::size_t>(j)];
                cells[c + j] = finishTruecolor({r.total[0], r.total[1], r.total[2]}, {r.region[0], r.region[1], r.region[2]},
                                               r.partition, r.score, r.squares,
                                               {r.curvedTotal[0], r.curvedTotal[1], r.curvedTotal[2]})
                                   .cell;
            }
        }
    }
#endif
    for (; c < count; ++c) cells[c] = choose(samples + c * side, stride).cell;
}

float MosaicSearch::judgedError(const MosaicSymbol& symbol, Vec3 foreground, Vec3 background,
                                const LinearRgb* samples, std::ptrdiff_t stride) const {
    // Each part's mean, pixel by pixel, and how far the search pushes them apart.
    Vec3 sum[2] = {{0, 0, 0}, {0, 0, 0}};
    float count[2] = {0, 0};
    for (int y = 0; y < mosaicCellHeight; ++y) {
        for (int x = 0; x < mosaicCellWidth; ++x) {
            const int part = symbol.shade ? 0 : symbol.mask[static_cast<std::size_t>(y)] >> x & 1;
            sum[part] = sum[part] + vec(samples[(y / 2) * stride + x]);
            count[part] += 1;
        }
    }
    const bool shape = count[0] > 0 && count[1] > 0;
    Vec3 push[2] = {{0, 0, 0}, {0, 0, 0}};
    if (shape && pushApart_) {
        // The division's score and the samples' squares, pixel by pixel.
        float squares = 0;
        for (int y = 0; y < mosaicCellHeight; ++y) {
            for (int x = 0; x < mosaicCellWidth; ++x) {
                const Vec3 v = vec(samples[(y / 2) * stride + x]);
                squares += weighted(v, v);
            }
        }
        const Vec3 total = sum[0] + sum[1];
        const float score = weighted(sum[0], sum[0]) / count[0] + weighted(sum[1], sum[1]) / count[1];
        const float variation = squares - weighted(total, total) / 128.0f;
        const Vec3 apart = (sum[1] * (1.0f / count[1]) - sum[0] * (1.0f / count[0])) * pushFor(squares, score, variation);
        push[1] = apart * (count[0] / 128.0f);
        push[0] = apart * (-count[1] / 128.0f);
    }
    const Vec3 mix = foreground * symbol.ink + background * (1.0f - symbol.ink);
    double error = 0;
    for (int y = 0; y < mosaicCellHeight; ++y) {
        for (int x = 0; x < mosaicCellWidth; ++x) {
            const int part = symbol.shade ? 0 : symbol.mask[static_cast<std::size_t>(y)] >> x & 1;
            const Vec3 shownColour = symbol.shade ? mix : (part != 0 ? foreground : background);
            const Vec3 d = vec(samples[(y / 2) * stride + x]) + push[part] - shownColour;
            error += weighted(d, d);
        }
    }
    const Vec3 off = mix - (sum[0] + sum[1]) * (1.0f / 128.0f);
    return static_cast<float>(error / 2.0 + meanWeight_ * cellSize * meanWeighted(off));
}

float MosaicSearch::drawnError(const MosaicSymbol& symbol, Vec3 foreground, Vec3 background, const LinearRgb* samples,
                               std::ptrdiff_t stride) const {
    const Vec3 mix = foreground * symbol.ink + background * (1.0f - symbol.ink);
    double error = 0;
    for (int y = 0; y < mosaicCellHeight; ++y) {
        for (int x = 0; x < mosaicCellWidth; ++x) {
            const Vec3 shownColour =
                symbol.shade ? mix : ((symbol.mask[static_cast<std::size_t>(y)] >> x & 1) != 0 ? foreground : background);
            const Vec3 d = vec(samples[(y / 2) * stride + x]) - shownColour;
            error += weighted(d, d);
        }
    }
    return static_cast<float>(error / 2.0);
}

}  // namespace vantrel
