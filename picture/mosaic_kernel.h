// Internal: the mosaic's region sums and its truecolor choice for several
// cells at once, one cell a vector lane (mosaic_kernel_lanes.h), for the
// SSE2 and AVX2 files. Each lane does exactly the operations of
// MosaicSearch's scalar path, in the same order, so the results are the
// same bit for bit. Plain data only: the vector files include nothing that
// could be shared with the rest of the program.
#pragma once

#include <cstddef>

namespace vantrel {

// What the kernels need of a search.
struct MosaicKernelTables {
    float weight[3];     // each channel's weight
    int partitions;      // the divisions searched, in order:
    const int* region;   // the region each one inks
    const float* invSize;
    const float* invRest;
    bool rows, columns, quadrants, sextants;  // the region sums needed
};

// For one cell: the division chosen (-1: none, the cell in one colour), the
// cell's whole sum and its sum over the chosen region (the whole cell for
// none), both in linear light; and, of the samples taken through the curve
// x (2 - x) (MosaicSearch::curve), on which the division is chosen, the
// division's score |A|^2/nA + |B|^2/nB, the weighted sum of their squares
// and their sum.
struct MosaicKernelResult {
    int partition;
    float total[3];
    float region[3];
    float curvedTotal[3];
    float score;
    float squares;
};

// The cells cell j = 0 .. lanes - 1 of samples + 24 j floats (8x8 samples
// of 3 floats, rows `stride` floats apart), 4 (SSE2) or 8 (AVX2) of them:
// the truecolor choice into out[j]; or, when `regions` is not null, only
// the region sums each lane's search reads, into regions + 153 j (51 sums
// of 3 floats, as MosaicSearch numbers the regions), and the squares into
// out[j].squares. Defined on x86 only.
void mosaicTruecolorSse2(const MosaicKernelTables& tables, const float* samples, std::ptrdiff_t stride,
                         MosaicKernelResult* out, float* regions);
void mosaicTruecolorAvx2(const MosaicKernelTables& tables, const float* samples, std::ptrdiff_t stride,
                         MosaicKernelResult* out, float* regions);

}  // namespace vantrel
