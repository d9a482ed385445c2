#include "tools/world/timeline.h"

#include "tools/world/keys.h"

#include <algorithm>
#include <cmath>

namespace world {

void Spline::key(float t, std::vector<float> values)
{
    if (!times_.empty() && t <= times_.back()) {
        values_.back() = std::move(values);
        return;
    }
    times_.push_back(t);
    values_.push_back(std::move(values));
}

std::vector<float> Spline::at(float t) const
{
    const std::size_t n = times_.size();
    if (n == 0) return {};
    if (t <= times_.front()) return values_.front();
    if (t >= times_.back()) return values_.back();
    std::size_t i = static_cast<std::size_t>(std::upper_bound(times_.begin(), times_.end(), t) - times_.begin()) - 1;
    const float t0 = times_[i], t1 = times_[i + 1], h = t1 - t0;
    const float u = (t - t0) / h, u2 = u * u, u3 = u2 * u;
    const float h00 = 2 * u3 - 3 * u2 + 1, h10 = u3 - 2 * u2 + u, h01 = -2 * u3 + 3 * u2, h11 = u3 - u2;
    // Fritsch-Butland tangents: the weighted harmonic mean of the two
    // neighbouring slopes, zero where the curve turns back or rests.
    auto tangent = [&](std::size_t k, std::size_t c) -> float {
        if (k == 0) return (values_[1][c] - values_[0][c]) / (times_[1] - times_[0]);
        if (k == n - 1) return (values_[k][c] - values_[k - 1][c]) / (times_[k] - times_[k - 1]);
        float hp = times_[k] - times_[k - 1], hn = times_[k + 1] - times_[k];
        float dp = (values_[k][c] - values_[k - 1][c]) / hp, dn = (values_[k + 1][c] - values_[k][c]) / hn;
        if (dp * dn <= 0.0f) return 0.0f;
        float w1 = 2 * hn + hp, w2 = hn + 2 * hp;
        return (w1 + w2) / (w1 / dp + w2 / dn);
    };
    std::vector<float> out(values_[i].size());
    for (std::size_t c = 0; c < out.size(); ++c)
        out[c] = h00 * values_[i][c] + h10 * h * tangent(i, c) + h01 * values_[i + 1][c] + h11 * h * tangent(i + 1, c);
    return out;
}

namespace {

std::vector<float> flatten(const Pose& p)
{
    std::vector<float> v{p.hip.x, p.hip.y, p.hip.z, p.eyes};
    for (const sm::Quat& q : p.turn) v.insert(v.end(), {q.w, q.x, q.y, q.z});
    return v;
}

Pose unflatten(const std::vector<float>& v)
{
    Pose p;
    p.hip = {v[0], v[1], v[2]};
    p.eyes = v[3];
    for (std::size_t b = 0; b < p.turn.size(); ++b) {
        sm::Quat q{v[4 + 4 * b], v[5 + 4 * b], v[6 + 4 * b], v[7 + 4 * b]};
        p.turn[b] = sm::normalize(q);
    }
    return p;
}

float dot(sm::Quat a, sm::Quat b) { return a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z; }

} // namespace

void PoseTimeline::key(float t, const Pose& pose)
{
    Pose p = pose;
    for (std::size_t b = 0; b < p.turn.size(); ++b) {
        sm::normalize(p.turn[b]);
        if (!curve_.empty() && dot(p.turn[b], last_.turn[b]) < 0.0f)
            p.turn[b] = {-p.turn[b].w, -p.turn[b].x, -p.turn[b].y, -p.turn[b].z};
    }
    curve_.key(t, flatten(p));
    last_ = p;
}

void PoseTimeline::hold(float t) { key(t, last_); }

Pose PoseTimeline::at(float t) const { return unflatten(curve_.at(t)); }

std::vector<float> evenTimes(float t0, float t1, float rate)
{
    int n = std::max(1, static_cast<int>(std::ceil((t1 - t0) * rate - 1e-3f)));
    std::vector<float> out;
    for (int i = 0; i <= n; ++i) out.push_back(i == n ? t1 : t0 + (t1 - t0) * static_cast<float>(i) / static_cast<float>(n));
    return out;
}

Pose blend(const Pose& a, const Pose& b, float t)
{
    Pose p;
    p.hip = a.hip + (b.hip - a.hip) * t;
    p.eyes = a.eyes + (b.eyes - a.eyes) * t;
    for (std::size_t i = 0; i < p.turn.size(); ++i) p.turn[i] = slerp(a.turn[i], b.turn[i], t);
    return p;
}

float ease(float u)
{
    u = std::clamp(u, 0.0f, 1.0f);
    return u * u * (3.0f - 2.0f * u);
}
float easeOut(float u)
{
    u = std::clamp(u, 0.0f, 1.0f);
    return 1.0f - (1.0f - u) * (1.0f - u);
}
float easeIn(float u)
{
    u = std::clamp(u, 0.0f, 1.0f);
    return u * u;
}

} // namespace world
