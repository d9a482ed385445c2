#include "tools/world/show_clock.h"

#include "anim/core/state_interpolator.h"

#include <algorithm>
#include <cmath>

namespace world {

std::unique_ptr<IInterpolator<int>> visibilityTrack(const std::vector<GreetingWindow>& windows)
{
    auto curve = std::make_unique<StateInterpolator<int>>();
    curve->appendKey(0.0f, 0, false);
    for (const GreetingWindow& w : windows) {
        curve->appendKey(w.open, 1, false);
        curve->appendKey(w.close, 0, false);
    }
    return curve;
}

ShowClock::ShowClock(const std::vector<GreetingWindow>& windows, double fps, double from, double until)
    : from_(from), fps_(fps), opens_(windows.size(), -1.0), closes_(windows.size(), -1.0)
{
    // The same float arithmetic as the dance clock.
    std::unique_ptr<IInterpolator<int>> visibility = visibilityTrack(windows);
    const float dt = static_cast<float>(1.0 / fps);
    float local = static_cast<float>(from), speed = 1.0f;
    bool open = false;
    int index = -1;
    const long frames = std::lround((until - from) * fps);
    scene_.reserve(static_cast<std::size_t>(frames) + 1);
    scene_.push_back(local);
    for (long frame = 1; frame <= frames; ++frame) {
        const double now = from + static_cast<double>(frame) / fps;
        const float t = local;
        local += dt * speed;
        int v = 0;
        visibility->evaluate(t, v, 0);
        if (v != 1) {
            if (open && index >= 0 && index < static_cast<int>(closes_.size())) closes_[static_cast<std::size_t>(index)] = now;
            open = false;
            speed = std::min(1.0f, speed + 5.0f * dt);
        } else {
            if (!open) {
                ++index;
                if (index < static_cast<int>(opens_.size())) opens_[static_cast<std::size_t>(index)] = now;
            }
            open = true;
            speed = std::max(0.1f, speed - 5.0f * dt);
        }
        scene_.push_back(local);
    }
}

double ShowClock::scene(double loop) const
{
    if (loop <= from_) return loop;
    double f = (loop - from_) * fps_;
    std::size_t i = static_cast<std::size_t>(f);
    if (i + 1 >= scene_.size()) return scene_.back() + (loop - from_ - static_cast<double>(scene_.size() - 1) / fps_);
    double a = f - static_cast<double>(i);
    return scene_[i] * (1.0 - a) + scene_[i + 1] * a;
}

double ShowClock::loop(double scene) const
{
    if (scene <= from_) return scene;
    auto it = std::lower_bound(scene_.begin(), scene_.end(), scene);
    if (it == scene_.end()) return from_ + static_cast<double>(scene_.size() - 1) / fps_ + (scene - scene_.back());
    std::size_t i = static_cast<std::size_t>(it - scene_.begin());
    if (i == 0) return from_;
    double a = (scene - scene_[i - 1]) / (scene_[i] - scene_[i - 1]);
    return from_ + (static_cast<double>(i - 1) + a) / fps_;
}

} // namespace world
