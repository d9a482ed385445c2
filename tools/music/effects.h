#pragma once

#include "tools/music/dsp.h"

#include <array>
#include <cstdint>
#include <vector>

namespace music {

// Stereo reverb: eight damped comb filters and four all-pass filters per
// side (the classic Schroeder-Moorer arrangement).
class Reverb {
public:
    Reverb(float room, float damping, float width);
    // Reads a mono send and adds the wet stereo signal to left and right.
    void process(const float* in, float* left, float* right, int frames);
    void clear();

private:
    struct Comb {
        std::vector<float> buffer;
        std::size_t index = 0;
        float store = 0.0f;
    };
    struct AllPass {
        std::vector<float> buffer;
        std::size_t index = 0;
    };
    std::array<Comb, 8> combL_, combR_;
    std::array<AllPass, 4> allPassL_, allPassR_;
    float feedback_;
    float damp1_, damp2_;
    float wet1_, wet2_;
};

// Ping-pong echo: the first repeat on the left, the next on the right, each
// a little darker than the one before.
class PingPongDelay {
public:
    PingPongDelay(std::size_t delayFrames, float feedback);
    void process(const float* inL, const float* inR, float* left, float* right, int frames);
    void clear();

private:
    DelayLine left_, right_;
    OnePole toneL_, toneR_;
    float feedback_;
};

// The stutter of the glitching passage: on every sixteenth step a seeded
// choice passes the mix, repeats a short slice of it, plays the previous step
// backwards, crushes it or chops it off.
class Stutter {
public:
    Stutter(std::int64_t startFrame, std::int64_t endFrame, double stepFrames, std::uint32_t seed);
    void process(float* left, float* right, std::int64_t firstFrame, int frames);

private:
    enum class Action { Pass, Repeat, Reverse, Crush, Chop };
    void beginStep(std::int64_t step);

    std::int64_t start_, end_;
    double stepFrames_;
    std::uint32_t seed_;
    std::int64_t step_ = -1;
    std::int64_t stepStart_ = 0;
    std::int64_t stepLength_ = 1;
    Action action_ = Action::Pass;
    std::int64_t slice_ = 1;
    float heldL_ = 0.0f, heldR_ = 0.0f;
    std::vector<float> ringL_, ringR_;
};

}  // namespace music
