#include "render/cpu_features.h"

namespace vantrel {

#if defined(__x86_64__) || defined(__i386__)
bool cpuHasSse2() {
    static const bool has = (__builtin_cpu_init(), __builtin_cpu_supports("sse2") != 0);
    return has;
}
bool cpuHasAvx2() {
    static const bool has = (__builtin_cpu_init(), __builtin_cpu_supports("avx2") != 0);
    return has;
}
#else
bool cpuHasSse2() { return false; }
bool cpuHasAvx2() { return false; }
#endif

}  // namespace vantrel
