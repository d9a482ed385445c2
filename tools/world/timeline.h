#pragma once
// Key poses on a timeline and the smooth curve through them: each value
// (the hip's place, every joint's rotation, the eyes) follows a monotone
// cubic through its keys, so a pose that is held stays held (no swing past
// it) and unequal spacing between keys does not kink the motion. Clips are
// sampled from it at an even rate and written as TCB keys, which the engine
// then plays back as the same curve.
#include "tools/world/pose.h"

#include <vector>

namespace world {

// Any number of values keyed over time.
class Spline {
public:
    // Keys come in increasing time; a key at the time of the last one replaces it.
    void key(float t, std::vector<float> values);
    std::vector<float> at(float t) const;
    bool empty() const { return times_.empty(); }
    float start() const { return times_.front(); }
    float end() const { return times_.back(); }

private:
    std::vector<float> times_;
    std::vector<std::vector<float>> values_;
};

class PoseTimeline {
public:
    // A key pose; rotations are kept on the side of the previous key's, so
    // every joint takes the short way.
    void key(float t, const Pose& pose);
    // Holds the last pose until t.
    void hold(float t);
    Pose at(float t) const;
    const Pose& last() const { return last_; }
    float end() const { return curve_.end(); }
    bool empty() const { return curve_.empty(); }

private:
    Spline curve_;
    Pose last_;
};

// Times from t0 to t1 (both included) at about `rate` per second, evenly spaced.
std::vector<float> evenTimes(float t0, float t1, float rate);

// A pose blended towards another (rotations by the shorter way).
Pose blend(const Pose& a, const Pose& b, float t);
// Smooth steps from 0 to 1 over [0, 1].
float ease(float u);
float easeOut(float u);
float easeIn(float u);

} // namespace world
