#include "demo/flicker_curve.h"

#include "math/runtime_random.h"

FlickerCurve::FlickerCurve() {
    curve_.appendKey(0.0f, 0.0f, true);
    float x = kStart;
    int i = 0;
    do {
        ++i;
        curve_.appendKey(x, i % 2 == 0 ? 1.0f : 0.0f, true);
        x = x + static_cast<float>(sm::runtimeRand()) / 32767.0f * 0.02f + 0.01f;
    } while (x < kBlack);
    curve_.appendKey(kBlack, 1.0f, true);
    curve_.appendKey(kFadeStart, 1.0f, false);
    curve_.appendKey(kFadeEnd, 0.0f, false);
}

float FlickerCurve::at(float t) const {
    float value = 0.0f;
    curve_.evaluate(t, value, 0);
    return value;
}
