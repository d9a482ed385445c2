#pragma once

#include <cstdint>

// The show's one stream of pseudo-random numbers: a linear congruential
// generator (state = state * 214013 + 2531011 modulo 2^32, result = bits 16
// to 30 of the new state, 0 to 32767). It is never seeded and starts from
// state 1, so every run draws the same numbers in the same order: the
// flicker of the blackout takes the first ones, the particle emitters the
// ones after. One stream for the whole process, used from the render thread
// only.

namespace sm {

inline constexpr int kRuntimeRandMax = 32767;

// The next number of the stream, 0 to kRuntimeRandMax.
int runtimeRand();

// The next number as a float in [0, 1], both ends reachable.
float runtimeRandUnit();

// The generator's state, and a way to put it back: for tests and tools that
// need to replay the stream from a known point.
std::uint32_t runtimeRandState();
void setRuntimeRandState(std::uint32_t state);

}  // namespace sm
