#include "math/runtime_random.h"

namespace sm {

namespace {
std::uint32_t state = 1;
}

int runtimeRand() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7fffu);
}

float runtimeRandUnit() { return static_cast<float>(runtimeRand()) / static_cast<float>(kRuntimeRandMax); }

std::uint32_t runtimeRandState() { return state; }

void setRuntimeRandState(std::uint32_t value) { state = value; }

}  // namespace sm
