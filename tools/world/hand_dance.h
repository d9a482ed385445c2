#pragma once
// What the credits hand does, as functions of the scene clock: where the tip
// of its pointing finger is, how the hand is turned and how its fingers are
// curled. The twelve greeting windows are timed by playing the show's clock so
// that each opens on a beat of the music; the finger draws each greeting's top
// edge from one end to the other over its window, then swoops up and over to
// the start of the next.
#include "tools/world/show_clock.h"

#include "math/quat.h"
#include "math/vec.h"

#include <array>
#include <vector>

namespace world {

// Fingers of the hand: three fingers and a thumb, two segments each.
enum HandFinger { kIndex, kMiddle, kRing, kThumb, kFingerCount };

struct HandState {
    sm::Vec3 tip;   // the pointing fingertip, world space
    sm::Quat turn;  // the hand's orientation (identity: fingers down, back of the hand towards +Z)
    std::array<float, kFingerCount> curl{};  // degrees, per segment, towards the palm
};

struct GreetingSweep {
    GreetingWindow window;  // scene clock
    sm::Vec3 from, to;      // the fingertip at the window's open and close
};

class HandDance {
public:
    static constexpr float kSweepWidth = 350.0f;
    static constexpr float kWindowLength = 0.25f;
    static constexpr float kGreetingAspect = 256.0f / 1024.0f;  // height over width of a greeting picture

    // Places the windows: the first opens on the first beat from `firstOpen`
    // on, each later one on the first beat at least `minGap` of scene time
    // after the close before it (at most `maxGap`), as the show's clock plays
    // at `fps`.
    explicit HandDance(double fps = 60.0, float firstOpen = 217.5f, float minGap = 0.6f, float maxGap = 1.0f);

    const std::vector<GreetingSweep>& sweeps() const { return sweeps_; }
    std::vector<GreetingWindow> windows() const;
    // Greetings whose picture frame the show turns (it negates their side
    // vector): their sweep runs right to left, seen from the front.
    static bool turnedByTheShow(int greeting) { return greeting % 3 == 1; }

    HandState at(float sceneTime) const;
    // Where "hand_axis" must be at a window's open and close so that the
    // greeting the show hangs from it spans the finger's sweep, under it.
    sm::Vec3 axisAtOpen(int greeting) const;
    sm::Vec3 axisAtClose(int greeting) const;

private:
    sm::Vec3 tipAt(float t) const;
    std::vector<GreetingSweep> sweeps_;
};

} // namespace world
