#include "tools/capture/frame_clock.h"

#include "tools/capture/decimal_text.h"

#include <algorithm>
#include <cmath>

namespace capture {

namespace {
// Times on the command line have at most a few decimals; a product within
// this many frames of a whole number is that whole number.
constexpr double kFrameSlack = 1e-6;
} // namespace

float FrameClock::timeMs(std::int64_t frame) const
{
    return static_cast<float>(static_cast<double>(frame) * 1000.0 / fps_);
}

float FrameClock::deltaMs(std::int64_t frame) const
{
    if (frame <= 0) return 0.0f;
    return static_cast<float>(1000.0 / fps_);
}

std::int64_t FrameClock::firstFrameAtOrAfter(double t) const
{
    if (t <= 0.0) return 0;
    return static_cast<std::int64_t>(std::ceil(t * fps_ - kFrameSlack));
}

std::int64_t FrameClock::lastFrameAtOrBefore(double t) const
{
    if (t < 0.0) return -1;
    return static_cast<std::int64_t>(std::floor(t * fps_ + kFrameSlack));
}

std::string frameFileName(double seconds) { return "frame-" + decimalText(seconds, 3, 8) + ".png"; }

bool selectAtTimes(const FrameClock& clock, const std::vector<double>& times, std::vector<Shot>& shots,
                   std::string& error)
{
    shots.clear();
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        Shot shot{clock.firstFrameAtOrAfter(sorted[i]), frameFileName(sorted[i])};
        if (!shots.empty() && shots.back().fileName == shot.fileName) {
            if (sorted[i] == sorted[i - 1]) continue; // the same time twice: one picture
            error = "--at: " + decimalText(sorted[i - 1], 6) + " and " + decimalText(sorted[i], 6) +
                    " s give the same file name " + shot.fileName;
            return false;
        }
        shots.push_back(std::move(shot));
    }
    return true;
}

} // namespace capture
