#include "tests/audio/test_tones.h"

#include "tools/music/mp3_codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <unistd.h>

namespace audio_test {

namespace {

// The program's own folder, removed with everything in it at exit.
struct TempFolder {
    std::string path = ::testing::TempDir() + "murmur_audio_" + std::to_string(getpid()) + "/";
    TempFolder() { std::filesystem::create_directories(path); }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

}  // namespace

std::string tempPath(const std::string& name) {
    static const TempFolder folder;
    return folder.path + name;
}

std::string writeTestMp3(const std::string& name, double seconds,
                         const std::function<float(long frame, int channel)>& sample) {
    const long frames = std::lround(seconds * 44100.0);
    std::vector<std::int16_t> pcm(static_cast<std::size_t>(frames) * 2);
    for (long i = 0; i < frames; ++i) {
        for (int c = 0; c < 2; ++c) {
            pcm[static_cast<std::size_t>(i) * 2 + static_cast<std::size_t>(c)] =
                static_cast<std::int16_t>(std::lround(std::fmax(-1.0f, std::fmin(1.0f, sample(i, c))) * 32767.0f));
        }
    }
    std::vector<unsigned char> mp3;
    std::string error;
    EXPECT_TRUE(music::encodeMp3(pcm, 44100, 192, mp3, error)) << error;
    const std::string path = tempPath(name);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr) << path;
    if (file != nullptr) {
        std::fwrite(mp3.data(), 1, mp3.size(), file);
        std::fclose(file);
    }
    return path;
}

std::string writeToneMp3(const std::string& name, double seconds) {
    return writeTestMp3(name, seconds, [](long frame, int) {
        return 0.5f * static_cast<float>(std::sin(2.0 * 3.141592653589793 * 440.0 * static_cast<double>(frame) / 44100.0));
    });
}

void useAudioDriver(const char* driver) { setenv("SDL_AUDIODRIVER", driver, 1); }

}  // namespace audio_test
