#pragma once
// The show's clocks around the credits. The music (and the loop time with it)
// runs on at full speed; the scene clock is the credits dance clock: it
// starts at the music time and then advances by each frame's delta times a
// speed that falls towards a tenth (5 per second) while a greeting window is
// open and climbs back to full speed (5 per second) after it. The window's
// visibility is read from the step track at the scene time the previous
// frame left. Everything the scene shows (the robot, the hand, the main
// cameras' poses) runs on the scene clock; camera cuts run on the music.
#include <memory>
#include <vector>

template <typename T>
class IInterpolator;

namespace world {

struct GreetingWindow {
    float open, close;  // key times of the visibility track (scene clock)
};

// The visibility track as the hand's mesh property stores it: 0 from time 0,
// 1 from each window's open, 0 from its close.
std::unique_ptr<IInterpolator<int>> visibilityTrack(const std::vector<GreetingWindow>& windows);

class ShowClock {
public:
    // Plays the rules at a steady frame rate from loop time `from` (where the
    // scene clock equals it) up to loop time `until`.
    ShowClock(const std::vector<GreetingWindow>& windows, double fps, double from = 200.0, double until = 320.0);

    // The scene clock at a loop time (before `from`: the loop time itself).
    double scene(double loop) const;
    // The first loop time at which the scene clock reaches `scene`.
    double loop(double scene) const;
    // Loop time of the frame in which each window opens and closes (-1 when
    // it does not within the run).
    const std::vector<double>& opens() const { return opens_; }
    const std::vector<double>& closes() const { return closes_; }

private:
    double from_, fps_;
    std::vector<double> scene_;  // per frame, from `from`
    std::vector<double> opens_, closes_;
};

} // namespace world
