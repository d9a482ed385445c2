#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// Building blocks of the synthesiser: oscillators, envelopes, filters, delay
// lines. Everything runs in single precision at one fixed rate and is fully
// deterministic (random numbers come from seeded generators).
namespace music {

inline constexpr int kSampleRate = 44100;
inline constexpr float kPi = 3.14159265358979f;

inline float midiToHz(float note) { return 440.0f * std::exp2((note - 69.0f) / 12.0f); }
inline float dbToGain(float db) { return std::pow(10.0f, db / 20.0f); }

// xorshift32: small, fast and the same everywhere.
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed ? seed : 0x9e3779b9u) {}
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    float uniform() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }  // [0, 1)
    float bipolar() { return uniform() * 2.0f - 1.0f; }                               // [-1, 1)
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

private:
    std::uint32_t state_;
};

// Band-limited sawtooth (polyBLEP), -1..1.
class Saw {
public:
    void setFrequency(float hz) { increment_ = hz / kSampleRate; }
    void setPhase(float phase) { phase_ = phase; }
    float next() {
        const float t = phase_;
        const float dt = increment_;
        float value = 2.0f * t - 1.0f;
        if (t < dt) {
            const float x = t / dt;
            value -= x + x - x * x - 1.0f;
        } else if (t > 1.0f - dt) {
            const float x = (t - 1.0f) / dt;
            value -= x * x + x + x + 1.0f;
        }
        phase_ += dt;
        if (phase_ >= 1.0f) phase_ -= 1.0f;
        return value;
    }

private:
    float phase_ = 0.0f;
    float increment_ = 0.0f;
};

// Sine from a phase accumulator.
class Sine {
public:
    void setFrequency(float hz) { increment_ = hz / kSampleRate; }
    void setPhase(float phase) { phase_ = phase; }
    float next() {
        const float value = std::sin(2.0f * kPi * phase_);
        phase_ += increment_;
        if (phase_ >= 1.0f) phase_ -= 1.0f;
        return value;
    }
    float phase() const { return phase_; }

private:
    float phase_ = 0.0f;
    float increment_ = 0.0f;
};

// Attack, decay, sustain, release; times in seconds, linear segments.
class Adsr {
public:
    Adsr(float attack, float decay, float sustain, float release)
        : attackStep_(1.0f / std::max(1.0f, attack * kSampleRate)),
          decayStep_((1.0f - sustain) / std::max(1.0f, decay * kSampleRate)),
          sustain_(sustain),
          releaseSamples_(std::max(1.0f, release * kSampleRate)) {}

    void noteOff() {
        if (stage_ < Stage::Release) {
            stage_ = Stage::Release;
            releaseStep_ = level_ / releaseSamples_;
        }
    }
    bool finished() const { return stage_ == Stage::Done; }
    float next() {
        switch (stage_) {
            case Stage::Attack:
                level_ += attackStep_;
                if (level_ >= 1.0f) {
                    level_ = 1.0f;
                    stage_ = Stage::Decay;
                }
                break;
            case Stage::Decay:
                level_ -= decayStep_;
                if (level_ <= sustain_) {
                    level_ = sustain_;
                    stage_ = Stage::Sustain;
                }
                break;
            case Stage::Sustain: break;
            case Stage::Release:
                level_ -= releaseStep_;
                if (level_ <= 0.0f) {
                    level_ = 0.0f;
                    stage_ = Stage::Done;
                }
                break;
            case Stage::Done: break;
        }
        return level_;
    }

private:
    enum class Stage { Attack, Decay, Sustain, Release, Done };
    float attackStep_;
    float decayStep_;
    float sustain_;
    float releaseSamples_;
    float releaseStep_ = 0.0f;
    float level_ = 0.0f;
    Stage stage_ = Stage::Attack;
};

// Exponential decay: multiplies by a constant each sample.
class Decay {
public:
    explicit Decay(float seconds, float start = 1.0f)
        : value_(start), factor_(std::exp(-1.0f / (seconds * kSampleRate))) {}
    float next() {
        const float v = value_;
        value_ *= factor_;
        return v;
    }
    float value() const { return value_; }

private:
    float value_;
    float factor_;
};

// State-variable filter (topology-preserving transform): low, band and high
// pass outputs from one structure. Coefficients are set explicitly so that
// callers can update them at a control rate.
class Svf {
public:
    void set(float cutoffHz, float resonance) {
        const float fc = std::fmin(std::fmax(cutoffHz, 20.0f), 0.45f * kSampleRate);
        g_ = std::tan(kPi * fc / kSampleRate);
        k_ = 2.0f - 1.9f * std::fmin(std::fmax(resonance, 0.0f), 1.0f);
        a1_ = 1.0f / (1.0f + g_ * (g_ + k_));
        a2_ = g_ * a1_;
        a3_ = g_ * a2_;
    }
    void process(float x) {
        const float v3 = x - ic2_;
        const float v1 = a1_ * ic1_ + a2_ * v3;
        const float v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
        ic1_ = 2.0f * v1 - ic1_;
        ic2_ = 2.0f * v2 - ic2_;
        low_ = v2;
        band_ = v1;
        high_ = x - k_ * v1 - v2;
    }
    float low(float x) { process(x); return low_; }
    float band(float x) { process(x); return band_; }
    float high(float x) { process(x); return high_; }
    void clear() { ic1_ = ic2_ = 0.0f; }

private:
    float g_ = 0.0f, k_ = 2.0f, a1_ = 0.0f, a2_ = 0.0f, a3_ = 0.0f;
    float ic1_ = 0.0f, ic2_ = 0.0f;
    float low_ = 0.0f, band_ = 0.0f, high_ = 0.0f;
};

// One-pole low pass.
class OnePole {
public:
    void set(float cutoffHz) { a_ = 1.0f - std::exp(-2.0f * kPi * cutoffHz / kSampleRate); }
    float next(float x) { return state_ += a_ * (x - state_); }
    void clear() { state_ = 0.0f; }

private:
    float a_ = 1.0f;
    float state_ = 0.0f;
};

// Fixed-length delay line.
class DelayLine {
public:
    explicit DelayLine(std::size_t length) : buffer_(length, 0.0f) {}
    float read() const { return buffer_[index_]; }
    void write(float x) {
        buffer_[index_] = x;
        if (++index_ == buffer_.size()) index_ = 0;
    }
    void clear() { std::fill(buffer_.begin(), buffer_.end(), 0.0f); }

private:
    std::vector<float> buffer_;
    std::size_t index_ = 0;
};

// Gentle saturation, unity gain for small signals.
inline float softClip(float x) {
    const float a = std::fabs(x);
    if (a <= 0.8f) return x;
    const float y = 0.8f + 0.2f * std::tanh((a - 0.8f) / 0.2f);
    return x < 0.0f ? -y : y;
}

}  // namespace music
