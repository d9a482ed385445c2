#pragma once

#include <chrono>
#include <cstdint>

namespace audio {

// The position being heard of one stream, in bytes. It is counted from the
// chunks of samples handed to the output device and advanced between them by
// the steady clock, so that it moves smoothly although the device asks for
// samples only every few milliseconds. It never runs ahead of the bytes
// delivered and never goes backwards until the stream is moved (reset).
class PlayClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    explicit PlayClock(double bytesPerSecond, std::int64_t frameBytes = 4)
        : bytesPerSecond_(bytesPerSecond), frameBytes_(frameBytes) {}

    // The stream now stands at position, nothing of it delivered yet.
    void reset(std::int64_t position);

    // A chunk of `bytes` bytes starting at stream position `start` went to the
    // device at `when`. When the stream looped back to position 0 inside the
    // chunk, wrapOffset is the offset in the chunk where it first did (else
    // -1); a stream shorter than the chunk loops more than once, and then
    // loopBytes, its length, folds the positions after that into the stream.
    void delivered(std::int64_t start, std::int64_t bytes, std::int64_t wrapOffset, TimePoint when,
                   std::int64_t loopBytes = 0);

    // The position heard at `now`.
    std::int64_t position(TimePoint now);

private:
    double bytesPerSecond_;
    std::int64_t frameBytes_;
    bool hasChunk_ = false;
    std::int64_t idlePosition_ = 0;  // reported until the first chunk
    std::int64_t chunkStart_ = 0;    // stream position of the chunk's first byte
    std::int64_t chunkBytes_ = 0;
    std::int64_t chunkWrap_ = -1;
    std::int64_t chunkLoop_ = 0;     // stream length when the chunk loops, else 0
    TimePoint chunkTime_{};
    std::int64_t heardBytes_ = 0;  // bytes of the current chunk already reported
};

}  // namespace audio
