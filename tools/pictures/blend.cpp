#include "tools/pictures/blend.h"

#include <algorithm>
#include <cmath>

namespace pictures {

float clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

float smoothstep(float edge0, float edge1, float v)
{
    float t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

float mixf(float a, float b, float t) { return a + (b - a) * t; }

Color mix(Color a, Color b, float t)
{
    return Color{mixf(a.r, b.r, t), mixf(a.g, b.g, t), mixf(a.b, b.b, t), mixf(a.a, b.a, t)};
}

Color scale(Color c, float k) { return Color{c.r * k, c.g * k, c.b * k, c.a}; }

Gradient::Gradient(std::initializer_list<GradientStop> stops) : stops_(stops)
{
    std::stable_sort(stops_.begin(), stops_.end(),
                     [](const GradientStop& a, const GradientStop& b) { return a.position < b.position; });
}

Color Gradient::at(float t) const
{
    if (stops_.empty()) return Color{};
    if (t <= stops_.front().position) return stops_.front().color;
    if (t >= stops_.back().position) return stops_.back().color;
    for (size_t i = 1; i < stops_.size(); ++i) {
        if (t <= stops_[i].position) {
            const GradientStop& a = stops_[i - 1];
            const GradientStop& b = stops_[i];
            float span = b.position - a.position;
            return span > 0.0f ? mix(a.color, b.color, (t - a.position) / span) : b.color;
        }
    }
    return stops_.back().color;
}

void fillLinear(Canvas& canvas, const Gradient& ramp, float x0, float y0, float x1, float y1)
{
    float dx = x1 - x0, dy = y1 - y0;
    float len2 = dx * dx + dy * dy;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            float px = static_cast<float>(x) + 0.5f - x0, py = static_cast<float>(y) + 0.5f - y0;
            float t = len2 > 0.0f ? (px * dx + py * dy) / len2 : 0.0f;
            canvas.at(x, y) = ramp.at(t);
        }
}

void fillRadial(Canvas& canvas, const Gradient& ramp, float cx, float cy, float radius)
{
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            float px = static_cast<float>(x) + 0.5f - cx, py = static_cast<float>(y) + 0.5f - cy;
            canvas.at(x, y) = ramp.at(std::sqrt(px * px + py * py) / radius);
        }
}

Color multiply(Color base, Color top) { return Color{base.r * top.r, base.g * top.g, base.b * top.b, base.a}; }

Color screen(Color base, Color top)
{
    auto s = [](float a, float b) { return 1.0f - (1.0f - a) * (1.0f - b); };
    return Color{s(base.r, top.r), s(base.g, top.g), s(base.b, top.b), base.a};
}

Color overlay(Color base, Color top)
{
    auto o = [](float a, float b) { return a < 0.5f ? 2.0f * a * b : 1.0f - 2.0f * (1.0f - a) * (1.0f - b); };
    return Color{o(base.r, top.r), o(base.g, top.g), o(base.b, top.b), base.a};
}

Color blend(Color base, Color blended, float amount)
{
    Color c = mix(base, blended, clamp01(amount));
    c.a = base.a;
    return c;
}

void vignette(Canvas& canvas, float strength, float softness)
{
    float cx = static_cast<float>(canvas.width()) * 0.5f, cy = static_cast<float>(canvas.height()) * 0.5f;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            float dx = (static_cast<float>(x) + 0.5f - cx) / cx, dy = (static_cast<float>(y) + 0.5f - cy) / cy;
            float d = std::sqrt(dx * dx + dy * dy) / std::sqrt(2.0f);
            float k = 1.0f - strength * smoothstep(1.0f - softness, 1.0f, d);
            Color& c = canvas.at(x, y);
            c = scale(c, k);
        }
}

} // namespace pictures
