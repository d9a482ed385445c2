#include "demo/end_fade.h"

bool EndFade::advance(float t, float dt) {
    if (!(t > kStart)) return false;
    alpha_ = alpha_ + dt * kRate;
    if (alpha_ > 1.0f) alpha_ = 1.0f;
    return true;
}
