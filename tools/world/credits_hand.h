#pragma once
// The credits hand ("credits_dance_hand"): a big mechanical hand hanging from
// the gantry crane over the stage, with the greeting windows on the int step
// property "credits_visible" of its mesh "credits_hand" and the helper
// "hand_axis" whose path each greeting hangs under.
//
// The windows are placed by playing the show's clock: the dance clock slows
// towards a tenth of its speed while a greeting shows (5 per second down,
// 5 per second back up), the visibility is read at the previous frame's
// dance time, and the end picture starts at loop time 256.
#include <vector>

namespace content {
class Staging;
}

namespace world {

struct GreetingWindow {
    float open, close;  // key times of the visibility track (dance clock)
};

// The twelve windows of the show.
std::vector<GreetingWindow> greetingWindows();
// Plays the clock rules at a steady frame rate from loop time `from` (with
// the dance clock equal to it) and returns the loop time of the frame in
// which each window closes (-1 for one that never closes in `until`).
std::vector<double> windowCloseTimes(const std::vector<GreetingWindow>& windows, double fps, double from = 200.0,
                                     double until = 400.0);

void writeCreditsHand(content::Staging& staging);

} // namespace world
