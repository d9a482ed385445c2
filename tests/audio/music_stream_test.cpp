#include "audio/music_stream.h"
#include "tests/audio/test_tones.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

using namespace std::chrono_literals;

namespace {

constexpr std::int64_t kBytesPerSecond = 176400;

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// SDL's audio thread can be late on a busy machine: cases wait for what they
// need to have been played, this long at most, instead of for a fixed time.
constexpr double kDeadlineSeconds = 30.0;

// Polls every millisecond until `done` holds or the deadline passes; true
// when it held.
template <class Condition>
bool waitFor(Condition done) {
    const auto start = std::chrono::steady_clock::now();
    while (!done()) {
        if (secondsSince(start) > kDeadlineSeconds) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// A device on SDL's dummy driver, which consumes samples in real time.
class MusicStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        audio_test::useAudioDriver("dummy");
        ASSERT_TRUE(audio::initDevice(audio::kDefaultDevice, 44100));
    }
    void TearDown() override { audio::freeDevice(); }
};

TEST(AudioDevice, WithoutAnOutputEverythingFailsQuietly) {
    audio_test::useAudioDriver("no-such-driver");
    EXPECT_FALSE(audio::initDevice(audio::kDefaultDevice, 44100));
    EXPECT_EQ(audio::lastError(), audio::ErrorCode::Device);
    const std::string tone = audio_test::writeToneMp3("no_device.mp3", 1.0);
    EXPECT_EQ(audio::createFileStream(tone, audio::kStreamLoop), 0u);
    EXPECT_EQ(audio::lastError(), audio::ErrorCode::Init);
    EXPECT_FALSE(audio::playChannel(1, false));
    EXPECT_EQ(audio::channelPosition(1), -1);
    EXPECT_FALSE(audio::freeStream(1));
    EXPECT_FALSE(audio::freeDevice());
    EXPECT_EQ(audio::lastError(), audio::ErrorCode::Init);

    // Nothing is left broken: a working driver opens afterwards.
    audio_test::useAudioDriver("dummy");
    ASSERT_TRUE(audio::initDevice(audio::kDefaultDevice, 44100));
    const audio::StreamHandle stream = audio::createFileStream(tone, audio::kStreamLoop);
    EXPECT_NE(stream, 0u);
    EXPECT_TRUE(audio::freeDevice());
}

TEST(AudioDevice, OpensOnceAndRejectsBadArguments) {
    audio_test::useAudioDriver("dummy");
    EXPECT_FALSE(audio::initDevice(0, 44100));
    EXPECT_EQ(audio::lastError(), audio::ErrorCode::Device);
    EXPECT_FALSE(audio::initDevice(audio::kDefaultDevice, 0));
    EXPECT_EQ(audio::lastError(), audio::ErrorCode::Parameter);
    ASSERT_TRUE(audio::initDevice(audio::kDefaultDevice, 44100));
    EXPECT_EQ(audio::lastError(), audio::ErrorCode::Ok);
    EXPECT_FALSE(audio::initDevice(audio::kDefaultDevice, 44100));
    EXPECT_EQ(audio::lastError(), audio::ErrorCode::Already);
    EXPECT_TRUE(audio::freeDevice());
    EXPECT_FALSE(audio::freeDevice());
}

TEST_F(MusicStreamTest, MissingOrBrokenFilesGiveNoStream) {
    EXPECT_EQ(audio::createFileStream(audio_test::tempPath("no_such_dir/soundtrk.mp3"), audio::kStreamLoop), 0u);
    EXPECT_EQ(audio::lastError(), audio::ErrorCode::FileOpen);
    EXPECT_EQ(audio::createFileStream(audio_test::tempPath(""), audio::kStreamLoop), 0u);  // a folder
    EXPECT_EQ(audio::lastError(), audio::ErrorCode::FileOpen);

    const std::string text = audio_test::tempPath("not_music.mp3");
    std::FILE* file = std::fopen(text.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("<material name=\"this is not an mp3 file\"/>\n", file);
    std::fclose(file);
    EXPECT_EQ(audio::createFileStream(text, audio::kStreamLoop), 0u);
    EXPECT_EQ(audio::lastError(), audio::ErrorCode::Format);

    const std::string empty = audio_test::tempPath("empty.mp3");
    file = std::fopen(empty.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_EQ(audio::createFileStream(empty, audio::kStreamLoop), 0u);

    // The device still plays a good file.
    const audio::StreamHandle stream = audio::createFileStream(audio_test::writeToneMp3("good.mp3", 1.0), 0);
    ASSERT_NE(stream, 0u);
    EXPECT_TRUE(audio::playChannel(stream, false));
    std::this_thread::sleep_for(200ms);
    EXPECT_GT(audio::channelPosition(stream), 0);
}

TEST_F(MusicStreamTest, BytesAndSecondsConvertExactlyForWholeFrames) {
    const audio::StreamHandle stream = audio::createFileStream(audio_test::writeToneMp3("convert.mp3", 0.5), 0);
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(audio::channelLength(stream), 22050 * 4);
    EXPECT_EQ(audio::channelSecondsToBytes(stream, 1.0), kBytesPerSecond);
    EXPECT_DOUBLE_EQ(audio::channelBytesToSeconds(stream, kBytesPerSecond), 1.0);
    EXPECT_DOUBLE_EQ(audio::channelBytesToSeconds(stream, 287 * kBytesPerSecond), 287.0);
    for (std::int64_t frame : {0LL, 1LL, 3LL, 44099LL, 44101LL, 1234567LL, 12656700LL, 12700799LL}) {
        const double seconds = audio::channelBytesToSeconds(stream, frame * 4);
        EXPECT_EQ(audio::channelSecondsToBytes(stream, seconds), frame * 4) << frame;
    }
    // Times between frames round down to the frame before.
    EXPECT_EQ(audio::channelSecondsToBytes(stream, 10.5 / 44100.0), 40);
    EXPECT_EQ(audio::channelSecondsToBytes(stream, 0.0166), 732 * 4);
    EXPECT_LT(audio::channelSecondsToBytes(stream, -1.0), 0);
    EXPECT_LT(audio::channelBytesToSeconds(stream, -4), 0.0);
    EXPECT_LT(audio::channelBytesToSeconds(stream + 1, 4), 0.0);
    EXPECT_EQ(audio::lastError(), audio::ErrorCode::Handle);
}

TEST_F(MusicStreamTest, PositionNeverGoesBackAndAdvancesAtTheRealRate) {
    const audio::StreamHandle stream = audio::createFileStream(audio_test::writeToneMp3("rate.mp3", 6.0), audio::kStreamLoop);
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(audio::channelPosition(stream), 0);
    ASSERT_TRUE(audio::playChannel(stream, false));
    const auto start = std::chrono::steady_clock::now();
    std::int64_t previous = 0;
    int changes = 0;
    bool monotonic = true;
    // The device takes 1024 sample frames a callback. Counted from callbacks
    // alone the position would change once per callback; it is smooth
    // between them, so distinct readings outnumber callbacks by far.
    constexpr std::int64_t kCallbackBytes = 1024 * 4;
    const bool heardASecondSmoothly = waitFor([&] {
        const std::int64_t position = audio::channelPosition(stream);
        monotonic = monotonic && position >= previous && position % 4 == 0;
        if (position != previous) ++changes;
        previous = position;
        return !monotonic || (previous >= kBytesPerSecond && changes > 3 * (previous / kCallbackBytes));
    });
    const double elapsed = secondsSince(start);
    ASSERT_TRUE(monotonic) << "went back or off a frame at " << previous;
    EXPECT_TRUE(heardASecondSmoothly) << previous << " bytes heard in " << changes << " distinct readings";
    // A late device makes the position wait, never run ahead of the clock.
    EXPECT_LT(static_cast<double>(previous) / kBytesPerSecond, elapsed + 0.1);
}

TEST_F(MusicStreamTest, PlayWithoutRestartGoesOnAndRestartStartsOver) {
    const audio::StreamHandle stream = audio::createFileStream(audio_test::writeToneMp3("restart.mp3", 4.0), audio::kStreamLoop);
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(audio::playChannel(stream, false));
    ASSERT_TRUE(waitFor([&] { return audio::channelPosition(stream) > kBytesPerSecond / 5; }));
    const std::int64_t before = audio::channelPosition(stream);
    EXPECT_TRUE(audio::playChannel(stream, false));
    EXPECT_GE(audio::channelPosition(stream), before);
    EXPECT_TRUE(audio::isChannelPlaying(stream));
    EXPECT_TRUE(audio::playChannel(stream, true));
    EXPECT_LT(audio::channelPosition(stream), kBytesPerSecond / 10);
}

TEST_F(MusicStreamTest, SetPositionThenPlayStartsWhereSet) {
    const audio::StreamHandle stream = audio::createFileStream(audio_test::writeToneMp3("seek.mp3", 5.0), audio::kStreamLoop);
    ASSERT_NE(stream, 0u);
    const std::int64_t target = audio::channelSecondsToBytes(stream, 2.0);
    ASSERT_TRUE(audio::setChannelPosition(stream, target + 2));  // rounds down to the frame
    EXPECT_EQ(audio::channelPosition(stream), target);
    ASSERT_TRUE(audio::playChannel(stream, false));
    const auto start = std::chrono::steady_clock::now();
    const std::int64_t played = target + static_cast<std::int64_t>(0.1 * kBytesPerSecond);
    EXPECT_TRUE(waitFor([&] { return audio::channelPosition(stream) >= played; }));
    const std::int64_t position = audio::channelPosition(stream);
    const double elapsed = secondsSince(start);
    EXPECT_GE(position, target);
    EXPECT_LE(position, target + static_cast<std::int64_t>((elapsed + 0.1) * kBytesPerSecond));

    // Moving a playing stream moves its position at once.
    ASSERT_TRUE(audio::setChannelPosition(stream, kBytesPerSecond));
    const std::int64_t moved = audio::channelPosition(stream);
    EXPECT_GE(moved, kBytesPerSecond);
    EXPECT_LT(moved, kBytesPerSecond + kBytesPerSecond / 10);

    EXPECT_FALSE(audio::setChannelPosition(stream, -4));
    EXPECT_EQ(audio::lastError(), audio::ErrorCode::Position);
    EXPECT_FALSE(audio::setChannelPosition(stream, audio::channelLength(stream) + 4));
    EXPECT_EQ(audio::lastError(), audio::ErrorCode::Position);
}

TEST_F(MusicStreamTest, LoopingStreamsWrapAndOthersStopAtTheEnd) {
    const std::string tone = audio_test::writeToneMp3("short.mp3", 0.5);
    const audio::StreamHandle looping = audio::createFileStream(tone, audio::kStreamLoop);
    const audio::StreamHandle once = audio::createFileStream(tone, 0);
    ASSERT_NE(looping, 0u);
    ASSERT_NE(once, 0u);
    EXPECT_NE(looping, once);
    const std::int64_t length = audio::channelLength(once);
    ASSERT_TRUE(audio::playChannel(looping, false));
    ASSERT_TRUE(audio::playChannel(once, false));
    // Both started together: when the single pass is over, the loop has
    // wrapped at least once.
    ASSERT_TRUE(waitFor([&] { return !audio::isChannelPlaying(once) && audio::channelPosition(once) == length; }));
    EXPECT_TRUE(audio::isChannelPlaying(looping));
    EXPECT_LT(audio::channelPosition(looping), length);
    EXPECT_FALSE(audio::isChannelPlaying(once));
    EXPECT_EQ(audio::channelPosition(once), length);
    // Playing an ended stream again starts it from the beginning.
    ASSERT_TRUE(audio::playChannel(once, false));
    EXPECT_LT(audio::channelPosition(once), length / 2);
}

TEST_F(MusicStreamTest, ALoopShorterThanOneDeviceBufferReportsPositionsInsideTheStream) {
    // 300 sample frames: the device takes several passes of it per buffer.
    const audio::StreamHandle stream = audio::createFileStream(audio_test::writeToneMp3("blip.mp3", 300.0 / 44100.0),
                                                               audio::kStreamLoop);
    ASSERT_NE(stream, 0u);
    const std::int64_t length = audio::channelLength(stream);
    ASSERT_EQ(length, 300 * 4);
    ASSERT_TRUE(audio::playChannel(stream, false));
    const auto start = std::chrono::steady_clock::now();
    std::int64_t highest = 0;
    while (secondsSince(start) < 0.3) {
        const std::int64_t position = audio::channelPosition(stream);
        ASSERT_GE(position, 0);
        highest = std::max(highest, position);
        std::this_thread::sleep_for(200us);
    }
    EXPECT_LT(highest, length);
    EXPECT_TRUE(audio::isChannelPlaying(stream));
}

TEST_F(MusicStreamTest, FreeingIsSafeTwiceAndForUnknownHandles) {
    const audio::StreamHandle stream = audio::createFileStream(audio_test::writeToneMp3("free.mp3", 1.0), audio::kStreamLoop);
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(audio::playChannel(stream, false));
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(audio::freeStream(stream));
    EXPECT_FALSE(audio::freeStream(stream));
    EXPECT_EQ(audio::lastError(), audio::ErrorCode::Handle);
    EXPECT_FALSE(audio::freeStream(0));
    EXPECT_EQ(audio::channelPosition(stream), -1);
    EXPECT_FALSE(audio::playChannel(stream, false));

    // Freeing the device releases the streams still open.
    const audio::StreamHandle other = audio::createFileStream(audio_test::writeToneMp3("free2.mp3", 1.0), 0);
    ASSERT_NE(other, 0u);
    EXPECT_NE(other, stream);
    ASSERT_TRUE(audio::playChannel(other, false));
    EXPECT_TRUE(audio::freeDevice());
    EXPECT_FALSE(audio::freeStream(other));
    EXPECT_EQ(audio::lastError(), audio::ErrorCode::Init);
    // TearDown frees the device once more, which reports Init and is harmless.
}

}  // namespace

namespace {

// The show's own sequence: open the default device, open the music by a path
// with a doubled separator, start it at the first frame's time, take the
// clock from it, release it and shut the device down (twice, as the
// controller's teardown may).
TEST(MusicStreamShow, StartsAtTheFirstFrameAndGivesTheClock) {
    audio_test::useAudioDriver("dummy");
    const std::string path = audio_test::writeToneMp3("show.mp3", 3.0);
    const std::string doubled = path.substr(0, path.rfind('/')) + "//" + path.substr(path.rfind('/') + 1);
    ASSERT_TRUE(audio::initDevice(audio::kDefaultDevice, 44100));
    const audio::StreamHandle music = audio::createFileStream(doubled, audio::kStreamLoop);
    ASSERT_NE(music, 0u);

    const double firstFrame = 0.0166;
    const std::int64_t start = audio::channelSecondsToBytes(music, firstFrame);
    EXPECT_TRUE(audio::setChannelPosition(music, start));
    EXPECT_TRUE(audio::playChannel(music, false));
    double previous = 0.0;
    bool ordered = true;
    EXPECT_TRUE(waitFor([&] {
        const double seconds = audio::channelBytesToSeconds(music, audio::channelPosition(music));
        ordered = ordered && seconds >= previous && seconds >= static_cast<double>(start) / 176400.0;
        previous = seconds;
        return !ordered || seconds > 0.1;
    }));
    EXPECT_TRUE(ordered) << "the clock went back or before the start: " << previous;

    EXPECT_TRUE(audio::freeStream(music));
    EXPECT_TRUE(audio::freeDevice());
    EXPECT_FALSE(audio::freeStream(music));
    EXPECT_FALSE(audio::freeDevice());
    // Without a stream the clock reads as a failure, never as a time.
    EXPECT_LT(audio::channelBytesToSeconds(music, audio::channelPosition(music)), 0.0);
}

}  // namespace
