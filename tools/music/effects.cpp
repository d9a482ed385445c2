#include "tools/music/effects.h"

namespace music {

namespace {

constexpr int kCombTuning[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr int kAllPassTuning[4] = {556, 441, 341, 225};
constexpr int kStereoSpread = 23;
constexpr float kReverbInputGain = 0.015f;
constexpr std::size_t kRingSize = 1 << 16;  // frames remembered by the stutter (about 1.5 s)

}  // namespace

Reverb::Reverb(float room, float damping, float width)
    : feedback_(room * 0.28f + 0.7f),
      damp1_(damping * 0.4f),
      damp2_(1.0f - damping * 0.4f),
      wet1_(3.0f * (width / 2.0f + 0.5f)),
      wet2_(3.0f * ((1.0f - width) / 2.0f)) {
    for (int i = 0; i < 8; ++i) {
        combL_[static_cast<std::size_t>(i)].buffer.assign(static_cast<std::size_t>(kCombTuning[i]), 0.0f);
        combR_[static_cast<std::size_t>(i)].buffer.assign(static_cast<std::size_t>(kCombTuning[i] + kStereoSpread), 0.0f);
    }
    for (int i = 0; i < 4; ++i) {
        allPassL_[static_cast<std::size_t>(i)].buffer.assign(static_cast<std::size_t>(kAllPassTuning[i]), 0.0f);
        allPassR_[static_cast<std::size_t>(i)].buffer.assign(static_cast<std::size_t>(kAllPassTuning[i] + kStereoSpread), 0.0f);
    }
}

void Reverb::clear() {
    for (auto* bank : {&combL_, &combR_}) {
        for (Comb& c : *bank) {
            std::fill(c.buffer.begin(), c.buffer.end(), 0.0f);
            c.store = 0.0f;
        }
    }
    for (auto* bank : {&allPassL_, &allPassR_}) {
        for (AllPass& a : *bank) std::fill(a.buffer.begin(), a.buffer.end(), 0.0f);
    }
}

void Reverb::process(const float* in, float* left, float* right, int frames) {
    for (int i = 0; i < frames; ++i) {
        const float input = in[i] * kReverbInputGain;
        float outL = 0.0f;
        float outR = 0.0f;
        for (int side = 0; side < 2; ++side) {
            auto& combs = side == 0 ? combL_ : combR_;
            auto& allPasses = side == 0 ? allPassL_ : allPassR_;
            float sum = 0.0f;
            for (Comb& c : combs) {
                const float out = c.buffer[c.index];
                c.store = out * damp2_ + c.store * damp1_;
                c.buffer[c.index] = input + c.store * feedback_;
                if (++c.index == c.buffer.size()) c.index = 0;
                sum += out;
            }
            for (AllPass& a : allPasses) {
                const float buffered = a.buffer[a.index];
                a.buffer[a.index] = sum + buffered * 0.5f;
                if (++a.index == a.buffer.size()) a.index = 0;
                sum = buffered - sum;
            }
            (side == 0 ? outL : outR) = sum;
        }
        left[i] += outL * wet1_ + outR * wet2_;
        right[i] += outR * wet1_ + outL * wet2_;
    }
}

PingPongDelay::PingPongDelay(std::size_t delayFrames, float feedback)
    : left_(delayFrames), right_(delayFrames), feedback_(feedback) {
    toneL_.set(4200.0f);
    toneR_.set(3800.0f);
}

void PingPongDelay::clear() {
    left_.clear();
    right_.clear();
    toneL_.clear();
    toneR_.clear();
}

void PingPongDelay::process(const float* inL, const float* inR, float* left, float* right, int frames) {
    for (int i = 0; i < frames; ++i) {
        const float outL = left_.read();
        const float outR = right_.read();
        left_.write(0.5f * (inL[i] + inR[i]) + feedback_ * toneR_.next(outR));
        right_.write(feedback_ * toneL_.next(outL));
        left[i] += outL;
        right[i] += outR;
    }
}

Stutter::Stutter(std::int64_t startFrame, std::int64_t endFrame, double stepFrames, std::uint32_t seed)
    : start_(startFrame), end_(endFrame), stepFrames_(stepFrames), seed_(seed), ringL_(kRingSize), ringR_(kRingSize) {}

void Stutter::beginStep(std::int64_t step) {
    step_ = step;
    stepStart_ = start_ + static_cast<std::int64_t>(std::llround(static_cast<double>(step) * stepFrames_));
    stepLength_ = std::max<std::int64_t>(1, static_cast<std::int64_t>(std::llround(stepFrames_)));
    Random random(seed_ ^ static_cast<std::uint32_t>(step * 2654435761u));
    random.next();
    const float r = random.uniform();
    if (r < 0.42f) {
        action_ = Action::Pass;
    } else if (r < 0.62f) {
        action_ = Action::Repeat;
        slice_ = std::max<std::int64_t>(32, stepLength_ >> (2 + random.below(3)));
    } else if (r < 0.72f) {
        action_ = Action::Reverse;
    } else if (r < 0.87f) {
        action_ = Action::Crush;
        slice_ = 4 + random.below(10);
    } else {
        action_ = Action::Chop;
    }
}

void Stutter::process(float* left, float* right, std::int64_t firstFrame, int frames) {
    constexpr std::size_t mask = kRingSize - 1;
    for (int i = 0; i < frames; ++i) {
        const std::int64_t frame = firstFrame + i;
        if (frame < start_ || frame >= end_) continue;
        const auto at = static_cast<std::size_t>(frame) & mask;
        ringL_[at] = left[i];
        ringR_[at] = right[i];
        const auto step = static_cast<std::int64_t>(static_cast<double>(frame - start_) / stepFrames_);
        if (step != step_) beginStep(step);
        const std::int64_t offset = frame - stepStart_;
        // Short ramps at the step's edges keep the cuts from clicking hard.
        const float edge = std::min(1.0f, std::min(static_cast<float>(offset), static_cast<float>(stepLength_ - offset)) / 48.0f);
        float l = left[i];
        float r = right[i];
        switch (action_) {
            case Action::Pass: break;
            case Action::Repeat:
                if (offset >= slice_) {
                    const auto from = static_cast<std::size_t>(stepStart_ + offset % slice_) & mask;
                    l = ringL_[from];
                    r = ringR_[from];
                }
                break;
            case Action::Reverse: {
                const auto from = static_cast<std::size_t>(stepStart_ - 1 - offset) & mask;
                l = ringL_[from] * std::max(0.0f, edge);
                r = ringR_[from] * std::max(0.0f, edge);
                break;
            }
            case Action::Crush:
                if (offset % slice_ == 0) {
                    heldL_ = std::round(l * 12.0f) / 12.0f;
                    heldR_ = std::round(r * 12.0f) / 12.0f;
                }
                l = heldL_;
                r = heldR_;
                break;
            case Action::Chop: {
                const float gate = offset < stepLength_ / 2 ? 1.0f : 0.0f;
                const float ramp = offset < stepLength_ / 2 ? std::min(1.0f, static_cast<float>(stepLength_ / 2 - offset) / 48.0f) : 0.0f;
                l *= gate * ramp;
                r *= gate * ramp;
                break;
            }
        }
        left[i] = l;
        right[i] = r;
    }
}

}  // namespace music
