// Internal: the mosaic's choice of one cell. Every symbol divides the cell's
// 8x8 samples (each covering two of the drawn cell's 16 pixel rows) into the
// part its foreground covers and the rest; a division is judged by least
// squares in linear light, each channel weighted (weighted() below). For
// given colours f and b its error is
//     sum |s|^2 - 2 A.f + nA |f|^2 - 2 B.b + nB |b|^2
// with A, B the sums of the samples in the two parts and nA, nB their sizes,
// so the best f and b are each the colour nearest its part's mean, and at
// truecolor (the means themselves) the best division is the one with the
// largest |A|^2/nA + |B|^2/nB. The sums come from a few row, column and
// quadrant sums of the cell, so a division costs a few operations.
//
// At truecolor the division is chosen on the samples taken through the
// curve x (2 - x) (curve() below), and the colours are then the means of
// the parts in linear light, so that the cell's mean light stays exact.
// Least squares on linear light count an edge by its difference in light,
// so that a step between two dark tones weighs far less than an equal step
// between two bright ones; the eye sees edges by lightness, which rises
// steeply in the dark. The curve, steep at black (slope 2) and flat at
// white, weighs the dark steps up as lightness does, for two operations a
// value. (Measured against linear light on photographs and a drawn scene:
// structure 0.924 to 0.927 on a portrait, 0.949 to 0.950 on the scene, and
// S-CIELAB 2.553 to 2.534 over the set, the cell error unchanged; x^0.5 and
// 1 - (1 - x)^3 did as well, at more cost.)
//
// From a palette the choice weighs the cell's mean seen colour as well: the
// pair minimises, with m = (A + B) / n the cell's mean,
//     nA |f - mA'|^2 + nB |b - mB'|^2 + lambda n |(nA f + nB b) / n - m|^2
// (plus what no choice changes), where at 256 colours the parts' means mA',
// mB' are pushed apart, their mix kept, as at truecolor (by how much of the
// cell's variation the division leaves unexplained; not at 16 colours), and the last term is weighted as paletteWeight does. A
// solid cell of colour s costs n |s - m|^2 in both terms. Quantised on its
// own, each part's colour error adds up over the cell; this lets two
// palette colours straddle a colour the palette lacks. The search is exact
// and pruned by bounds: the division of least squares first; a division
// only when its squares with each part's nearest colour can still win; its
// pair of nearest colours first; then each part's candidates, the palette
// colours within what the best so far leaves (the cube channel by channel
// out from the nearest level, the greys out from the nearest), and every
// pair of them that can still win.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "mosaic_kernel.h"
#include "mosaic_symbols.h"
#include "vantrel/colour_mode.h"
#include "vantrel/linear_light.h"
#include "vantrel/mosaic_cell.h"
#include "vantrel/mosaic_renderer.h"

namespace vantrel {

struct Vec3 {
    float x, y, z;
};

// The instructions the truecolor search runs several cells at a time with.
enum class MosaicVectors { none, sse2, avx2 };

class MosaicSearch {
public:
    static constexpr int side = 8;
    static constexpr float cellSize = side * side;

    explicit MosaicSearch(const MosaicOptions& options);

    struct Choice {
        MosaicCell cell;
        int symbol = 0;                // index into symbols()
        Vec3 foreground{}, background{};  // as shown, in linear light
    };

    // The best cell for the 8x8 samples at `samples` (rows `stride` apart).
    Choice choose(const LinearRgb* samples, std::ptrdiff_t stride) const;
    // The best cells for `count` cells side by side (cell c's samples at
    // samples + 8 c), the same as choose() gives each: at truecolor several
    // at a time with the vector instructions chosen.
    void chooseRow(const LinearRgb* samples, std::ptrdiff_t stride, int count, MosaicCell* cells) const;

    // The best the processor runs, chosen when made; setVectors takes a
    // lesser one (for comparing the paths).
    static MosaicVectors bestVectors();
    MosaicVectors vectors() const { return vectors_; }
    void setVectors(MosaicVectors v) { vectors_ = v; }

    const std::vector<MosaicSymbol>& symbols() const { return symbols_; }
    // The foreground's share of each of a symbol's 64 samples.
    const std::array<float, side * side>& inkOf(int symbol) const { return ink_[static_cast<std::size_t>(symbol)]; }

    // The squared error of drawing `samples` as `cell` (its colours shown
    // as they are given, in linear light), pixel by pixel over the drawn
    // 8x16 cell: an oracle for the tests.
    float drawnError(const MosaicSymbol& symbol, Vec3 foreground, Vec3 background, const LinearRgb* samples,
                     std::ptrdiff_t stride) const;

    // What the search minimises from a palette (see the top of this file),
    // pixel by pixel over the drawn cell: an oracle for the tests.
    float judgedError(const MosaicSymbol& symbol, Vec3 foreground, Vec3 background, const LinearRgb* samples,
                      std::ptrdiff_t stride) const;

    // The terminal colour `value` of the mode in linear light (ansi16 by the palette given).
    Vec3 shown(std::uint32_t value) const;

    // The sRGB byte of a linear value, as linearToSrgb gives it, by table.
    std::uint8_t encode(float linear) const;

private:
    struct Partition {
        int region;
        float size, restSize, invSize, invRest;
        int inkSymbol;   // the symbol whose foreground covers the region, or -1
        int restSymbol;  // the symbol whose foreground covers the rest, or -1
    };
    struct Solid {  // a cell of one seen colour: a solid colour or a shade mix
        Vec3 colour;
        float norm;
        MosaicCell cell;
        int symbol;
        Vec3 foreground, background;
    };
    static constexpr int regionCount = 51;
    static constexpr std::size_t maxPartitions = regionCount;
    using Regions = std::array<Vec3, regionCount>;

    void regionSums(const LinearRgb* samples, std::ptrdiff_t stride, Regions& sums) const;
    // The division with the largest score |A|^2/nA + |B|^2/nB (the first on
    // a tie; -1: none beats the cell in one colour), and that score.
    int pickDivision(const Regions& sums, float& score) const;
    // The truecolor cell for the division picked on the curved samples
    // (-1: one colour), from the cell's sum and the sum over the division's
    // region in linear light, and the curved samples' score, weighted
    // squares and sum.
    Choice finishTruecolor(Vec3 total, Vec3 region, int partition, float score, float squares, Vec3 curvedTotal) const;
    float sampleSquares(const LinearRgb* samples, std::ptrdiff_t stride) const;
    static float curve(float x) { return x * (2.0f - x); }
    Choice choosePalette(const Regions& sums, float squares) const;
    // The palette colour nearest sum / size: its value, cost size|c|^2 - 2 sum.c and colour.
    struct Nearest {
        std::uint32_t value;
        float cost;
        Vec3 colour;
    };
    Nearest nearest256(Vec3 sum, float size, Vec3 weight) const;
    void nearest16(Vec3 sum, float size, Nearest& any, Nearest& dark) const;
    // A palette colour a part of `size` samples summing to `sum` may take:
    // cost size |c - m|^2 (m the part's mean) and excess size (c - m).
    struct Candidate {
        std::uint32_t value;
        float cost;
        Vec3 excess;
        Vec3 colour;
    };
    static constexpr std::size_t maxCandidates = 240;
    // A part's costs, worked out once for its bound and its candidates.
    struct Part {
        Vec3 mean;
        float size;
        float least;        // the least cost of any palette colour
        Candidate nearest;  // that colour
        // ansi16: each colour's cost.
        std::array<float, 16> colourCost;
        // ansi256: each channel's nearest cube level; the cost no grey
        // removes, and the nearest grey.
        int nearRed, nearGreen, nearBlue;
        float greyFloor;
        int nearGrey;
    };
    void prepare(Vec3 sum, float size, Part& part) const;
    // Every palette colour whose cost is at most `budget`, into `out` in
    // order of cost; returns how many.
    int gather(const Part& part, float budget, Candidate* out) const;

    // The squared difference of colours, each channel weighted.
    float weighted(Vec3 a, Vec3 b) const { return a.x * b.x * weight_.x + a.y * b.y * weight_.y + a.z * b.z * weight_.z; }
    // |d|^2 for the error of the cell's mean, weighted as colours are chosen.
    static float meanWeighted(Vec3 d);

    MosaicOptions options_;
    Vec3 weight_{1, 1, 1};
    float meanWeight_ = 0;  // lambda
    bool pushApart_ = false;  // at truecolor and 256 colours
    std::vector<MosaicSymbol> symbols_;
    std::vector<std::array<float, side * side>> ink_;
    std::vector<Partition> partitions_;
    // The partitions' regions and sizes, one array each, for the kernels.
    std::vector<int> partitionRegion_;
    std::vector<float> partitionInvSize_, partitionInvRest_;
    MosaicVectors vectors_ = MosaicVectors::none;
    std::vector<Solid> solids_;
    // The solids' colours and size * |colour|^2, channel by channel.
    static constexpr std::size_t maxSolids = 16 + 3 * 16 * 16;
    std::vector<float> solidRed_, solidGreen_, solidBlue_, solidNorm_;
    std::array<float, 16> paletteRed_{}, paletteGreen_{}, paletteBlue_{};
    bool rows_ = false, columns_ = false, quadrants_ = false, sextants_ = false;
    int space_ = 0, full_ = 0;
    std::array<Vec3, 16> palette_{};
    std::array<float, 16> paletteNorm_{};
    std::array<float, 6> cubeLevel_{};
    std::array<float, 5> cubeEdge_{};
    std::array<float, 24> greyLevel_{};
    std::array<float, 23> greyEdge_{};
    // The number of grey and cube edges below i / levelSteps.
    static constexpr float levelSteps = 1024.0f;
    std::array<std::uint8_t, 1025> greyStart_{}, cubeStart_{};
    std::array<std::uint8_t, 4097> encodeStart_{};
    std::array<float, 255> encodeEdge_{};
};

}  // namespace vantrel
