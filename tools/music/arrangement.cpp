#include "tools/music/arrangement.h"

#include "tools/music/dsp.h"
#include "tools/music/timeline.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace music {

using namespace timeline;

std::int64_t frameAt(double seconds) { return std::llround(seconds * kSampleRate); }

namespace {

// The main tempo: 56 bars from the start to the breakdown (about 126.8 BPM).
constexpr double kMainBar = kBreakdown / 56.0;
constexpr double kIntroEnd = 8.0 * kMainBar;
constexpr double kRiseEnd = 16.0 * kMainBar;

// A minor. Bass root and a four-note pad voicing (MIDI numbers).
struct Chord {
    float bass;
    std::array<float, 4> pad;
};
const Chord kAm{33, {57, 60, 64, 67}};
const Chord kF{29, {53, 57, 60, 64}};
const Chord kC{36, {55, 60, 62, 64}};
const Chord kG{31, {55, 59, 62, 67}};
const Chord kDm{38, {57, 60, 62, 65}};
const Chord kE{28, {56, 59, 62, 64}};
const Chord kBb{34, {53, 58, 62, 65}};
const Chord kAm9{33, {57, 60, 64, 71}};
const Chord kEm7{28, {55, 59, 62, 64}};
const Chord kFmaj7{29, {57, 60, 64, 65}};
const Chord kCmaj{36, {55, 60, 64, 67}};
const Chord kGmaj{31, {55, 59, 62, 67}};
const Chord kAmBright{33, {57, 60, 64, 69}};
const Chord kFBright{29, {57, 60, 65, 69}};

using Progression = std::vector<Chord>;
const Progression kVerse{kAm, kF, kC, kG};
const Progression kTension{kAm, kF, kDm, kE};
const Progression kCredits{kCmaj, kGmaj, kAmBright, kFBright};

// One melody note: bar, sixteenth step, length in steps, MIDI note.
struct MelodyNote {
    int bar;
    double step;
    double length;
    float note;
};
using Melody = std::vector<MelodyNote>;

// Over Am Am F F C C G G.
const Melody kPhraseA{
    {0, 0, 6, 76}, {0, 6, 2, 72}, {0, 8, 4, 74}, {0, 12, 4, 76},
    {1, 0, 4, 79}, {1, 4, 4, 76}, {1, 8, 4, 74}, {1, 12, 4, 72},
    {2, 0, 6, 72}, {2, 6, 2, 69}, {2, 8, 4, 72}, {2, 12, 4, 77},
    {3, 0, 8, 76}, {3, 8, 4, 74}, {3, 12, 4, 72},
    {4, 0, 6, 76}, {4, 6, 2, 79}, {4, 8, 4, 76}, {4, 12, 4, 72},
    {5, 0, 8, 74}, {5, 8, 8, 76},
    {6, 0, 6, 74}, {6, 6, 2, 71}, {6, 8, 4, 74}, {6, 12, 4, 79},
    {7, 0, 12, 76},
};
// Over Am Am F F Dm Dm E E.
const Melody kPhraseB{
    {0, 0, 6, 81}, {0, 6, 2, 79}, {0, 8, 4, 76}, {0, 12, 4, 79},
    {1, 0, 8, 76}, {1, 8, 4, 72}, {1, 12, 4, 74},
    {2, 0, 6, 77}, {2, 6, 2, 76}, {2, 8, 4, 72}, {2, 12, 4, 69},
    {3, 0, 8, 72}, {3, 8, 4, 74}, {3, 12, 4, 76},
    {4, 0, 6, 77}, {4, 6, 2, 76}, {4, 8, 4, 74}, {4, 12, 4, 81},
    {5, 0, 8, 77}, {5, 8, 4, 76}, {5, 12, 4, 74},
    {6, 0, 6, 76}, {6, 6, 2, 80}, {6, 8, 4, 83}, {6, 12, 4, 80},
    {7, 0, 12, 76},
};
// Over C C G G Am Am F F.
const Melody kCreditsTune{
    {0, 0, 3, 79}, {0, 3, 3, 76}, {0, 6, 2, 72}, {0, 8, 4, 76}, {0, 12, 4, 79},
    {1, 0, 8, 84}, {1, 8, 4, 83}, {1, 12, 4, 79},
    {2, 0, 3, 79}, {2, 3, 3, 74}, {2, 6, 2, 71}, {2, 8, 4, 74}, {2, 12, 4, 79},
    {3, 0, 8, 83}, {3, 8, 4, 81}, {3, 12, 4, 79},
    {4, 0, 3, 81}, {4, 3, 3, 76}, {4, 6, 2, 72}, {4, 8, 4, 76}, {4, 12, 4, 81},
    {5, 0, 8, 84}, {5, 8, 4, 83}, {5, 12, 4, 81},
    {6, 0, 3, 77}, {6, 3, 3, 72}, {6, 6, 2, 69}, {6, 8, 4, 72}, {6, 12, 4, 77},
    {7, 0, 12, 76},
};

enum TrackId {
    kKick, kClap, kSnare, kClosedHat, kOpenHat, kCrash, kBass, kPad, kPluck, kLead, kBell, kRiser, kImpact,
    kGlitchStab, kDrone, kHeartbeat, kTrackCount
};

float padCutoff(double t) {
    if (t < kIntroEnd) return static_cast<float>(350.0 * std::exp2(3.0 * t / kIntroEnd));
    if (t >= kBreakdown && t < kBuild) return 5200.0f;
    if (t >= kBuild && t < kGlitch) return static_cast<float>(1400.0 + 2600.0 * (t - kBuild) / (kGlitch - kBuild));
    if (t >= kGlitch && t < kBlackout) return 1100.0f;
    if (t >= kOutro) return static_cast<float>(std::max(450.0, 3200.0 * std::exp2(-(t - kOutro) / 8.0)));
    return 3200.0f;
}

float pluckCutoff(double t) {
    if (t < kRiseEnd) return static_cast<float>(500.0 * std::exp2(4.0 * t / kRiseEnd));
    if (t >= kGlitch && t < kBlackout) return 2600.0f;
    if (t >= kOutro) return static_cast<float>(std::max(700.0, 8000.0 * std::exp2(-(t - kOutro) / 7.0)));
    return 8000.0f;
}

class Composer {
public:
    Composer() : random_(20261208u) {
        tracks_.resize(kTrackCount);
        setup(kKick, "kick", Instrument::Kick, 0.55f, 0.0f, 0.0f, 0.02f, 0.0f);
        tracks_[kKick].sidechainSource = true;
        setup(kClap, "clap", Instrument::Clap, 1.1f, 0.0f, 0.05f, 0.22f, 0.0f);
        setup(kSnare, "snare", Instrument::Snare, 0.8f, 0.05f, 0.05f, 0.2f, 0.0f);
        setup(kClosedHat, "closed hat", Instrument::ClosedHat, 0.6f, 0.15f, 0.0f, 0.05f, 0.2f);
        setup(kOpenHat, "open hat", Instrument::OpenHat, 0.4f, -0.15f, 0.0f, 0.08f, 0.3f);
        setup(kCrash, "crash", Instrument::Crash, 0.2f, 0.0f, 0.0f, 0.25f, 0.0f);
        setup(kBass, "bass", Instrument::Bass, 0.85f, 0.0f, 0.0f, 0.0f, 0.7f);
        setup(kPad, "pad", Instrument::Pad, 0.42f, 0.0f, 0.08f, 0.45f, 0.55f);
        tracks_[kPad].cutoff = padCutoff;
        setup(kPluck, "pluck", Instrument::Pluck, 0.32f, 0.0f, 0.35f, 0.25f, 0.45f);
        tracks_[kPluck].cutoff = pluckCutoff;
        setup(kLead, "lead", Instrument::Lead, 0.36f, 0.0f, 0.25f, 0.3f, 0.2f);
        setup(kBell, "bell", Instrument::Bell, 0.5f, 0.1f, 0.35f, 0.5f, 0.1f);
        setup(kRiser, "riser", Instrument::Riser, 0.3f, 0.0f, 0.1f, 0.3f, 0.0f);
        setup(kImpact, "impact", Instrument::Impact, 0.7f, 0.0f, 0.0f, 0.35f, 0.0f);
        setup(kGlitchStab, "glitch", Instrument::Glitch, 0.6f, 0.0f, 0.2f, 0.1f, 0.3f);
        setup(kDrone, "drone", Instrument::Drone, 0.012f, 0.0f, 0.0f, 0.0f, 0.0f);
        tracks_[kDrone].afterGate = true;
        setup(kHeartbeat, "heartbeat", Instrument::Kick, 0.012f, 0.0f, 0.0f, 0.0f, 0.0f);
        tracks_[kHeartbeat].afterGate = true;
    }

    Arrangement compose();

private:
    void setup(TrackId id, const char* name, Instrument instrument, float gain, float pan, float delay, float reverb,
               float duck) {
        Track& t = tracks_[id];
        t.name = name;
        t.instrument = instrument;
        t.gain = gain;
        t.pan = pan;
        t.delaySend = delay;
        t.reverbSend = reverb;
        t.duck = duck;
    }

    void note(TrackId id, double start, double length, float pitch, float velocity, float brightness = 0.5f) {
        NoteEvent e;
        e.start = frameAt(start);
        e.length = std::max<std::int64_t>(1, frameAt(start + length) - e.start);
        e.note = pitch;
        e.velocity = std::clamp(velocity, 0.0f, 1.0f);
        e.brightness = std::clamp(brightness, 0.0f, 1.0f);
        e.seed = ++seed_;
        tracks_[id].events.push_back(e);
    }

    float human(float velocity) { return velocity * (0.93f + 0.14f * random_.uniform()); }

    static const Chord& chordAt(const Progression& p, int bar, int barsPerChord) {
        return p[static_cast<std::size_t>(bar / barsPerChord) % p.size()];
    }

    // Sustained pad chords, one chord every barsPerChord bars.
    void pads(const Section& s, int from, int to, const Progression& p, int barsPerChord, float velocity,
              float brightness) {
        for (int bar = from; bar < to; bar += barsPerChord) {
            const Chord& c = chordAt(p, bar, barsPerChord);
            const double start = s.stepTime(bar, 0);
            const double end = s.stepTime(std::min(bar + barsPerChord, to), 0);
            for (float n : c.pad) note(kPad, start, end - start - 0.03, n, velocity, brightness);
        }
    }

    // Sixteenth-note arpeggio over the chord tones and their octave.
    void arpeggio(const Section& s, int from, int to, const Progression& p, int barsPerChord, float velocity,
                  float brightness, int shape) {
        static const int kShapes[3][16] = {
            {0, 2, 4, 1, 3, 5, 2, 4, 6, 3, 5, 7, 4, 6, 5, 3},
            {0, 4, 2, 6, 1, 5, 3, 7, 0, 4, 2, 6, 3, 5, 1, 6},
            {7, 5, 3, 1, 6, 4, 2, 0, 7, 5, 3, 1, 6, 4, 2, 3},
        };
        for (int bar = from; bar < to; ++bar) {
            const Chord& c = chordAt(p, bar, barsPerChord);
            float tones[8];
            for (int i = 0; i < 4; ++i) {
                tones[i] = c.pad[static_cast<std::size_t>(i)] + 12.0f;
                tones[i + 4] = c.pad[static_cast<std::size_t>(i)] + 24.0f;
            }
            std::sort(tones, tones + 8);
            for (int step = 0; step < 16; ++step) {
                const float accent = step % 4 == 0 ? 1.0f : (step % 2 == 0 ? 0.8f : 0.65f);
                const double swing = step % 2 == 1 ? 0.1 : 0.0;
                note(kPluck, s.stepTime(bar, step + swing), s.barSeconds() / 20.0, tones[kShapes[shape][step]],
                     human(velocity * accent), brightness);
            }
        }
    }

    struct DrumStyle {
        float kick = 1.0f;
        float clap = 1.0f;
        float closedHats = 1.0f;
        float openHats = 1.0f;
        bool fills = true;
        bool crashAtStart = true;
    };

    void drums(const Section& s, int from, int to, const DrumStyle& style) {
        if (style.crashAtStart) note(kCrash, s.stepTime(from, 0), 0.1, 60, 0.9f);
        for (int bar = from; bar < to; ++bar) {
            const bool fill = style.fills && (bar - from) % 8 == 7;
            for (int step = 0; step < 16; ++step) {
                const double swing = step % 2 == 1 ? 0.12 : 0.0;
                const double t = s.stepTime(bar, step + swing);
                if (style.kick > 0 && step % 4 == 0) note(kKick, s.stepTime(bar, step), 0.1, 36, style.kick);
                if (style.clap > 0 && (step == 4 || (step == 12 && !fill))) note(kClap, t, 0.1, 60, human(style.clap));
                if (style.openHats > 0 && step % 4 == 2) note(kOpenHat, t, 0.1, 60, human(0.8f * style.openHats));
                if (style.closedHats > 0 && step % 4 != 2) {
                    note(kClosedHat, t, 0.05, 60, human((step % 2 == 0 ? 0.8f : 0.5f) * style.closedHats));
                }
                if (fill && step >= 12) note(kSnare, t, 0.1, 60, 0.45f + 0.15f * static_cast<float>(step - 12), 0.6f);
                if (!fill && step == 15 && random_.uniform() < 0.25f) note(kSnare, t, 0.1, 60, 0.25f, 0.3f);
            }
        }
    }

    enum class BassStyle { Offbeat, Rolling, Syncopated };

    void bass(const Section& s, int from, int to, const Progression& p, int barsPerChord, BassStyle style,
              float velocity, float brightness) {
        static const int kSyncopated[] = {0, 3, 6, 10, 12, 14};
        const double step = s.barSeconds() / 16.0;
        for (int bar = from; bar < to; ++bar) {
            const float root = chordAt(p, bar, barsPerChord).bass;
            switch (style) {
                case BassStyle::Offbeat:
                    for (int beat = 0; beat < 4; ++beat) {
                        note(kBass, s.stepTime(bar, beat * 4 + 2), step * 1.6, root + 12.0f, human(velocity),
                             brightness);
                    }
                    break;
                case BassStyle::Rolling:
                    for (int i = 0; i < 16; ++i) {
                        if (i % 4 == 0) continue;
                        const float pitch = root + (i % 4 == 3 && bar % 2 == 1 ? 24.0f : 12.0f);
                        note(kBass, s.stepTime(bar, i), step * 0.8, pitch, human(velocity * (i % 4 == 2 ? 1.0f : 0.8f)),
                             brightness);
                    }
                    break;
                case BassStyle::Syncopated:
                    for (int i : kSyncopated) {
                        const float pitch = root + (i == 10 ? 19.0f : (i == 14 ? 24.0f : 12.0f));
                        note(kBass, s.stepTime(bar, i), step * 1.8, pitch, human(velocity), brightness);
                    }
                    break;
            }
        }
    }

    void melody(TrackId id, const Section& s, int fromBar, const Melody& m, float transpose, float velocity,
                float brightness) {
        const double step = s.barSeconds() / 16.0;
        for (const MelodyNote& n : m) {
            note(id, s.stepTime(fromBar + n.bar, n.step), n.length * step * 0.92, n.note + transpose,
                 human(velocity), brightness);
        }
    }

    Random random_;
    std::uint32_t seed_ = 0;
    std::vector<Track> tracks_;
};

Arrangement Composer::compose() {
    Arrangement a;
    a.sections = soundtrackSections();
    const Section& intro = a.sections[0];
    const Section& rise = a.sections[1];
    const Section& grooveA = a.sections[2];
    const Section& grooveB = a.sections[3];
    const Section& preBreak = a.sections[4];
    const Section& breakdown = a.sections[5];
    const Section& build = a.sections[6];
    const Section& glitch = a.sections[7];
    const Section& drop = a.sections[9];
    const Section& dropLead = a.sections[10];
    const Section& credits = a.sections[11];
    const Section& outro = a.sections[12];
    a.glitch = glitch;

    // Intro: filtered pads open up, the arpeggio fades in, a bell marks the phrases.
    pads(intro, 0, 8, kVerse, 2, 0.8f, 0.6f);
    arpeggio(intro, 4, 8, kVerse, 2, 0.45f, 0.4f, 0);
    note(kBell, intro.stepTime(0, 0), 1.0, 81, 0.5f, 0.3f);
    note(kBell, intro.stepTime(4, 0), 1.0, 76, 0.5f, 0.3f);
    for (int bar = 4; bar < 8; ++bar) {
        for (int step = 0; step < 16; step += 2) {
            note(kClosedHat, intro.stepTime(bar, step), 0.05, 60, 0.15f + 0.1f * static_cast<float>(bar - 4));
        }
    }

    // Rise: the beat comes in, the bass follows.
    pads(rise, 0, 8, kVerse, 2, 0.8f, 0.5f);
    arpeggio(rise, 0, 8, kVerse, 2, 0.6f, 0.6f, 0);
    drums(rise, 0, 8, {1.0f, 0.0f, 0.7f, 0.6f, true, false});
    for (int bar = 4; bar < 8; ++bar) {
        note(kClap, rise.stepTime(bar, 4), 0.1, 60, 0.8f);
        note(kClap, rise.stepTime(bar, 12), 0.1, 60, 0.8f);
    }
    bass(rise, 0, 8, kVerse, 2, BassStyle::Offbeat, 0.8f, 0.35f);

    // Groove: everything, the arpeggio changes shape halfway.
    pads(grooveA, 0, 16, kVerse, 2, 0.75f, 0.4f);
    arpeggio(grooveA, 0, 8, kVerse, 2, 0.65f, 0.7f, 0);
    arpeggio(grooveA, 8, 16, kVerse, 2, 0.65f, 0.75f, 1);
    drums(grooveA, 0, 16, {});
    bass(grooveA, 0, 16, kVerse, 2, BassStyle::Offbeat, 0.9f, 0.5f);

    // Groove with the lead over the darker progression.
    pads(grooveB, 0, 16, kTension, 2, 0.7f, 0.4f);
    arpeggio(grooveB, 0, 16, kTension, 2, 0.5f, 0.6f, 1);
    drums(grooveB, 0, 16, {});
    bass(grooveB, 0, 16, kTension, 2, BassStyle::Rolling, 0.85f, 0.55f);
    melody(kLead, grooveB, 0, kPhraseB, 0.0f, 0.8f, 0.5f);
    melody(kLead, grooveB, 8, kPhraseB, 0.0f, 0.85f, 0.6f);

    // Before the breakdown: the first theme on the lead, bells on top.
    pads(preBreak, 0, 8, kVerse, 2, 0.7f, 0.4f);
    arpeggio(preBreak, 0, 8, kVerse, 2, 0.55f, 0.8f, 2);
    drums(preBreak, 0, 8, {});
    bass(preBreak, 0, 8, kVerse, 2, BassStyle::Rolling, 0.85f, 0.6f);
    melody(kLead, preBreak, 0, kPhraseA, 0.0f, 0.85f, 0.6f);
    // Bells double the second half of the phrase an octave up.
    melody(kBell, preBreak, 0, Melody(kPhraseA.begin() + 15, kPhraseA.end()), 12.0f, 0.25f, 0.4f);

    // Breakdown: drums and bass stop dead; open pads and slow bell arpeggios.
    {
        const Progression dream{kFmaj7, kAm9, kEm7};
        for (int bar = 0; bar < 3; ++bar) {
            const Chord& c = dream[static_cast<std::size_t>(bar)];
            const double start = breakdown.stepTime(bar, 0);
            const double end = bar == 2 ? kBuild - 1.25 : breakdown.stepTime(bar + 1, 0) - 0.03;
            for (float n : c.pad) note(kPad, start, end - start, n, 0.42f, 0.0f);
            static const int kOrder[] = {0, 2, 3, 1, 2, 3, 0, 3};
            const int count = bar == 2 ? 5 : 8;
            for (int i = 0; i < count; ++i) {
                const float pitch = c.pad[static_cast<std::size_t>(kOrder[i])] + (i == 3 ? 24.0f : 12.0f);
                note(kBell, start + i * breakdown.barSeconds() / 8.0, 0.5, pitch, 0.26f - 0.015f * static_cast<float>(i),
                     0.2f);
            }
        }
    }

    // Build: dominant harmony, an accelerating snare roll and a riser, cut
    // a beat before the glitch.
    {
        const Progression tension{kDm, kE};
        const double cut = build.stepTime(3, 12);
        for (int bar = 0; bar < 4; ++bar) {
            for (int step = 0; step < 16; ++step) {
                const double t = build.stepTime(bar, step);
                if (t >= cut) break;
                if (step % 4 == 0) note(kKick, t, 0.1, 36, 0.9f);
                const int every = bar == 0 ? 4 : (bar == 1 ? 2 : 1);
                if (step % every == 0) {
                    note(kSnare, t, 0.1, 60, 0.35f + 0.15f * static_cast<float>(bar) + 0.01f * static_cast<float>(step),
                         0.5f);
                }
                if (bar == 3) note(kSnare, build.stepTime(bar, step + 0.5), 0.1, 60, 0.85f, 0.7f);
                if (step % 2 == 0) {
                    const float root = chordAt(tension, bar, 2).bass;
                    note(kBass, t, build.barSeconds() / 20.0, root + 12.0f, 0.8f, 0.3f + 0.15f * static_cast<float>(bar));
                }
            }
        }
        pads(build, 0, 2, tension, 2, 0.6f, 0.2f);
        note(kPad, build.stepTime(2, 0), build.barSeconds() * 1.2, 56, 0.6f, 0.2f);
        note(kPad, build.stepTime(2, 0), build.barSeconds() * 1.2, 59, 0.6f, 0.2f);
        note(kPad, build.stepTime(2, 0), build.barSeconds() * 1.2, 64, 0.6f, 0.2f);
        note(kRiser, kBuild, cut - kBuild, 52, 1.0f);
        note(kCrash, kBuild, 0.1, 60, 0.7f);
    }

    // Glitch: broken kick patterns, stuttering bass, crushed stabs between
    // A minor and B flat; the mix itself stutters (see the mixer).
    {
        static const std::vector<std::vector<int>> kKicks{
            {0, 3, 6, 10, 12}, {0, 4, 7, 8, 11, 14}, {0, 2, 8, 10, 13}, {0, 5, 8, 12, 15}};
        const Progression dark{kAm, kBb};
        const double step = glitch.barSeconds() / 16.0;
        note(kImpact, kGlitch, 0.1, 36, 0.7f);
        note(kCrash, kGlitch, 0.1, 60, 0.9f);
        for (int bar = 0; bar < 7; ++bar) {
            const Chord& c = chordAt(dark, bar, 1);
            for (int k : kKicks[static_cast<std::size_t>(random_.below(4))]) note(kKick, glitch.stepTime(bar, k), 0.1, 36, 1.0f);
            note(kClap, glitch.stepTime(bar, 4), 0.1, 60, 0.9f);
            note(kClap, glitch.stepTime(bar, 12), 0.1, 60, 0.9f);
            const int rollBeat = random_.below(4);
            for (int s = 0; s < 32; ++s) {
                const bool roll = s / 8 == rollBeat;
                if (!roll && s % 2 == 1) continue;
                note(kClosedHat, glitch.stepTime(bar, s * 0.5), 0.03, 60, human(roll ? 0.7f : 0.5f));
            }
            for (int s = 0; s < 16; ++s) {
                const float pitch = c.bass + 12.0f + (random_.uniform() < 0.2f ? 12.0f : 0.0f);
                note(kBass, glitch.stepTime(bar, s), step * 0.6, pitch, human(0.85f), 0.5f);
                if (random_.uniform() < 0.4f) {
                    const float stab = c.pad[static_cast<std::size_t>(random_.below(4))] - 12.0f + 12.0f * static_cast<float>(random_.below(2));
                    note(kGlitchStab, glitch.stepTime(bar, s), step * (0.25 + 0.5 * random_.uniform()), stab, human(0.8f));
                }
            }
            for (float n : c.pad) note(kPad, glitch.stepTime(bar, 0), glitch.barSeconds() - 0.05, n, 0.6f, 0.1f);
            if (bar % 3 == 2) {
                for (int s = 12; s < 16; ++s) {
                    for (int r = 0; r < 4; ++r) note(kSnare, glitch.stepTime(bar, s + r * 0.25), 0.05, 60, 0.6f, 0.8f);
                }
            }
        }
    }

    // Blackout: only a faint drone and a heartbeat.
    note(kDrone, kBlackout, kDrop - kBlackout, 33, 1.0f);
    for (double beat : {0.55, 0.8, 1.75, 2.0}) note(kHeartbeat, kBlackout + beat, 0.1, 36, 1.0f);

    // Drop: everything at once, the first theme on the lead.
    note(kImpact, kDrop, 0.1, 36, 1.0f);
    pads(drop, 0, 16, kVerse, 2, 0.75f, 0.5f);
    arpeggio(drop, 0, 16, kVerse, 2, 0.6f, 0.85f, 0);
    drums(drop, 0, 16, {});
    bass(drop, 0, 16, kVerse, 2, BassStyle::Rolling, 0.9f, 0.65f);
    melody(kLead, drop, 0, kPhraseA, 0.0f, 0.85f, 0.7f);
    melody(kLead, drop, 8, kPhraseA, 12.0f, 0.75f, 0.6f);

    // Drop with the second theme, doubled by bells.
    pads(dropLead, 0, 16, kTension, 2, 0.75f, 0.5f);
    arpeggio(dropLead, 0, 16, kTension, 2, 0.55f, 0.85f, 2);
    drums(dropLead, 0, 16, {});
    bass(dropLead, 0, 16, kTension, 2, BassStyle::Rolling, 0.9f, 0.7f);
    melody(kLead, dropLead, 0, kPhraseB, 0.0f, 0.85f, 0.7f);
    melody(kLead, dropLead, 8, kPhraseB, 0.0f, 0.85f, 0.75f);
    melody(kBell, dropLead, 8, kPhraseB, 12.0f, 0.25f, 0.5f);

    // Credits: the relative major, a lighter groove, the tune on bells and
    // then on the lead.
    pads(credits, 0, 32, kCredits, 2, 0.7f, 0.6f);
    arpeggio(credits, 0, 16, kCredits, 2, 0.45f, 0.6f, 1);
    arpeggio(credits, 16, 32, kCredits, 2, 0.5f, 0.7f, 0);
    drums(credits, 0, 8, {0.85f, 0.8f, 0.8f, 0.0f, true, true});
    drums(credits, 8, 32, {0.85f, 0.8f, 0.8f, 0.7f, true, false});
    bass(credits, 0, 32, kCredits, 2, BassStyle::Syncopated, 0.8f, 0.45f);
    melody(kBell, credits, 0, kCreditsTune, 0.0f, 0.45f, 0.4f);
    melody(kBell, credits, 8, kCreditsTune, 0.0f, 0.45f, 0.5f);
    melody(kLead, credits, 16, kCreditsTune, -12.0f, 0.75f, 0.5f);
    melody(kLead, credits, 24, kCreditsTune, -12.0f, 0.8f, 0.55f);
    melody(kBell, credits, 24, kCreditsTune, 0.0f, 0.3f, 0.5f);

    // Outro: the beat thins out, the verse chords close on A minor and ring out.
    pads(outro, 0, 8, kVerse, 2, 0.7f, 0.5f);
    for (float n : kAm9.pad) note(kPad, outro.stepTime(8, 0), outro.barSeconds() * 4.0, n, 0.7f, 0.5f);
    for (int bar = 0; bar < 12; ++bar) {
        const float fade = 1.0f - static_cast<float>(bar) / 12.0f;
        arpeggio(outro, bar, bar + 1, Progression{chordAt(kVerse, std::min(bar, 7), 2)}, 1, 0.5f * fade, 0.6f, 0);
    }
    drums(outro, 0, 4, {0.8f, 0.6f, 0.6f, 0.5f, false, true});
    drums(outro, 4, 8, {0.0f, 0.0f, 0.4f, 0.0f, false, false});
    bass(outro, 0, 8, kVerse, 2, BassStyle::Offbeat, 0.7f, 0.4f);
    for (int i = 0; i < 8; ++i) {
        note(kBell, outro.stepTime(8, i * 4.0), 1.0, kAm9.pad[static_cast<std::size_t>(i % 4)] + 12.0f,
             0.35f - 0.03f * static_cast<float>(i), 0.3f);
    }

    for (Track& t : tracks_) {
        std::stable_sort(t.events.begin(), t.events.end(),
                         [](const NoteEvent& x, const NoteEvent& y) { return x.start < y.start; });
    }
    a.tracks = std::move(tracks_);
    return a;
}

}  // namespace

Arrangement arrangeSoundtrack() { return Composer().compose(); }

std::vector<Section> soundtrackSections() {
    constexpr double bar = kMainBar;
    return {
        {"intro", 0.0, 8.0 * bar, 8},
        {"rise", 8.0 * bar, 16.0 * bar, 8},
        {"groove", 16.0 * bar, 32.0 * bar, 16},
        {"groove with lead", 32.0 * bar, 48.0 * bar, 16},
        {"before the breakdown", 48.0 * bar, kBreakdown, 8},
        {"breakdown", kBreakdown, kBuild, 3},
        {"build", kBuild, kGlitch, 4},
        {"glitch", kGlitch, kBlackout, 7},
        {"blackout", kBlackout, kDrop, 2},
        {"drop", kDrop, kDrop + 16.0 * bar, 16},
        {"drop with lead", kDrop + 16.0 * bar, kDrop + 32.0 * bar, 16},
        {"credits", kDrop + 32.0 * bar, kOutro, 32},
        {"outro", kOutro, kOutro + 14.0 * bar, 14},
    };
}

std::vector<double> barLines() {
    std::vector<double> lines;
    for (const Section& s : soundtrackSections())
        for (int b = 0; b < s.bars; ++b) lines.push_back(s.start + b * s.barSeconds());
    lines.push_back(soundtrackSections().back().end);
    return lines;
}

}  // namespace music
