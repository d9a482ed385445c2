#include "tools/music/soundtrack.h"

#include "tools/music/arrangement.h"
#include "tools/music/mixer.h"
#include "tools/music/mp3_codec.h"
#include "tools/music/timeline.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace music {

std::vector<std::int16_t> renderSoundtrack() {
    return mixArrangement(arrangeSoundtrack(), frameAt(timeline::kLength));
}

bool writeSoundtrack(const std::string& path, std::string& error) {
    // Open the file first: a bad path fails at once, not after the synthesis.
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = path + ": cannot create: " + std::strerror(errno);
        return false;
    }
    std::vector<unsigned char> mp3;
    std::string why;
    if (!encodeMp3(renderSoundtrack(), kSoundtrackRate, kSoundtrackKbps, mp3, why)) {
        std::fclose(file);
        std::remove(path.c_str());
        error = path + ": " + why;
        return false;
    }
    const bool written = std::fwrite(mp3.data(), 1, mp3.size(), file) == mp3.size();
    const int writeErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        error = path + ": cannot write: " + std::strerror(written ? errno : writeErrno);
        std::remove(path.c_str());
        return false;
    }
    return true;
}

}  // namespace music
