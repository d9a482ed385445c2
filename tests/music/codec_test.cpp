#include "tools/music/arrangement.h"
#include "tools/music/mixer.h"
#include "tools/music/mp3_codec.h"
#include "tools/music/soundtrack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include <unistd.h>

namespace {

std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "murmur_music_" + std::to_string(getpid()) + "_" + name;
}

std::vector<std::int16_t> tone(double seconds, double hz, double amplitude) {
    const auto frames = static_cast<std::size_t>(std::lround(seconds * 44100.0));
    std::vector<std::int16_t> pcm(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const double v = amplitude * std::sin(6.283185307179586 * hz * static_cast<double>(i) / 44100.0);
        pcm[i * 2] = pcm[i * 2 + 1] = static_cast<std::int16_t>(std::lround(v * 32767.0));
    }
    return pcm;
}

bool writeBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

TEST(Mp3Codec, RoundTripKeepsLengthFormatAndLevel) {
    std::vector<unsigned char> mp3;
    std::string error;
    // A length that is no whole number of MP3 frames.
    ASSERT_TRUE(music::encodeMp3(tone(1.2345, 440.0, 0.5), 44100, 192, mp3, error)) << error;
    std::vector<unsigned char> again;
    ASSERT_TRUE(music::encodeMp3(tone(1.2345, 440.0, 0.5), 44100, 192, again, error)) << error;
    EXPECT_EQ(mp3, again) << "encoding is not deterministic";

    const std::string path = tempPath("tone.mp3");
    ASSERT_TRUE(writeBytes(path, mp3));
    music::DecodedAudio audio;
    ASSERT_TRUE(music::decodeMp3File(path, audio, error)) << error;
    std::remove(path.c_str());
    EXPECT_EQ(audio.sampleRate, 44100);
    EXPECT_EQ(audio.channels, 2);
    EXPECT_EQ(audio.frames(), static_cast<std::size_t>(std::lround(1.2345 * 44100.0)));
    const auto levels = music::loudnessDbfs(audio, 0.5);
    ASSERT_EQ(levels.size(), 3u);
    // A sine at half scale: -6 dB peak, -9 dB RMS.
    EXPECT_NEAR(levels[0], 20.0 * std::log10(0.5 / std::sqrt(2.0)), 0.3);
}

TEST(Mp3Codec, DecodingReportsMissingAndBrokenFiles) {
    music::DecodedAudio audio;
    std::string error;
    const std::string missing = tempPath("missing.mp3");
    EXPECT_FALSE(music::decodeMp3File(missing, audio, error));
    EXPECT_NE(error.find(missing), std::string::npos) << error;

    const std::string text = tempPath("text.mp3");
    ASSERT_TRUE(writeBytes(text, std::vector<unsigned char>(1000, 'x')));
    error.clear();
    EXPECT_FALSE(music::decodeMp3File(text, audio, error));
    EXPECT_NE(error.find(text), std::string::npos) << error;
    std::remove(text.c_str());
}

TEST(Loudness, MeasuresWindowsOfKnownSignals) {
    music::DecodedAudio audio;
    audio.sampleRate = 100;
    audio.channels = 2;
    audio.samples.assign(100 * 2, 0);                 // one second of silence
    audio.samples.resize(200 * 2, 32767);             // one second at full scale
    audio.samples.resize(250 * 2, 3277);              // half a second at a tenth
    const auto levels = music::loudnessDbfs(audio, 1.0);
    ASSERT_EQ(levels.size(), 3u);
    EXPECT_EQ(levels[0], -120.0);
    EXPECT_NEAR(levels[1], 0.0, 0.01);
    EXPECT_NEAR(levels[2], -20.0, 0.01);  // the short last window counts on its own
    EXPECT_TRUE(music::loudnessDbfs(audio, 0.0).empty());
}

TEST(Soundtrack, ArrangementAndMixAreDeterministic) {
    const music::Arrangement a = music::arrangeSoundtrack();
    const music::Arrangement b = music::arrangeSoundtrack();
    ASSERT_EQ(a.tracks.size(), b.tracks.size());
    std::size_t notes = 0;
    for (std::size_t t = 0; t < a.tracks.size(); ++t) {
        ASSERT_EQ(a.tracks[t].events.size(), b.tracks[t].events.size()) << a.tracks[t].name;
        for (std::size_t i = 0; i < a.tracks[t].events.size(); ++i) {
            const auto& x = a.tracks[t].events[i];
            const auto& y = b.tracks[t].events[i];
            ASSERT_TRUE(x.start == y.start && x.length == y.length && x.note == y.note && x.velocity == y.velocity &&
                        x.seed == y.seed)
                << a.tracks[t].name << " note " << i;
        }
        notes += a.tracks[t].events.size();
    }
    EXPECT_GT(notes, 5000u);
    // The first seconds mix to the same samples twice.
    EXPECT_EQ(music::mixArrangement(a, 44100 * 3), music::mixArrangement(b, 44100 * 3));
}

TEST(Soundtrack, ItsSectionsMeetOnTheMarks) {
    const music::Arrangement a = music::arrangeSoundtrack();
    ASSERT_FALSE(a.sections.empty());
    EXPECT_EQ(a.sections.front().start, 0.0);
    for (std::size_t i = 1; i < a.sections.size(); ++i) {
        EXPECT_EQ(a.sections[i].start, a.sections[i - 1].end) << a.sections[i].name;
    }
    // Every note starts inside the music.
    for (const music::Track& t : a.tracks) {
        for (const music::NoteEvent& e : t.events) {
            ASSERT_GE(e.start, 0) << t.name;
            ASSERT_LT(e.start + e.length, music::frameAt(a.sections.back().end) + 1) << t.name;
        }
    }
}

TEST(Soundtrack, WritingToAnUnwritablePathNamesIt) {
    std::string error;
    const std::string path = tempPath("no_such_folder/soundtrk.mp3");
    EXPECT_FALSE(music::writeSoundtrack(path, error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
