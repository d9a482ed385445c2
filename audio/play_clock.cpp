#include "audio/play_clock.h"

#include <algorithm>

namespace audio {

void PlayClock::reset(std::int64_t position) {
    hasChunk_ = false;
    idlePosition_ = position;
    chunkStart_ = position;
    chunkBytes_ = 0;
    chunkWrap_ = -1;
    chunkLoop_ = 0;
    heardBytes_ = 0;
}

void PlayClock::delivered(std::int64_t start, std::int64_t bytes, std::int64_t wrapOffset, TimePoint when,
                          std::int64_t loopBytes) {
    hasChunk_ = true;
    chunkStart_ = start;
    chunkBytes_ = std::max<std::int64_t>(bytes, 0);
    chunkWrap_ = wrapOffset;
    chunkLoop_ = std::max<std::int64_t>(loopBytes, 0);
    chunkTime_ = when;
    heardBytes_ = 0;
}

std::int64_t PlayClock::position(TimePoint now) {
    if (!hasChunk_) return idlePosition_;
    const double seconds = std::chrono::duration<double>(now - chunkTime_).count();
    std::int64_t offset = 0;
    if (seconds > 0.0) {
        const double bytes = seconds * bytesPerSecond_;
        offset = bytes >= static_cast<double>(chunkBytes_) ? chunkBytes_ : static_cast<std::int64_t>(bytes);
        offset -= offset % frameBytes_;
    }
    // A query from a thread whose clock reading lags behind an earlier one
    // must not move the position back.
    offset = std::max(offset, heardBytes_);
    heardBytes_ = offset;
    if (chunkWrap_ >= 0 && offset >= chunkWrap_) {
        const std::int64_t intoPass = offset - chunkWrap_;
        return chunkLoop_ > 0 ? intoPass % chunkLoop_ : intoPass;
    }
    return chunkStart_ + offset;
}

}  // namespace audio
