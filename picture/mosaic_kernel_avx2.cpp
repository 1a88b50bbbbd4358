// The mosaic kernel eight cells at a time, built with AVX2 (mosaic_kernel.h).
#if defined(__x86_64__) || defined(__i386__)

#include "picture/mosaic_kernel_lanes.h"

namespace vantrel {

void mosaicTruecolorAvx2(const MosaicKernelTables& tables, const float* samples, std::ptrdiff_t stride,
                         MosaicKernelResult* out, float* regions) {
    using V = float __attribute__((vector_size(32)));
    using M = int __attribute__((vector_size(32)));
    MosaicLanes<V, M, 8>::run(tables, samples, stride, out, regions);
}

}  // namespace vantrel

#endif
