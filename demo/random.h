// The demo's own deterministic random generator: one 32-bit word of state that
// always starts from the same value, so every run begins with the same scene.
// It is separate from the C library generator that seeds the console's probe
// title.
#pragma once

#include <cstdint>

namespace vantrel {

inline constexpr std::uint32_t initialRandomState = 643286;

// Program-wide; only nextRandom changes it while the demo runs.
extern std::uint32_t randomState;

// state = state * 17 + 26857 (mod 2^32), then state ^= state >> 6; returns it.
std::uint32_t nextRandom();

// The top 16 bits of nextRandom over 65536: one of 65536 values in [0, 1).
float randomUnit();

}  // namespace vantrel
