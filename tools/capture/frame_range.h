#pragma once
// Which frames of the clock a run covers: a stretch of time, or the shots
// an author names by number, and the pictures taken inside it.
#include "tools/capture/frame_clock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace capture {

// Frames first to last, both included.
struct FrameRange {
    std::int64_t first = 0;
    std::int64_t last = -1;
    bool empty() const { return last < first; }
    bool holds(std::int64_t frame) const { return first <= frame && frame <= last; }
};

// Shots counted from 1, as the contact sheet labels them; both included.
struct ShotSpan {
    int first = 1;
    int last = 1;
};

// The frames of the range [from, to] seconds.
FrameRange framesBetween(const FrameClock& clock, double from, double to);

// The frames on which the shots of `span` are on screen by the cut rule (a
// frame shows the first camera whose end time is not before it): from the
// first frame after the end of every earlier shot to the last frame at or
// before the end of span.last, or of the show (`showEnd`) for the last shot.
// False with one line in `error` when the list has no such shot or none of
// them is ever on screen.
bool framesOfShots(const std::vector<float>& endTimes, ShotSpan span, double showEnd, const FrameClock& clock,
                   FrameRange& frames, std::string& error);

// Pictures through a range: every Nth frame from its first, or one every
// `seconds` of loop time (the first frame at or after each step), each named
// by its frame's time.
std::vector<Shot> selectEveryFrames(const FrameClock& clock, int every, const FrameRange& range);
std::vector<Shot> selectEverySeconds(const FrameClock& clock, double seconds, const FrameRange& range);

} // namespace capture
