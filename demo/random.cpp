#include "demo/random.h"

namespace vantrel {

std::uint32_t randomState = initialRandomState;

std::uint32_t nextRandom() {
    randomState = randomState * 17u + 26857u;
    randomState ^= randomState >> 6;
    return randomState;
}

float randomUnit() { return static_cast<float>(nextRandom() >> 16) / 65536.0f; }

}  // namespace vantrel
