#pragma once
// The fixed frame clock: frame n lies at loop time n / fps seconds.
#include <cstdint>
#include <string>
#include <vector>

namespace capture {

class FrameClock {
public:
    explicit FrameClock(int fps) : fps_(fps) {}

    int fps() const { return fps_; }
    // Loop time of frame n in seconds, exact in double precision.
    double seconds(std::int64_t frame) const { return static_cast<double>(frame) / fps_; }
    // The two arguments of the show's frame calls for frame n: the loop time
    // and the time since the previous frame, in milliseconds (one step of
    // the clock; 0 for frame 0, which has no previous frame).
    float timeMs(std::int64_t frame) const;
    float deltaMs(std::int64_t frame) const;

    // The first frame whose loop time is at or after t seconds. Times are
    // taken as the decimals they were written as: 0.1 s at 60 fps is frame 6,
    // although 0.1 × 60 is a hair above 6 in binary.
    std::int64_t firstFrameAtOrAfter(double t) const;
    // The last frame whose loop time is at or before t seconds.
    std::int64_t lastFrameAtOrBefore(double t) const;

private:
    int fps_;
};

// One picture to take: the frame and the file it goes to.
struct Shot {
    std::int64_t frame = 0;
    std::string fileName;
};

// "frame-0132.000.png": seconds zero-padded to four digits, three decimals.
std::string frameFileName(double seconds);

// --at: for each time (in any order) the first frame at or after it, named by
// the time asked for; sorted by frame. Two times that give one file name are
// an error (one line in `error`).
bool selectAtTimes(const FrameClock& clock, const std::vector<double>& times, std::vector<Shot>& shots,
                   std::string& error);

} // namespace capture
