#include "tools/music/mixer.h"

#include "tools/music/dsp.h"
#include "tools/music/effects.h"
#include "tools/music/timeline.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace music {

namespace {

constexpr int kBlock = 256;
constexpr float kMasterGain = 0.55f;
constexpr double kFadeStart = 282.0;  // the last chord fades from here to the end of the music

struct TrackState {
    const Track* track = nullptr;
    std::size_t next = 0;
    std::vector<std::unique_ptr<Voice>> voices;
    Svf lowPassL, lowPassR;
};

// The master level at a frame: the blackout gate and the final fade.
float masterLevel(std::int64_t frame, std::int64_t blackout, std::int64_t drop, std::int64_t fadeStart,
                  std::int64_t end) {
    if (frame >= blackout && frame < drop) {
        return std::max(0.0f, 1.0f - static_cast<float>(frame - blackout) / 64.0f);
    }
    if (frame >= end) return 0.0f;
    if (frame >= fadeStart) {
        const float x = static_cast<float>(frame - fadeStart) / static_cast<float>(end - fadeStart);
        return 0.5f + 0.5f * std::cos(kPi * x);
    }
    return 1.0f;
}

}  // namespace

std::vector<std::int16_t> mixArrangement(const Arrangement& arrangement, std::int64_t frames) {
    std::vector<std::int16_t> pcm;
    mixArrangementInto(arrangement, frames, pcm, nullptr);
    return pcm;
}

void mixArrangementInto(const Arrangement& arrangement, std::int64_t frames, std::vector<std::int16_t>& pcm,
                        const std::function<void(std::int64_t)>& progress) {
    pcm.assign(static_cast<std::size_t>(std::max<std::int64_t>(frames, 0)) * 2, 0);

    std::vector<TrackState> states(arrangement.tracks.size());
    std::vector<NoteEvent> kicks;
    for (std::size_t i = 0; i < states.size(); ++i) {
        states[i].track = &arrangement.tracks[i];
        if (arrangement.tracks[i].sidechainSource) {
            kicks.insert(kicks.end(), arrangement.tracks[i].events.begin(), arrangement.tracks[i].events.end());
        }
    }
    std::stable_sort(kicks.begin(), kicks.end(), [](const NoteEvent& a, const NoteEvent& b) { return a.start < b.start; });

    const double bar = arrangement.sections.empty() ? 2.0 : arrangement.sections.front().barSeconds();
    PingPongDelay delay(static_cast<std::size_t>(std::llround(bar * 3.0 / 16.0 * kSampleRate)), 0.42f);
    Reverb reverb(0.82f, 0.35f, 1.0f);
    const Section& g = arrangement.glitch;
    Stutter stutter(frameAt(g.start), frameAt(g.end), g.barSeconds() / 16.0 * kSampleRate, 0x5eed1234u);

    const std::int64_t blackout = frameAt(timeline::kBlackout);
    const std::int64_t drop = frameAt(timeline::kDrop);
    const std::int64_t fadeStart = frameAt(kFadeStart);
    const std::int64_t end = frameAt(timeline::kMusicEnd);

    float trackL[kBlock], trackR[kBlock];
    float dryL[kBlock], dryR[kBlock];
    float postL[kBlock], postR[kBlock];
    float delayL[kBlock], delayR[kBlock];
    float reverbIn[kBlock];
    float duckEnv[kBlock];
    std::size_t nextKick = 0;
    float sidechain = 0.0f;
    const float sidechainDecay = std::exp(-1.0f / (0.13f * kSampleRate));

    for (std::int64_t start = 0; start < frames; start += kBlock) {
        const int n = static_cast<int>(std::min<std::int64_t>(kBlock, frames - start));
        const double seconds = static_cast<double>(start) / kSampleRate;

        // Inside the blackout nothing from before may ring on, echoes
        // included, or it would come back with the drop. (The gate silences
        // the block that holds the mark itself.)
        if (start >= blackout && start < drop) {
            for (TrackState& s : states) {
                if (!s.track->afterGate) s.voices.clear();
            }
            delay.clear();
            reverb.clear();
        }

        for (int i = 0; i < n; ++i) {
            while (nextKick < kicks.size() && kicks[nextKick].start <= start + i) {
                sidechain = std::max(sidechain, kicks[nextKick].velocity);
                ++nextKick;
            }
            duckEnv[i] = sidechain;
            sidechain *= sidechainDecay;
        }

        std::fill(dryL, dryL + n, 0.0f);
        std::fill(dryR, dryR + n, 0.0f);
        std::fill(postL, postL + n, 0.0f);
        std::fill(postR, postR + n, 0.0f);
        std::fill(delayL, delayL + n, 0.0f);
        std::fill(delayR, delayR + n, 0.0f);
        std::fill(reverbIn, reverbIn + n, 0.0f);

        for (TrackState& s : states) {
            const Track& t = *s.track;
            std::fill(trackL, trackL + n, 0.0f);
            std::fill(trackR, trackR + n, 0.0f);
            bool sounding = false;
            for (std::size_t v = 0; v < s.voices.size();) {
                sounding = true;
                if (s.voices[v]->render(trackL, trackR, n)) {
                    ++v;
                } else {
                    s.voices.erase(s.voices.begin() + static_cast<std::ptrdiff_t>(v));
                }
            }
            while (s.next < t.events.size() && t.events[s.next].start < start + n) {
                const NoteEvent& e = t.events[s.next++];
                const int offset = static_cast<int>(std::max<std::int64_t>(0, e.start - start));
                auto voice = makeVoice(t.instrument, e);
                sounding = true;
                if (voice->render(trackL + offset, trackR + offset, n - offset)) s.voices.push_back(std::move(voice));
            }
            if (!sounding) continue;
            if (t.cutoff != nullptr) {
                const float cutoff = t.cutoff(seconds);
                s.lowPassL.set(cutoff, 0.1f);
                s.lowPassR.set(cutoff, 0.1f);
                for (int i = 0; i < n; ++i) {
                    trackL[i] = s.lowPassL.low(trackL[i]);
                    trackR[i] = s.lowPassR.low(trackR[i]);
                }
            }
            const float gainL = t.gain * (1.0f - t.pan);
            const float gainR = t.gain * (1.0f + t.pan);
            float* outL = t.afterGate ? postL : dryL;
            float* outR = t.afterGate ? postR : dryR;
            for (int i = 0; i < n; ++i) {
                const float duck = 1.0f - t.duck * duckEnv[i];
                const float l = trackL[i] * gainL * duck;
                const float r = trackR[i] * gainR * duck;
                outL[i] += l;
                outR[i] += r;
                delayL[i] += l * t.delaySend;
                delayR[i] += r * t.delaySend;
                reverbIn[i] += (l + r) * t.reverbSend;
            }
        }

        delay.process(delayL, delayR, dryL, dryR, n);
        reverb.process(reverbIn, dryL, dryR, n);
        stutter.process(dryL, dryR, start, n);

        for (int i = 0; i < n; ++i) {
            const float level = masterLevel(start + i, blackout, drop, fadeStart, end) * kMasterGain;
            const float l = softClip(dryL[i] * level + postL[i] * kMasterGain);
            const float r = softClip(dryR[i] * level + postR[i] * kMasterGain);
            const auto index = static_cast<std::size_t>(start + i) * 2;
            pcm[index] = static_cast<std::int16_t>(std::clamp(std::lround(l * 32767.0f), -32768L, 32767L));
            pcm[index + 1] = static_cast<std::int16_t>(std::clamp(std::lround(r * 32767.0f), -32768L, 32767L));
        }
        if (progress && ((start / kBlock) % 32 == 31 || start + n == frames)) progress(start + n);
    }
}

}  // namespace music
