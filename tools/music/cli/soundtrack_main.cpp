// murmur-soundtrack: synthesises the soundtrack into an MP3 file.
//
//   murmur-soundtrack OUT.mp3

#include "tools/music/soundtrack.h"

#include <chrono>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.mp3\n", argv[0]);
        return 2;
    }
    const auto begin = std::chrono::steady_clock::now();
    std::string error;
    if (!music::writeSoundtrack(argv[1], error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::printf("%s written in %.1f s\n", argv[1], seconds);
    return 0;
}
