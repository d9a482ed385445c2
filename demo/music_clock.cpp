#include "demo/music_clock.h"

#include "demo/music_player.h"

bool MusicClock::open(const std::string& path, std::string* error) {
    hasMusic_ = player_.open(path, error);
    return hasMusic_;
}

float MusicClock::update(float loopTimeMs) {
    if (!started_) {
        started_ = true;
        if (hasMusic_) player_.play(static_cast<double>(loopTimeMs) / 1000.0);
    }
    if (!hasMusic_ || finished_) return loopTimeMs;
    const double seconds = player_.position();
    if (seconds < 0.0) return loopTimeMs;  // the stream failed: keep the show going
    const float musicMs = static_cast<float>(seconds) * 1000.0f;
    if (musicMs / 1000.0f >= kReleaseTime) {
        player_.release();
        finished_ = true;
    }
    return musicMs;
}

void MusicClock::shutdown() {
    player_.release();
    hasMusic_ = false;
}
