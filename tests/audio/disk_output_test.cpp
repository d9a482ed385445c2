#include "audio/music_stream.h"
#include "tests/audio/test_tones.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Four one-second steps of a 1 kHz tone, louder each second: what lands in
// the output tells which second of the file was played.
float staircase(long frame, int) {
    const int second = static_cast<int>(frame / 44100);
    const double amplitude = 0.1 * (second + 1);
    return static_cast<float>(amplitude * std::sin(kTwoPi * 1000.0 * static_cast<double>(frame) / 44100.0));
}

std::vector<std::int16_t> readSamples(const std::string& path) {
    std::vector<std::int16_t> samples;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return samples;
    std::int16_t buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, sizeof(std::int16_t), 4096, file)) > 0) samples.insert(samples.end(), buffer, buffer + got);
    std::fclose(file);
    return samples;
}

TEST(DiskOutput, PlaysTheDecodedStreamFromThePositionSet) {
    const std::string output = audio_test::tempPath("played.raw");
    std::remove(output.c_str());
    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    audio_test::useAudioDriver("disk");
    const std::string steps = audio_test::writeTestMp3("staircase.mp3", 4.0, staircase);
    ASSERT_TRUE(audio::initDevice(audio::kDefaultDevice, 44100));
    const audio::StreamHandle stream = audio::createFileStream(steps, 0);
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(audio::setChannelPosition(stream, audio::channelSecondsToBytes(stream, 2.0)));
    // Let the device write some silence first: the stream must not sound
    // before it is played.
    const auto waitStart = std::chrono::steady_clock::now();
    std::error_code ignored;
    while (std::filesystem::file_size(output, ignored) < 16384 && std::chrono::steady_clock::now() - waitStart < 5s) {
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_TRUE(audio::playChannel(stream, false));
    // Wait until half a second of the stream has been heard (SDL's audio
    // thread may be late on a busy machine): the checks below look at the
    // first 0.2 s.
    const std::int64_t start = audio::channelSecondsToBytes(stream, 2.0);
    const std::int64_t enough = start + audio::channelSecondsToBytes(stream, 0.5);
    const auto playStart = std::chrono::steady_clock::now();
    while (audio::channelPosition(stream) < enough && std::chrono::steady_clock::now() - playStart < 30s) {
        std::this_thread::sleep_for(5ms);
    }
    const std::int64_t heard = audio::channelPosition(stream);
    ASSERT_GE(heard, enough) << "the device played too little in 30 s";
    ASSERT_TRUE(audio::freeDevice());

    const std::vector<std::int16_t> samples = readSamples(output);
    ASSERT_GT(samples.size(), 44100u) << output;
    std::size_t first = 0;
    while (first < samples.size() && std::abs(samples[first]) < 200) ++first;
    ASSERT_LT(first, samples.size()) << "nothing was played";
    EXPECT_GE(first, 8192u) << "the stream sounded before it was played";
    first -= first % 2;

    // The first 0.2 s played are the third second of the file.
    const std::size_t count = std::min<std::size_t>(samples.size() - first, 8820 * 2);
    ASSERT_GT(count, 4410u * 2);
    double sum = 0.0;
    for (std::size_t i = first; i < first + count; ++i) sum += std::pow(samples[i] / 32768.0, 2.0);
    const double rms = std::sqrt(sum / static_cast<double>(count));
    EXPECT_NEAR(rms, 0.3 / std::sqrt(2.0), 0.03);

    // What the position reported had been handed to the device by then.
    const std::int64_t playedBytes = static_cast<std::int64_t>(samples.size() - first) * 2;
    EXPECT_GT(heard, 2 * 176400);
    EXPECT_LE(heard - 2 * 176400, playedBytes);
}

}  // namespace
