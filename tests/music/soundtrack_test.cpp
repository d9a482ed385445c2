#include "tools/music/mp3_codec.h"
#include "tools/music/soundtrack.h"
#include "tools/music/timeline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include <unistd.h>

namespace {

namespace timeline = music::timeline;

constexpr double kWindow = 0.05;  // loudness resolution in seconds

double meanDb(const std::vector<double>& levels, double from, double to) {
    const auto first = static_cast<std::size_t>(std::llround(from / kWindow));
    const auto last = static_cast<std::size_t>(std::llround(to / kWindow));
    double sum = 0.0;
    for (std::size_t i = first; i < last && i < levels.size(); ++i) sum += levels[i];
    return sum / static_cast<double>(last - first);
}

// Where, within a second of the mark, the level changes most in the given
// direction between the half seconds before and after; and by how much.
std::pair<double, double> strongestStep(const std::vector<double>& levels, double mark, bool up) {
    double bestTime = 0.0;
    double bestStep = -1e9;
    for (int i = -20; i <= 20; ++i) {
        const double t = std::round(mark / kWindow) * kWindow + i * kWindow;
        const double step = meanDb(levels, t, t + 0.5) - meanDb(levels, t - 0.5, t);
        const double signedStep = up ? step : -step;
        if (signedStep > bestStep) {
            bestStep = signedStep;
            bestTime = t;
        }
    }
    return {bestTime, bestStep};
}

// The full soundtrack takes seconds to make: every check on it lives in this
// one test, so that it is made once per run.
TEST(Soundtrack, DecodesToTheTimelineWithItsLoudnessStepsOnTheMarks) {
    const std::string path = ::testing::TempDir() + "murmur_soundtrk_" + std::to_string(getpid()) + ".mp3";
    std::string error;
    ASSERT_TRUE(music::writeSoundtrack(path, error)) << error;
    const auto bytes = std::filesystem::file_size(path);
    music::DecodedAudio audio;
    ASSERT_TRUE(music::decodeMp3File(path, audio, error)) << error;
    std::filesystem::remove(path);

    // Format and length: 44.1 kHz stereo, exactly the timeline's length, at
    // least 160 kbit/s.
    EXPECT_EQ(audio.sampleRate, 44100);
    EXPECT_EQ(audio.channels, 2);
    EXPECT_EQ(audio.frames(), static_cast<std::size_t>(std::llround(timeline::kLength * 44100.0)));
    EXPECT_GE(static_cast<double>(bytes) * 8.0 / timeline::kLength, 160000.0);

    const std::vector<double> levels = music::loudnessDbfs(audio, kWindow);
    // Music everywhere before the blackout and between the drop and the end.
    EXPECT_GT(meanDb(levels, 0.0, 10.0), -40.0);
    for (double t = 16.0; t + 2.0 < timeline::kBlackout; t += 2.0) {
        EXPECT_GT(meanDb(levels, t, t + 2.0), -30.0) << "at " << t << " s";
    }
    for (double t = timeline::kDrop; t + 2.0 < 270.0; t += 2.0) {
        EXPECT_GT(meanDb(levels, t, t + 2.0), -30.0) << "at " << t << " s";
    }
    // The breakdown is well below the groove around it, the glitching part loud.
    EXPECT_LT(meanDb(levels, timeline::kBreakdown + 0.2, timeline::kBuild - 0.2),
              meanDb(levels, timeline::kBreakdown - 8.0, timeline::kBreakdown) - 8.0);
    EXPECT_GT(meanDb(levels, timeline::kGlitch, timeline::kBlackout), -16.0);
    // Near silence through the blackout, but not dead air.
    const double blackout = meanDb(levels, timeline::kBlackout + 0.1, timeline::kDrop - 0.05);
    EXPECT_LT(blackout, -40.0);
    EXPECT_GT(blackout, -70.0) << "the drone and the heartbeat go on";
    // Over before the show lets the stream go.
    EXPECT_LT(meanDb(levels, timeline::kRelease - 2.0, timeline::kLength), -90.0);

    struct Mark {
        const char* name;
        double time;
        bool up;
    };
    const Mark marks[] = {
        {"breakdown", timeline::kBreakdown, false}, {"build", timeline::kBuild, true},
        {"glitch", timeline::kGlitch, true},        {"blackout", timeline::kBlackout, false},
        {"drop", timeline::kDrop, true},
    };
    for (const Mark& mark : marks) {
        const auto [at, step] = strongestStep(levels, mark.time, mark.up);
        std::printf("%-9s mark %8.3f s: strongest step at %7.2f s, %+.1f dB\n", mark.name, mark.time, at,
                    mark.up ? step : -step);
        EXPECT_NEAR(at, mark.time, 0.2) << mark.name;
        EXPECT_GT(step, 6.0) << mark.name;
    }
}

}  // namespace
