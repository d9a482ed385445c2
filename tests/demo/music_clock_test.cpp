#include "audio/music_stream.h"
#include "demo/music_clock.h"
#include "demo/music_player.h"
#include "tests/demo/show_data.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

// A stream that stops answering mid-show: the loop time keeps the show going.
TEST(MusicClock, WhenTheStreamFailsTheLoopTimeIsTheClock) {
    auto state = std::make_shared<murmur::test::ScriptedPlayer::State>();
    murmur::test::ScriptedPlayer player(state);
    MusicClock clock(player);
    ASSERT_TRUE(clock.open("m.mp3"));
    EXPECT_FLOAT_EQ(clock.update(1900.0f), 1900.0f);
    state->position = 2.0;
    EXPECT_EQ(clock.update(1950.0f), 2000.0f);
    state->position = -1.0;
    EXPECT_EQ(clock.update(2000.0f), 2000.0f);
    EXPECT_FALSE(clock.finished());
}

// The real audio module on SDL's dummy output, which plays in real time.
class RealMusic : public ::testing::Test {
protected:
    void TearDown() override { audio::freeDevice(); }
    static std::string soundtrack() {
        return std::string(MURMUR_BIN_DIR) + "/../content_staging/quellon_data/music/soundtrk.mp3";
    }
};

TEST_F(RealMusic, TheSoundtrackClocksTheShowUntilItIsReleasedAt287Seconds) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    AudioMusicPlayer player;
    MusicClock clock(player);
    std::string error;
    ASSERT_TRUE(clock.open(soundtrack(), &error)) << error;

    const auto begin = std::chrono::steady_clock::now();
    float loop = 286900.0f;
    float previous = clock.update(loop);
    EXPECT_GE(previous, 286900.0f);
    EXPECT_LT(previous, 287000.0f);
    while (!clock.finished() && std::chrono::steady_clock::now() - begin < std::chrono::seconds(5)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        loop += 10.0f;
        const float now = clock.update(loop);
        ASSERT_GE(now, previous);
        previous = now;
    }
    ASSERT_TRUE(clock.finished());
    EXPECT_GE(previous, 287000.0f);
    EXPECT_LT(previous, 287500.0f);
    EXPECT_EQ(clock.update(1234.0f), 1234.0f);
    // The device is closed already.
    EXPECT_FALSE(audio::freeDevice());
}

TEST_F(RealMusic, AMissingFileLeavesTheLoopTimeAndClosesTheDevice) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    AudioMusicPlayer player;
    MusicClock clock(player);
    std::string error;
    EXPECT_FALSE(clock.open("/nonexistent/music/soundtrk.mp3", &error));
    EXPECT_NE(error.find("/nonexistent/music/soundtrk.mp3"), std::string::npos) << error;
    EXPECT_EQ(clock.update(500.0f), 500.0f);
    clock.shutdown();
    EXPECT_FALSE(audio::freeDevice());
}

}  // namespace
