#include "audio/music_stream.h"
#include "demo/music_clock.h"
#include "demo/music_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

// A player whose position the test sets; it notes every call.
class ScriptedPlayer : public IMusicPlayer {
public:
    bool opens = true;
    double seconds = 0.0;
    std::vector<std::string> calls;

    bool open(const std::string& path, std::string* error) override {
        calls.push_back("open " + path);
        if (!opens && error) *error = "no audio output device";
        return opens;
    }
    void play(double from) override { calls.push_back("play " + std::to_string(from)); }
    double position() override { return seconds; }
    void release() override { calls.push_back("release"); }
};

TEST(MusicClock, StartsAtTheFirstFramesLoopTimeAndThenReadsThePosition) {
    ScriptedPlayer player;
    MusicClock clock(player);
    ASSERT_TRUE(clock.open("music/soundtrk.mp3"));
    player.seconds = 0.0166;
    EXPECT_FLOAT_EQ(clock.update(16.6f), 16.6f);
    EXPECT_TRUE(clock.started());
    player.seconds = 1.5;
    EXPECT_EQ(clock.update(1400.0f), 1500.0f);
    EXPECT_EQ(player.calls, (std::vector<std::string>{"open music/soundtrk.mp3", "play 0.016600"}));
}

TEST(MusicClock, A287SecondPositionReleasesTheMusicAndTheLoopTimeTakesOver) {
    ScriptedPlayer player;
    MusicClock clock(player);
    clock.open("m.mp3");
    player.seconds = 286.99;
    EXPECT_EQ(clock.update(286000.0f), 286990.0f);
    EXPECT_FALSE(clock.finished());
    player.seconds = 287.0;
    EXPECT_EQ(clock.update(286500.0f), 287000.0f);
    EXPECT_TRUE(clock.finished());
    player.seconds = 3.0;  // no longer asked
    EXPECT_EQ(clock.update(287100.0f), 287100.0f);
    clock.shutdown();
    EXPECT_EQ(player.calls.back(), "release");
    EXPECT_EQ(std::count(player.calls.begin(), player.calls.end(), "release"), 2);
}

TEST(MusicClock, WithoutMusicOrWhenTheStreamFailsTheLoopTimeIsTheClock) {
    ScriptedPlayer silent;
    silent.opens = false;
    MusicClock clock(silent);
    std::string error;
    EXPECT_FALSE(clock.open("m.mp3", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(clock.update(20.0f), 20.0f);
    EXPECT_EQ(clock.update(300000.0f), 300000.0f);
    EXPECT_FALSE(clock.finished());
    EXPECT_EQ(silent.calls, (std::vector<std::string>{"open m.mp3"}));

    ScriptedPlayer failing;
    MusicClock second(failing);
    second.open("m.mp3");
    failing.seconds = 2.0;
    EXPECT_EQ(second.update(1900.0f), 2000.0f);
    failing.seconds = -1.0;
    EXPECT_EQ(second.update(1950.0f), 1950.0f);
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

TEST_F(RealMusic, AMissingFileOrNoOutputLeavesTheLoopTime) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    {
        AudioMusicPlayer player;
        MusicClock clock(player);
        std::string error;
        EXPECT_FALSE(clock.open("/nonexistent/music/soundtrk.mp3", &error));
        EXPECT_NE(error.find("/nonexistent/music/soundtrk.mp3"), std::string::npos) << error;
        EXPECT_EQ(clock.update(500.0f), 500.0f);
        clock.shutdown();
        EXPECT_FALSE(audio::freeDevice());
    }
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    AudioMusicPlayer player;
    MusicClock clock(player);
    EXPECT_FALSE(clock.open(soundtrack()));
    EXPECT_EQ(clock.update(750.0f), 750.0f);
    EXPECT_EQ(clock.update(288000.0f), 288000.0f);
}

}  // namespace
