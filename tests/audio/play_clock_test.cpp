#include "audio/play_clock.h"

#include <gtest/gtest.h>

using audio::PlayClock;
using namespace std::chrono_literals;

namespace {

constexpr double kBytesPerSecond = 176400.0;

TEST(PlayClock, ReportsTheSetPositionUntilSamplesAreDelivered) {
    PlayClock clock(kBytesPerSecond);
    clock.reset(4000);
    const auto now = std::chrono::steady_clock::now();
    EXPECT_EQ(clock.position(now), 4000);
    EXPECT_EQ(clock.position(now + 1s), 4000);
}

TEST(PlayClock, AdvancesWithTimeButNeverPastTheDeliveredSamples) {
    PlayClock clock(kBytesPerSecond);
    clock.reset(0);
    const auto t0 = std::chrono::steady_clock::now();
    clock.delivered(0, 4096, -1, t0);
    EXPECT_EQ(clock.position(t0), 0);
    // 10 ms = 1764 bytes = 441 whole frames.
    EXPECT_EQ(clock.position(t0 + 10ms), 1764);
    // The device has not asked for more: the position stops at what it holds.
    EXPECT_EQ(clock.position(t0 + 500ms), 4096);
    // The next chunk continues from there.
    clock.delivered(4096, 4096, -1, t0 + 501ms);
    EXPECT_EQ(clock.position(t0 + 501ms), 4096);
    EXPECT_EQ(clock.position(t0 + 511ms), 4096 + 1764);
}

TEST(PlayClock, StaysOnWholeFramesAndNeverGoesBackwards) {
    PlayClock clock(kBytesPerSecond);
    clock.reset(0);
    const auto t0 = std::chrono::steady_clock::now();
    clock.delivered(1000, 8192, -1, t0);
    const std::int64_t later = clock.position(t0 + 20ms);
    EXPECT_EQ(later % 4, 0);
    // A reading with an earlier clock (another thread) keeps the position.
    EXPECT_EQ(clock.position(t0 + 5ms), later);
    EXPECT_EQ(clock.position(t0 - 5ms), later);
}

TEST(PlayClock, FollowsALoopBackToTheStartInsideAChunk) {
    PlayClock clock(kBytesPerSecond);
    const auto t0 = std::chrono::steady_clock::now();
    // The chunk holds the last 400 bytes of the stream, then its start again.
    clock.delivered(99600, 4096, 400, t0);
    EXPECT_EQ(clock.position(t0 + std::chrono::microseconds(1000)), 99600 + 176);
    EXPECT_EQ(clock.position(t0 + 10ms), 1764 - 400);
}

TEST(PlayClock, AStreamShorterThanTheChunkStaysInsideItself) {
    PlayClock clock(kBytesPerSecond);
    const auto t0 = std::chrono::steady_clock::now();
    // A 1200-byte stream: the chunk holds its last 400 bytes, then three
    // more passes over it and a part of the next.
    clock.delivered(800, 4096, 400, t0, 1200);
    EXPECT_EQ(clock.position(t0 + std::chrono::microseconds(1000)), 800 + 176);
    EXPECT_EQ(clock.position(t0 + 10ms), (1764 - 400) % 1200);
    EXPECT_EQ(clock.position(t0 + 1s), (4096 - 400) % 1200);
}

}  // namespace
