// murmur-loudness: prints the loudness of an MP3 file, one line per window.
//
//   murmur-loudness FILE.mp3 [WINDOW_SECONDS]
//
// Each line holds the window's start time in seconds and its RMS level in dB
// relative to full scale (both channels together); the window is one second
// unless given.

#include "tools/music/mp3_codec.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s FILE.mp3 [WINDOW_SECONDS]\n", argv[0]);
        return 2;
    }
    double window = 1.0;
    if (argc == 3) {
        char* end = nullptr;
        window = std::strtod(argv[2], &end);
        if (end == argv[2] || *end != '\0' || !(window >= 0.001 && window <= 3600.0)) {
            std::fprintf(stderr, "%s: the window must be a number of seconds from 0.001 to 3600, not \"%s\"\n",
                         argv[0], argv[2]);
            return 2;
        }
    }
    music::DecodedAudio audio;
    std::string error;
    if (!music::decodeMp3File(argv[1], audio, error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 1;
    }
    std::printf("# %s: %ld Hz, %d channels, %.3f s\n", argv[1], audio.sampleRate, audio.channels,
                static_cast<double>(audio.frames()) / static_cast<double>(audio.sampleRate));
    std::printf("# time_s rms_dbfs\n");
    const auto levels = music::loudnessDbfs(audio, window);
    for (std::size_t i = 0; i < levels.size(); ++i) {
        std::printf("%.3f %.1f\n", static_cast<double>(i) * window, levels[i]);
    }
    return 0;
}
