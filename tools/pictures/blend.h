#pragma once
// Colour arithmetic: interpolation, gradients and blend modes.
#include "tools/pictures/canvas.h"

#include <initializer_list>
#include <vector>

namespace pictures {

float clamp01(float v);
float smoothstep(float edge0, float edge1, float v);
float mixf(float a, float b, float t);
Color mix(Color a, Color b, float t);
Color scale(Color c, float k); // scales rgb, keeps alpha

// Piecewise-linear colour ramp over stops sorted by position.
struct GradientStop {
    float position;
    Color color;
};
class Gradient {
public:
    Gradient(std::initializer_list<GradientStop> stops);
    Color at(float t) const;

private:
    std::vector<GradientStop> stops_;
};

// Fills the canvas with a ramp from (x0, y0) to (x1, y1), in pixels.
void fillLinear(Canvas& canvas, const Gradient& ramp, float x0, float y0, float x1, float y1);
// Fills with a ramp over the distance from (cx, cy), reaching 1 at `radius`.
void fillRadial(Canvas& canvas, const Gradient& ramp, float cx, float cy, float radius);

// Separable blend modes on rgb (alpha of the base kept).
Color multiply(Color base, Color top);
Color screen(Color base, Color top);
Color overlay(Color base, Color top);
// Mixes a blend result into the base by `amount`.
Color blend(Color base, Color blended, float amount);

// Darkens the corners: factor 1 in the middle down to 1 - strength at the corners.
void vignette(Canvas& canvas, float strength, float softness = 0.6f);

} // namespace pictures
