#include "math/runtime_random.h"

#include <gtest/gtest.h>

namespace {

// The stream starts from state 1: its first numbers are the well-known
// sequence of the C runtime's generator left unseeded.
TEST(RuntimeRandom, StartsFromStateOneAndReplays) {
    sm::setRuntimeRandState(1);
    EXPECT_EQ(sm::runtimeRand(), 41);
    EXPECT_EQ(sm::runtimeRand(), 18467);
    EXPECT_EQ(sm::runtimeRand(), 6334);
    EXPECT_EQ(sm::runtimeRand(), 26500);
    std::uint32_t saved = sm::runtimeRandState();
    int next = sm::runtimeRand();
    sm::setRuntimeRandState(saved);
    EXPECT_EQ(sm::runtimeRand(), next);
}

TEST(RuntimeRandom, StaysInRangeAndUnitReachesOne) {
    sm::setRuntimeRandState(1);
    int lowest = sm::kRuntimeRandMax, highest = 0;
    for (int i = 0; i < 200000; ++i) {
        int r = sm::runtimeRand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, sm::kRuntimeRandMax);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, sm::kRuntimeRandMax);
    // A state whose next number is the largest gives exactly 1.0.
    sm::setRuntimeRandState(1);
    for (;;) {
        std::uint32_t before = sm::runtimeRandState();
        if (sm::runtimeRand() == sm::kRuntimeRandMax) {
            sm::setRuntimeRandState(before);
            EXPECT_EQ(sm::runtimeRandUnit(), 1.0f);
            break;
        }
    }
    sm::setRuntimeRandState(1);
}

}  // namespace
