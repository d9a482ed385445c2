#include "tools/world/hand_dance.h"

#include "tools/model/vec_ops.h"
#include "tools/music/arrangement.h"
#include "tools/world/keys.h"
#include "tools/world/layout.h"

#include <algorithm>
#include <cmath>

namespace world {

namespace L = layout;
using namespace model;

namespace {

// The fingertip draws each greeting's top edge on this line, in front of the
// crane's trolley, behind the ring of lamps over the stage and above the
// dancer's raised hands (the boom hangs a little to the right of the finger).
constexpr float kSweepX = L::kHoist.x + 30.0f;
constexpr float kSweepY = 340.0f;
constexpr float kSweepZ = L::kHoist.z + 90.0f;
// Held up behind the trolley, the hand closed, until the run to the stage;
// then it unfolds.
const sm::Vec3 kParked{-120.0f, 451.0f, L::kHoist.z - 160.0f};
constexpr float kUnfoldStart = 204.0f, kUnfoldEnd = 209.0f;
// After the last greeting it takes a bow and conducts the dance.
constexpr float kArcTime = 0.7f;

float smooth(float x)
{
    x = std::clamp(x, 0.0f, 1.0f);
    return x * x * (3.0f - 2.0f * x);
}

sm::Vec3 bezier(sm::Vec3 a, sm::Vec3 b, sm::Vec3 c, sm::Vec3 d, float s)
{
    float r = 1.0f - s;
    return a * (r * r * r) + b * (3.0f * r * r * s) + c * (3.0f * r * s * s) + d * (s * s * s);
}

// The beats of the music's credits section, in seconds.
std::vector<double> creditBeats()
{
    std::vector<double> beats;
    for (const music::Section& s : music::soundtrackSections())
        if (s.name == "credits" || s.name == "outro")
            for (int q = 0; q < s.bars * 4; ++q) beats.push_back(s.start + q * s.barSeconds() / 4.0);
    return beats;
}

// Where the hand hovers, waiting, with a slow figure of eight.
sm::Vec3 hover(sm::Vec3 centre, float t)
{
    return centre + sm::Vec3{38.0f * std::sin(t * 2.1f), 22.0f * std::sin(t * 4.2f), 12.0f * std::cos(t * 2.1f)};
}

} // namespace

HandDance::HandDance(double fps, float firstOpen, float minGap, float maxGap)
{
    const std::vector<double> beats = creditBeats();
    std::vector<GreetingWindow> windows;
    float earliest = firstOpen;
    for (int i = 0; i < 12; ++i) {
        // The clock so far decides when the next window's earliest open
        // reaches the screen; it opens on the next beat from there (a
        // half-beat when a whole one would leave too long a gap).
        ShowClock clock(windows, fps);
        double from = clock.loop(earliest);
        double open = -1.0;
        for (double step : {1.0, 0.5}) {
            for (std::size_t b = 0; b + 1 < beats.size() && open < 0.0; ++b)
                for (double k = 0.0; k < 1.0 && open < 0.0; k += step) {
                    double t = beats[b] + k * (beats[b + 1] - beats[b]);
                    if (t >= from && clock.scene(t) <= earliest + (maxGap - minGap)) open = t;
                }
            if (open >= 0.0) break;
        }
        float openScene = open >= 0.0 ? static_cast<float>(clock.scene(open)) : earliest;
        windows.push_back({openScene, openScene + kWindowLength});
        earliest = openScene + kWindowLength + minGap;
    }
    for (std::size_t i = 0; i < windows.size(); ++i) {
        float dir = turnedByTheShow(static_cast<int>(i)) ? -1.0f : 1.0f;
        sm::Vec3 centre{kSweepX, kSweepY, kSweepZ};
        sm::Vec3 half{dir * kSweepWidth * 0.5f, 0.0f, 0.0f};
        sweeps_.push_back({windows[i], centre - half, centre + half});
    }
}

std::vector<GreetingWindow> HandDance::windows() const
{
    std::vector<GreetingWindow> out;
    for (const GreetingSweep& s : sweeps_) out.push_back(s.window);
    return out;
}

sm::Vec3 HandDance::axisAtOpen(int greeting) const
{
    const GreetingSweep& s = sweeps_[static_cast<std::size_t>(greeting)];
    // The show centres the picture on the axis's position at the open and
    // hangs it below (or, for the turned ones, above) that point: half a
    // sweep ahead of the finger, and one picture height lower for those.
    sm::Vec3 a = (s.from + s.to) * 0.5f;
    if (turnedByTheShow(greeting)) a.y -= kSweepWidth * kGreetingAspect;
    return a;
}

sm::Vec3 HandDance::axisAtClose(int greeting) const
{
    const GreetingSweep& s = sweeps_[static_cast<std::size_t>(greeting)];
    return axisAtOpen(greeting) + (s.to - s.from);
}

sm::Vec3 HandDance::tipAt(float t) const
{
    const GreetingSweep& first = sweeps_.front();
    const GreetingSweep& last = sweeps_.back();
    const sm::Vec3 ready = first.from + sm::Vec3{20.0f, 120.0f, 20.0f};
    if (t <= kUnfoldStart) return kParked;
    const float readyFrom = kUnfoldEnd, readyUntil = first.window.open - kArcTime;
    if (t < readyFrom) {
        // Unfolding: down from the trolley in a wide arc, settling into the hover.
        float s = smooth((t - kUnfoldStart) / (kUnfoldEnd - kUnfoldStart));
        sm::Vec3 end = hover(ready, readyFrom);
        return bezier(kParked, kParked + sm::Vec3{-60.0f, -40.0f, 80.0f}, end + sm::Vec3{-80.0f, 120.0f, 20.0f}, end, s);
    }
    if (t < readyUntil) return hover(ready, t);
    // Arcs: out of the end of one sweep, overshooting up and on, round and
    // down into the start of the next, coming in from behind it.
    auto arc = [&](sm::Vec3 a, sm::Vec3 outDir, sm::Vec3 b, sm::Vec3 inDir, float t0, float t1, float t) {
        float gap = t1 - t0;
        float s = (t - t0) / gap;
        float reach = std::min(70.0f, gap * kSweepWidth / kWindowLength / 3.0f * 0.45f);
        sm::Vec3 up{0.0f, 130.0f, 50.0f};
        return bezier(a, a + outDir * reach + up, b - inDir * reach + up, b, s);
    };
    auto dirOf = [](const GreetingSweep& s) { return model::normalized(s.to - s.from); };
    if (t < first.window.open)
        return arc(hover(ready, readyUntil), {1.0f, 0.0f, 0.0f}, first.from, dirOf(first), readyUntil, first.window.open, t);
    for (std::size_t i = 0; i < sweeps_.size(); ++i) {
        const GreetingSweep& s = sweeps_[i];
        if (t <= s.window.close) {
            float u = (t - s.window.open) / (s.window.close - s.window.open);
            return lerp(s.from, s.to, std::clamp(u, 0.0f, 1.0f));
        }
        if (i + 1 < sweeps_.size() && t < sweeps_[i + 1].window.open) {
            const GreetingSweep& n = sweeps_[i + 1];
            return arc(s.to, dirOf(s), n.from, dirOf(n), s.window.close, n.window.open, t);
        }
    }
    // The bow: up and back over the stage, then conducting in slow circles.
    const float bowAt = last.window.close + 1.2f;
    const sm::Vec3 bow{kSweepX, 460.0f, kSweepZ + 20.0f};
    if (t < bowAt) return arc(last.to, dirOf(last), bow, {-1.0f, 0.0f, 0.0f}, last.window.close, bowAt, t);
    float c = t - bowAt;
    return bow + sm::Vec3{-110.0f * std::sin(c * 1.6f), -60.0f * (1.0f - std::cos(c * 1.6f)), 30.0f * std::sin(c * 0.8f)};
}

HandState HandDance::at(float t) const
{
    HandState h;
    h.tip = tipAt(t);
    // Gestures: a fist while parked, open while moving and waiting, the
    // first finger pointing while it draws (and a little before and after).
    float point = 0.0f;
    for (const GreetingSweep& s : sweeps_) {
        float in = smooth((t - (s.window.open - 0.22f)) / 0.18f);
        float out = 1.0f - smooth((t - (s.window.close + 0.08f)) / 0.2f);
        point = std::max(point, std::min(in, out));
    }
    // The hand trails its motion a little, like a brush (from the mean
    // velocity over a short stretch, so it never snaps).
    const float span = 0.12f;
    sm::Vec3 v = (tipAt(t + span) - tipAt(t - span)) / (2.0f * span);
    // It holds steady while it draws.
    float roll = std::clamp(-v.x * 0.025f, -28.0f, 28.0f) * (1.0f - 0.8f * point);
    float pitch = std::clamp(v.z * 0.02f - v.y * 0.01f, -20.0f, 20.0f) * (1.0f - 0.8f * point);
    h.turn = axisAngle({0, 0, 1}, roll) * axisAngle({1, 0, 0}, pitch);

    float fist = 1.0f - smooth((t - kUnfoldStart) / 2.0f);
    // A ripple through the fingers while it waits for him and after its bow.
    const float bowAt = sweeps_.back().window.close + 1.2f;
    float wave = smooth((t - kUnfoldEnd) / 0.5f) * (1.0f - smooth((t - (sweeps_.front().window.open - 1.2f)) / 0.5f)) +
                 smooth((t - bowAt) / 0.6f);
    for (int f = 0; f < kFingerCount; ++f) {
        float open = 12.0f + (f == kThumb ? 8.0f : 0.0f);
        open += wave * 22.0f * (0.5f + 0.5f * std::sin(t * 7.0f - static_cast<float>(f) * 0.9f));
        float pointing = f == kIndex ? 0.0f : (f == kThumb ? 45.0f : 88.0f);
        float c = open + (pointing - open) * point;
        h.curl[static_cast<std::size_t>(f)] = c + (85.0f - c) * fist;
    }
    return h;
}

} // namespace world
