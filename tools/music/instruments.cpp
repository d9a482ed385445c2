#include "tools/music/instruments.h"

#include "tools/music/dsp.h"

namespace music {

namespace {

constexpr float kDt = 1.0f / kSampleRate;

// Gain over the last 10 ms of a voice of fixed length, so that it stops
// without a click.
inline float tailFade(int t, int length) {
    constexpr int kFade = kSampleRate / 100;
    return t + kFade <= length ? 1.0f : std::fmax(0.0f, static_cast<float>(length - t) / kFade);
}

// Bass drum: a sine that falls from a click to a low thump.
class KickVoice final : public Voice {
public:
    explicit KickVoice(const NoteEvent& e) : velocity_(e.velocity), noise_(e.seed) {}
    bool render(float* l, float* r, int n) override {
        for (int i = 0; i < n; ++i, ++t_) {
            const float hz = 46.0f + 120.0f * sweepFast_.next() + 20.0f * sweepSlow_.next();
            phase_ += hz * kDt;
            if (phase_ >= 1.0f) phase_ -= 1.0f;
            const float body = std::sin(2.0f * kPi * phase_) * amp_.next();
            const float click = noise_.bipolar() * click_.next();
            const float v = std::tanh(1.6f * (body + 0.25f * click)) * velocity_ * tailFade(t_, kLength);
            l[i] += v;
            r[i] += v;
        }
        return t_ < kLength;
    }

private:
    float velocity_;
    Random noise_;
    Decay amp_{0.26f};
    Decay click_{0.003f};
    Decay sweepFast_{0.03f};
    Decay sweepSlow_{0.12f};
    static constexpr int kLength = kSampleRate * 8 / 10;
    float phase_ = 0.0f;
    int t_ = 0;
};

// Snare: a short tone under band-passed noise.
class SnareVoice final : public Voice {
public:
    explicit SnareVoice(const NoteEvent& e) : velocity_(e.velocity), noise_(e.seed) {
        tone_.setFrequency(190.0f);
        filter_.set(2600.0f + 2000.0f * e.brightness, 0.2f);
    }
    bool render(float* l, float* r, int n) override {
        for (int i = 0; i < n; ++i, ++t_) {
            const float tone = tone_.next() * toneAmp_.next() * 0.5f;
            const float noise = filter_.band(noise_.bipolar()) * noiseAmp_.next() * 1.4f;
            const float v = (tone + noise) * velocity_;
            l[i] += v;
            r[i] += v;
        }
        return t_ < kSampleRate / 2;
    }

private:
    float velocity_;
    Random noise_;
    Sine tone_;
    Svf filter_;
    Decay toneAmp_{0.05f};
    Decay noiseAmp_{0.14f};
    int t_ = 0;
};

// Hand clap: three quick bursts of noise and a short tail.
class ClapVoice final : public Voice {
public:
    explicit ClapVoice(const NoteEvent& e) : velocity_(e.velocity), noise_(e.seed) {
        filterL_.set(1300.0f, 0.35f);
        filterR_.set(1450.0f, 0.35f);
    }
    bool render(float* l, float* r, int n) override {
        for (int i = 0; i < n; ++i, ++t_) {
            // Three bursts 10 ms apart, then the tail.
            if (t_ == 0 || t_ == kBurst || t_ == 2 * kBurst) burst_ = Decay(0.003f);
            if (t_ == 3 * kBurst) burst_ = Decay(0.16f);
            const float env = burst_.next();
            l[i] += filterL_.band(noise_.bipolar()) * env * velocity_ * 1.6f;
            r[i] += filterR_.band(noise_.bipolar()) * env * velocity_ * 1.6f;
        }
        return t_ < kSampleRate * 7 / 10;
    }

private:
    float velocity_;
    Random noise_;
    static constexpr int kBurst = kSampleRate / 100;
    Svf filterL_, filterR_;
    Decay burst_{0.003f};
    int t_ = 0;
};

// Hi-hat and crash cymbal: high-passed noise; the pan comes from the seed.
class CymbalVoice final : public Voice {
public:
    CymbalVoice(const NoteEvent& e, float decay, float cutoff, float seconds)
        : velocity_(e.velocity), noise_(e.seed), amp_(decay), frames_(static_cast<int>(seconds * kSampleRate)) {
        filterL_.set(cutoff, 0.1f);
        filterR_.set(cutoff * 1.07f, 0.1f);
        const float pan = (static_cast<float>(e.seed % 7) / 6.0f - 0.5f) * 0.5f;
        gainL_ = 1.0f - pan;
        gainR_ = 1.0f + pan;
    }
    bool render(float* l, float* r, int n) override {
        for (int i = 0; i < n; ++i, ++t_) {
            const float env = amp_.next() * velocity_;
            l[i] += filterL_.high(noise_.bipolar()) * env * gainL_;
            r[i] += filterR_.high(noise_.bipolar()) * env * gainR_;
        }
        return t_ < frames_;
    }

private:
    float velocity_;
    Random noise_;
    Decay amp_;
    int frames_;
    Svf filterL_, filterR_;
    float gainL_ = 1.0f, gainR_ = 1.0f;
    int t_ = 0;
};

// Bass: sawtooth and sine through a resonant low pass with a plucked
// envelope on its cutoff.
class BassVoice final : public Voice {
public:
    explicit BassVoice(const NoteEvent& e)
        : velocity_(e.velocity), gate_(e.length), brightness_(e.brightness), env_(0.003f, 0.12f, 0.75f, 0.04f) {
        const float hz = midiToHz(e.note);
        saw_.setFrequency(hz);
        sub_.setFrequency(hz);
    }
    bool render(float* l, float* r, int n) override {
        for (int i = 0; i < n; ++i, ++t_) {
            if (t_ == gate_) env_.noteOff();
            if ((t_ & 15) == 0) {
                const float cutoff = 180.0f + brightness_ * 2400.0f * filterEnv_.value() + 300.0f * brightness_;
                filter_.set(cutoff, 0.45f);
            }
            filterEnv_.next();
            const float x = saw_.next() * 0.7f + sub_.next() * 0.8f;
            const float v = std::tanh(filter_.low(x) * 1.3f) * env_.next() * velocity_;
            l[i] += v;
            r[i] += v;
        }
        return !env_.finished();
    }

private:
    float velocity_;
    std::int64_t gate_;
    float brightness_;
    Saw saw_;
    Sine sub_;
    Svf filter_;
    Adsr env_;
    Decay filterEnv_{0.09f};
    std::int64_t t_ = 0;
};

// Pad: three detuned sawtooths spread across the stereo field, slow swells.
class PadVoice final : public Voice {
public:
    explicit PadVoice(const NoteEvent& e)
        : velocity_(e.velocity), gate_(e.length), env_(0.5f + 0.8f * e.brightness, 0.5f, 0.85f, 1.1f) {
        const float hz = midiToHz(e.note);
        Random random(e.seed);
        saws_[0].setFrequency(hz * 0.9954f);
        saws_[1].setFrequency(hz);
        saws_[2].setFrequency(hz * 1.0046f);
        for (auto& saw : saws_) saw.setPhase(random.uniform());
        filterL_.set(1800.0f, 0.15f);
        filterR_.set(1900.0f, 0.15f);
    }
    bool render(float* l, float* r, int n) override {
        for (int i = 0; i < n; ++i, ++t_) {
            if (t_ == gate_) env_.noteOff();
            const float a = saws_[0].next();
            const float b = saws_[1].next();
            const float c = saws_[2].next();
            const float amp = env_.next() * velocity_ * 0.3f;
            l[i] += filterL_.low(a + 0.6f * b) * amp;
            r[i] += filterR_.low(c + 0.6f * b) * amp;
        }
        return !env_.finished();
    }

private:
    float velocity_;
    std::int64_t gate_;
    Saw saws_[3];
    Svf filterL_, filterR_;
    Adsr env_;
    std::int64_t t_ = 0;
};

// Pluck: a bright sawtooth and square mix with a fast closing filter.
class PluckVoice final : public Voice {
public:
    explicit PluckVoice(const NoteEvent& e)
        : velocity_(e.velocity), brightness_(e.brightness), pan_((e.seed & 1) ? 0.35f : -0.35f) {
        const float hz = midiToHz(e.note);
        saw_.setFrequency(hz);
        square_.setFrequency(hz * 1.003f);
        square_.setPhase(0.5f);
    }
    bool render(float* l, float* r, int n) override {
        for (int i = 0; i < n; ++i, ++t_) {
            if ((t_ & 15) == 0) filter_.set(350.0f + 5200.0f * brightness_ * filterEnv_.value(), 0.3f);
            filterEnv_.next();
            const float x = saw_.next() + 0.6f * square_.next();
            const float v = filter_.low(x) * amp_.next() * velocity_ * tailFade(t_, kLength);
            l[i] += v * (1.0f - pan_);
            r[i] += v * (1.0f + pan_);
        }
        return t_ < kLength;
    }

private:
    float velocity_;
    float brightness_;
    float pan_;
    Saw saw_, square_;  // two sawtooths a little apart
    Svf filter_;
    Decay filterEnv_{0.08f};
    Decay amp_{0.16f};
    static constexpr int kLength = kSampleRate * 55 / 100;
    int t_ = 0;
};

// Lead: two detuned sawtooths and a sub square with delayed vibrato.
class LeadVoice final : public Voice {
public:
    explicit LeadVoice(const NoteEvent& e)
        : velocity_(e.velocity), gate_(e.length), brightness_(e.brightness), hz_(midiToHz(e.note)),
          env_(0.012f, 0.3f, 0.7f, 0.25f) {
        lfo_.setFrequency(5.3f);
    }
    bool render(float* l, float* r, int n) override {
        for (int i = 0; i < n; ++i, ++t_) {
            if (t_ == gate_) env_.noteOff();
            if ((t_ & 15) == 0) {
                const float time = static_cast<float>(t_) * kDt;
                const float depth = std::fmin(1.0f, std::fmax(0.0f, (time - 0.25f) / 0.4f)) * 0.006f;
                const float wobble = 1.0f + depth * lfo_.next();
                a_.setFrequency(hz_ * wobble * 0.997f);
                b_.setFrequency(hz_ * wobble * 1.003f);
                filter_.set(900.0f + brightness_ * (2200.0f + 2600.0f * filterEnv_.value()), 0.25f);
            }
            filterEnv_.next();
            const float amp = env_.next() * velocity_ * 0.5f;
            const float sa = a_.next();
            const float sb = b_.next();
            const float mono = filter_.low(sa + sb);
            l[i] += (mono + 0.25f * sa) * amp;
            r[i] += (mono + 0.25f * sb) * amp;
        }
        return !env_.finished();
    }

private:
    float velocity_;
    std::int64_t gate_;
    float brightness_;
    float hz_;
    Saw a_, b_;
    Sine lfo_;
    Svf filter_;
    Adsr env_;
    Decay filterEnv_{0.25f};
    std::int64_t t_ = 0;
};

// Bell: two-operator FM with a bright attack and a long ring.
class BellVoice final : public Voice {
public:
    explicit BellVoice(const NoteEvent& e) : velocity_(e.velocity), hz_(midiToHz(e.note)) {
        index_ = Decay(0.5f, 1.5f + 2.5f * e.brightness);
    }
    bool render(float* l, float* r, int n) override {
        for (int i = 0; i < n; ++i, ++t_) {
            modPhase_ += hz_ * 3.5f * kDt;
            if (modPhase_ >= 1.0f) modPhase_ -= 1.0f;
            const float mod = index_.next() * std::sin(2.0f * kPi * modPhase_);
            carrierL_ += hz_ * kDt;
            carrierR_ += hz_ * 1.0021f * kDt;
            if (carrierL_ >= 1.0f) carrierL_ -= 1.0f;
            if (carrierR_ >= 1.0f) carrierR_ -= 1.0f;
            const float amp = amp_.next() * velocity_ * 0.4f;
            l[i] += std::sin(2.0f * kPi * carrierL_ + mod) * amp;
            r[i] += std::sin(2.0f * kPi * carrierR_ + mod) * amp;
        }
        return t_ < kSampleRate * 4;
    }

private:
    float velocity_;
    float hz_;
    Decay index_{0.5f};
    Decay amp_{1.1f};
    float modPhase_ = 0.0f, carrierL_ = 0.0f, carrierR_ = 0.25f;
    int t_ = 0;
};

// Riser: noise swept up through a band pass, with a climbing sawtooth.
class RiserVoice final : public Voice {
public:
    explicit RiserVoice(const NoteEvent& e)
        : velocity_(e.velocity), length_(std::max<std::int64_t>(e.length, 1)), noise_(e.seed), hz_(midiToHz(e.note)) {}
    bool render(float* l, float* r, int n) override {
        for (int i = 0; i < n; ++i, ++t_) {
            if (t_ >= length_) return false;
            const float x = static_cast<float>(t_) / static_cast<float>(length_);
            if ((t_ & 15) == 0) {
                const float cutoff = 300.0f * std::exp2(x * 5.0f);
                filterL_.set(cutoff, 0.6f);
                filterR_.set(cutoff * 1.1f, 0.6f);
                saw_.setFrequency(hz_ * std::exp2(x * 2.0f));
            }
            const float amp = x * x * velocity_;
            const float tone = saw_.next() * 0.15f;
            l[i] += (filterL_.band(noise_.bipolar()) * 1.5f + tone) * amp;
            r[i] += (filterR_.band(noise_.bipolar()) * 1.5f + tone) * amp;
        }
        return t_ < length_;
    }

private:
    float velocity_;
    std::int64_t length_;
    Random noise_;
    float hz_;
    Svf filterL_, filterR_;
    Saw saw_;
    std::int64_t t_ = 0;
};

// Impact: a falling sub boom under a noise burst.
class ImpactVoice final : public Voice {
public:
    explicit ImpactVoice(const NoteEvent& e) : velocity_(e.velocity), noise_(e.seed) {
        filter_.set(2500.0f, 0.1f);
    }
    bool render(float* l, float* r, int n) override {
        for (int i = 0; i < n; ++i, ++t_) {
            const float time = t_ * kDt;
            phase_ += (32.0f + 50.0f * std::exp(-time / 0.25f)) * kDt;
            if (phase_ >= 1.0f) phase_ -= 1.0f;
            const float boom = std::sin(2.0f * kPi * phase_) * boomAmp_.next();
            const float burst = filter_.high(noise_.bipolar()) * burstAmp_.next() * 0.6f;
            l[i] += (boom + burst) * velocity_;
            r[i] += (boom + 0.4f * burst) * velocity_;
        }
        return t_ < kSampleRate * 3;
    }

private:
    float velocity_;
    Random noise_;
    Svf filter_;
    Decay boomAmp_{0.7f};
    Decay burstAmp_{0.4f};
    float phase_ = 0.0f;
    int t_ = 0;
};

// Glitch stab: a square wave crushed to few bits and a low sample rate.
class GlitchVoice final : public Voice {
public:
    explicit GlitchVoice(const NoteEvent& e)
        : velocity_(e.velocity), gate_(std::max<std::int64_t>(e.length, 64)), hz_(midiToHz(e.note)),
          hold_(4 + static_cast<int>(e.seed % 12)), levels_(4.0f + static_cast<float>(e.seed % 5) * 2.0f) {}
    bool render(float* l, float* r, int n) override {
        for (int i = 0; i < n; ++i, ++t_) {
            if (t_ >= gate_ + 200) return false;
            phase_ += hz_ * kDt;
            if (phase_ >= 1.0f) phase_ -= 1.0f;
            if (t_ % hold_ == 0) {
                const float x = (phase_ < 0.5f ? 1.0f : -1.0f) * 0.6f + 0.4f * std::sin(2.0f * kPi * phase_ * 2.0f);
                held_ = std::round(x * levels_) / levels_;
            }
            const float env = t_ < gate_ ? 1.0f : 1.0f - static_cast<float>(t_ - gate_) / 200.0f;
            const float v = held_ * env * velocity_ * 0.5f;
            l[i] += v;
            r[i] += v;
        }
        return true;
    }

private:
    float velocity_;
    std::int64_t gate_;
    float hz_;
    int hold_;
    float levels_;
    float phase_ = 0.0f;
    float held_ = 0.0f;
    std::int64_t t_ = 0;
};

// Drone: two slightly detuned sines that beat slowly, swelling in and out.
class DroneVoice final : public Voice {
public:
    explicit DroneVoice(const NoteEvent& e)
        : velocity_(e.velocity), length_(std::max<std::int64_t>(e.length, 1)) {
        const float hz = midiToHz(e.note);
        a_.setFrequency(hz);
        b_.setFrequency(hz * 1.006f);
    }
    bool render(float* l, float* r, int n) override {
        for (int i = 0; i < n; ++i, ++t_) {
            if (t_ >= length_) return false;
            const float x = static_cast<float>(t_) / static_cast<float>(length_);
            const float env = std::sin(kPi * x) * velocity_;
            l[i] += a_.next() * env;
            r[i] += b_.next() * env;
        }
        return t_ < length_;
    }

private:
    float velocity_;
    std::int64_t length_;
    Sine a_, b_;
    std::int64_t t_ = 0;
};

}  // namespace

std::unique_ptr<Voice> makeVoice(Instrument instrument, const NoteEvent& e) {
    switch (instrument) {
        case Instrument::Kick: return std::make_unique<KickVoice>(e);
        case Instrument::Snare: return std::make_unique<SnareVoice>(e);
        case Instrument::Clap: return std::make_unique<ClapVoice>(e);
        case Instrument::ClosedHat: return std::make_unique<CymbalVoice>(e, 0.03f, 7500.0f, 0.25f);
        case Instrument::OpenHat: return std::make_unique<CymbalVoice>(e, 0.16f, 6500.0f, 0.9f);
        case Instrument::Crash: return std::make_unique<CymbalVoice>(e, 1.3f, 4200.0f, 5.0f);
        case Instrument::Bass: return std::make_unique<BassVoice>(e);
        case Instrument::Pad: return std::make_unique<PadVoice>(e);
        case Instrument::Pluck: return std::make_unique<PluckVoice>(e);
        case Instrument::Lead: return std::make_unique<LeadVoice>(e);
        case Instrument::Bell: return std::make_unique<BellVoice>(e);
        case Instrument::Riser: return std::make_unique<RiserVoice>(e);
        case Instrument::Impact: return std::make_unique<ImpactVoice>(e);
        case Instrument::Glitch: return std::make_unique<GlitchVoice>(e);
        case Instrument::Drone: return std::make_unique<DroneVoice>(e);
    }
    return nullptr;
}

}  // namespace music
