#include "tools/capture/frame_range.h"

#include <algorithm>

namespace capture {

FrameRange framesBetween(const FrameClock& clock, double from, double to)
{
    return {clock.firstFrameAtOrAfter(from), clock.lastFrameAtOrBefore(to)};
}

bool framesOfShots(const std::vector<float>& endTimes, ShotSpan span, double showEnd, const FrameClock& clock,
                   FrameRange& frames, std::string& error)
{
    const int count = static_cast<int>(endTimes.size());
    if (count == 0) {
        error = "--shots: the show has no shots";
        return false;
    }
    if (span.first < 1 || span.last > count || span.last < span.first) {
        error = "--shots: the show has shots 1 to " + std::to_string(count);
        return false;
    }
    auto end = [&](int shot) { return static_cast<double>(endTimes[static_cast<std::size_t>(shot - 1)]); };
    // Earlier shots hold the screen up to the latest of their ends.
    double before = 0.0;
    bool anyBefore = false;
    for (int k = 1; k < span.first; ++k) {
        before = std::max(before, end(k));
        anyBefore = true;
    }
    double until = span.last == count ? std::max(showEnd, end(count)) : end(span.last);
    for (int k = span.first; k < span.last; ++k) until = std::max(until, end(k));
    frames.first = anyBefore ? clock.lastFrameAtOrBefore(before) + 1 : 0;
    frames.last = clock.lastFrameAtOrBefore(until);
    // Shots that end no later than an earlier one are cut past at once.
    if (frames.empty()) {
        const std::string which = span.first == span.last
                                      ? "shot " + std::to_string(span.first) + " is"
                                      : "shots " + std::to_string(span.first) + " to " + std::to_string(span.last) +
                                            " are";
        error = "--shots: " + which + " never on screen at " + std::to_string(clock.fps()) + " fps";
        return false;
    }
    return true;
}

std::vector<Shot> selectEveryFrames(const FrameClock& clock, int every, const FrameRange& range)
{
    std::vector<Shot> shots;
    for (std::int64_t n = range.first; n <= range.last; n += every) shots.push_back({n, frameFileName(clock.seconds(n))});
    return shots;
}

std::vector<Shot> selectEverySeconds(const FrameClock& clock, double seconds, const FrameRange& range)
{
    std::vector<Shot> shots;
    const double start = clock.seconds(range.first);
    for (std::int64_t k = 0;; ++k) {
        const std::int64_t n = clock.firstFrameAtOrAfter(start + static_cast<double>(k) * seconds);
        if (n > range.last) break;
        // Steps shorter than a frame land on one frame more than once.
        if (!shots.empty() && shots.back().frame == n) continue;
        shots.push_back({n, frameFileName(clock.seconds(n))});
    }
    return shots;
}

} // namespace capture
