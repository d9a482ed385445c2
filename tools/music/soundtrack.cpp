#include "tools/music/soundtrack.h"

#include "tools/music/arrangement.h"
#include "tools/music/mixer.h"
#include "tools/music/mp3_codec.h"
#include "tools/music/timeline.h"

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

namespace music {

std::vector<std::int16_t> renderSoundtrack() {
    return mixArrangement(arrangeSoundtrack(), frameAt(timeline::kLength));
}

namespace {

// Mixes on this thread and encodes on another, the encoder following the
// mix a few thousand frames behind. The bytes are the same as encoding the
// finished mix in one go.
bool encodeSoundtrack(std::vector<unsigned char>& mp3, std::string& error) {
    Mp3Encoder encoder;
    if (!encoder.open(kSoundtrackRate, kSoundtrackKbps, error)) return false;
    const std::int64_t frames = frameAt(timeline::kLength);
    std::vector<std::int16_t> pcm;
    std::mutex mutex;
    std::condition_variable advanced;
    std::int64_t mixed = 0;
    bool encodedAll = true;
    std::string encoderError;
    std::thread encoding([&] {
        std::int64_t encoded = 0;
        while (encoded < frames) {
            std::int64_t ready;
            {
                std::unique_lock lock(mutex);
                advanced.wait(lock, [&] { return mixed > encoded; });
                ready = mixed;
            }
            if (!encoder.add(pcm.data() + encoded * 2, static_cast<std::size_t>(ready - encoded), encoderError)) {
                encodedAll = false;
                return;
            }
            encoded = ready;
        }
    });
    mixArrangementInto(arrangeSoundtrack(), frames, pcm, [&](std::int64_t done) {
        {
            std::lock_guard lock(mutex);
            mixed = done;
        }
        advanced.notify_one();
    });
    encoding.join();
    if (!encodedAll) {
        error = encoderError;
        return false;
    }
    return encoder.finish(mp3, error);
}

}  // namespace

bool writeSoundtrack(const std::string& path, std::string& error) {
    // Open the file first: a bad path fails at once, not after the synthesis.
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = path + ": cannot create: " + std::strerror(errno);
        return false;
    }
    std::vector<unsigned char> mp3;
    std::string why;
    if (!encodeSoundtrack(mp3, why)) {
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
