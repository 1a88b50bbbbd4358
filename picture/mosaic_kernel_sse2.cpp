// The mosaic kernel four cells at a time, built with SSE2 (mosaic_kernel.h).
#if defined(__x86_64__) || defined(__i386__)

#include "picture/mosaic_kernel_lanes.h"

namespace vantrel {

void mosaicTruecolorSse2(const MosaicKernelTables& tables, const float* samples, std::ptrdiff_t stride,
                         MosaicKernelResult* out, float* regions) {
    using V = float __attribute__((vector_size(16)));
    using M = int __attribute__((vector_size(16)));
    MosaicLanes<V, M, 4>::run(tables, samples, stride, out, regions);
}

}  // namespace vantrel

#endif
