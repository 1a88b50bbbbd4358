// Internal: the body of the mosaic kernels (mosaic_kernel.h) over a vector
// type V of N floats, one cell a lane. Included by each vector file only,
// compiled there for its instructions; everything here has internal
// linkage. The operations mirror MosaicSearch::curve, regionSums,
// sampleSquares and pickDivision one for one: the same sums in the same
// order, so that every lane's result equals the scalar path's.
#pragma once

#include <cstddef>

#include "picture/mosaic_kernel.h"

namespace vantrel {
namespace {

template <class V, class M, int N>
struct MosaicLanes {
    struct T3 {
        V x, y, z;
    };
    static T3 add(const T3& a, const T3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
    static T3 sub(const T3& a, const T3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
    static V splat(float f) {
        V v;
        for (int j = 0; j < N; ++j) v[j] = f;
        return v;
    }
    // Four samples side by side as 12 values, folded as the scalar path's fold().
    static T3 fold(const V* b) {
        return {(b[0] + b[3]) + (b[6] + b[9]), (b[1] + b[4]) + (b[7] + b[10]), (b[2] + b[5]) + (b[8] + b[11])};
    }
    static V select(M mask, V yes, V no) { return (V)(((M)yes & mask) | ((M)no & ~mask)); }

    // out[i], lane j = at[24 j + i] for i, j < N: N floats of each of the
    // N cells side by side, turned so that each cell has a lane. Only moves
    // values, with whole-vector loads and shuffles.
    static void transpose(const float* at, V* out) {
        typedef float U __attribute__((vector_size(4 * N), aligned(4)));  // V at any float
        V a[N];
        for (int j = 0; j < N; ++j) a[j] = *reinterpret_cast<const U*>(at + 24 * j);
        if constexpr (N == 4) {
            const V t0 = __builtin_shufflevector(a[0], a[1], 0, 4, 1, 5);
            const V t1 = __builtin_shufflevector(a[0], a[1], 2, 6, 3, 7);
            const V t2 = __builtin_shufflevector(a[2], a[3], 0, 4, 1, 5);
            const V t3 = __builtin_shufflevector(a[2], a[3], 2, 6, 3, 7);
            out[0] = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
            out[1] = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
            out[2] = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
            out[3] = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
        } else {
            static_assert(N == 8);
            V t[8], u[8];
            for (int i = 0; i < 8; i += 2) {
                t[i] = __builtin_shufflevector(a[i], a[i + 1], 0, 8, 1, 9, 4, 12, 5, 13);
                t[i + 1] = __builtin_shufflevector(a[i], a[i + 1], 2, 10, 3, 11, 6, 14, 7, 15);
            }
            for (int h = 0; h < 8; h += 4) {
                u[h] = __builtin_shufflevector(t[h], t[h + 2], 0, 1, 8, 9, 4, 5, 12, 13);
                u[h + 1] = __builtin_shufflevector(t[h], t[h + 2], 2, 3, 10, 11, 6, 7, 14, 15);
                u[h + 2] = __builtin_shufflevector(t[h + 1], t[h + 3], 0, 1, 8, 9, 4, 5, 12, 13);
                u[h + 3] = __builtin_shufflevector(t[h + 1], t[h + 3], 2, 3, 10, 11, 6, 7, 14, 15);
            }
            for (int i = 0; i < 4; ++i) {
                out[i] = __builtin_shufflevector(u[i], u[i + 4], 0, 1, 2, 3, 8, 9, 10, 11);
                out[i + 4] = __builtin_shufflevector(u[i], u[i + 4], 4, 5, 6, 7, 12, 13, 14, 15);
            }
        }
    }

    // The sums over the regions the divisions read, as MosaicSearch::regionSums.
    static void regionSums(const MosaicKernelTables& t, const V (&d)[8][24], T3 (&sums)[51]) {
        const V zero = splat(0.0f);
        V quadrant[4][12];
        for (int q = 0; q < 4; ++q) {
            const int y = (q / 2) * 4, h = 12 * (q % 2);
            for (int k = 0; k < 12; ++k) {
                quadrant[q][k] = (d[y][h + k] + d[y + 1][h + k]) + (d[y + 2][h + k] + d[y + 3][h + k]);
            }
        }
        const T3 tl = fold(quadrant[0]), tr = fold(quadrant[1]), bl = fold(quadrant[2]), br = fold(quadrant[3]);
        sums[0] = add(add(tl, tr), add(bl, br));
        if (t.quadrants) {
            sums[15] = tl;
            sums[16] = tr;
            sums[17] = bl;
            sums[18] = br;
            sums[19] = add(tl, br);
        }
        if (t.rows) {
            V below[12];
            for (V& b : below) b = zero;
            for (int k = 1; k <= 7; ++k) {
                const V* r = d[8 - k];
                for (int i = 0; i < 12; ++i) below[i] += r[i] + r[12 + i];
                sums[k] = fold(below);
            }
        }
        if (t.columns) {
            V column[24];
            for (V& c : column) c = zero;
            for (int y = 0; y < 8; ++y) {
                for (int i = 0; i < 24; ++i) column[i] += d[y][i];
            }
            T3 toLeft{zero, zero, zero};
            for (int k = 1; k <= 7; ++k) {
                toLeft = add(toLeft, T3{column[3 * k - 3], column[3 * k - 2], column[3 * k - 1]});
                sums[7 + k] = toLeft;
            }
        }
        if (t.sextants) {
            const V half = splat(0.5f);
            V cell[5][12];
            for (int h = 0; h < 2; ++h) {
                const int o = 12 * h;
                for (int i = 0; i < 12; ++i) {
                    cell[h][i] = (d[0][o + i] + d[1][o + i]) + d[2][o + i] * half;
                    cell[2 + h][i] = (d[2][o + i] * half + d[3][o + i]) + (d[4][o + i] + d[5][o + i] * half);
                    if (h == 0) cell[4][i] = d[5][o + i] * half + (d[6][o + i] + d[7][o + i]);
                }
            }
            T3 pattern[32];
            pattern[0] = {zero, zero, zero};
            for (unsigned p = 1; p < 32; ++p) {
                pattern[p] = add(pattern[p & (p - 1)], fold(cell[__builtin_ctz(p)]));
                sums[19 + p] = pattern[p];
            }
        }
    }

    // The samples' weighted squares, sample by sample in row order.
    static V squaresOf(const MosaicKernelTables& t, const V (&d)[8][24]) {
        const V wx = splat(t.weight[0]), wy = splat(t.weight[1]), wz = splat(t.weight[2]);
        V squares = splat(0.0f);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const V* v = &d[y][3 * x];
                squares += v[0] * v[0] * wx + v[1] * v[1] * wy + v[2] * v[2] * wz;
            }
        }
        return squares;
    }

    // With `regions` (51 x 3 floats a lane, lane after lane), the region
    // sums are written there and nothing is chosen.
    static void run(const MosaicKernelTables& t, const float* samples, std::ptrdiff_t stride,
                    MosaicKernelResult* out, float* regions) {
        // The samples, one cell a lane: d[y][k] is float k of sample row y.
        V d[8][24];
        for (int y = 0; y < 8; ++y) {
            const float* row = samples + y * stride;
            for (int k = 0; k < 24; k += N) transpose(row + k, d[y] + k);
        }
        T3 sums[51];
        regionSums(t, d, sums);
        if (regions != nullptr) {
            // Only the sums made: the others are not read.
            const auto put = [&](int first, int last) {
                for (int j = 0; j < N; ++j) {
                    float* lane = regions + j * 51 * 3;
                    for (int k = first; k <= last; ++k) {
                        lane[3 * k] = sums[k].x[j];
                        lane[3 * k + 1] = sums[k].y[j];
                        lane[3 * k + 2] = sums[k].z[j];
                    }
                }
            };
            put(0, 0);
            if (t.rows) put(1, 7);
            if (t.columns) put(8, 14);
            if (t.quadrants) put(15, 19);
            if (t.sextants) put(20, 50);
            const V squares = squaresOf(t, d);
            for (int j = 0; j < N; ++j) out[j].squares = squares[j];
            return;
        }

        // The division is picked on the curved samples; the sums above, in
        // linear light, give the colours.
        const V two = splat(2.0f);
        for (auto& row : d) {
            for (V& v : row) v = v * (two - v);
        }
        T3 picked[51];
        regionSums(t, d, picked);
        const V squares = squaresOf(t, d);

        // The division with the largest |A|^2/nA + |B|^2/nB, the first on a tie.
        const V wx = splat(t.weight[0]), wy = splat(t.weight[1]), wz = splat(t.weight[2]);
        const auto weighted = [&](const T3& a, const T3& b) { return a.x * b.x * wx + a.y * b.y * wy + a.z * b.z * wz; };
        const T3 total = picked[0];
        V best = weighted(total, total) / splat(64.0f);
        V chosen = splat(-1.0f);
        for (int i = 0; i < t.partitions; ++i) {
            const T3 a = picked[t.region[i]];
            const T3 b = sub(total, a);
            const V score = weighted(a, a) * splat(t.invSize[i]) + weighted(b, b) * splat(t.invRest[i]);
            const M better = score > best;
            best = select(better, score, best);
            chosen = select(better, splat(static_cast<float>(i)), chosen);
        }
        for (int j = 0; j < N; ++j) {
            MosaicKernelResult& r = out[j];
            r.partition = static_cast<int>(chosen[j]);
            r.score = best[j];
            r.squares = squares[j];
            const T3& region = sums[r.partition < 0 ? 0 : t.region[r.partition]];
            r.total[0] = sums[0].x[j];
            r.total[1] = sums[0].y[j];
            r.total[2] = sums[0].z[j];
            r.region[0] = region.x[j];
            r.region[1] = region.y[j];
            r.region[2] = region.z[j];
            r.curvedTotal[0] = total.x[j];
            r.curvedTotal[1] = total.y[j];
            r.curvedTotal[2] = total.z[j];
        }
    }
};

}  // namespace
}  // namespace vantrel
