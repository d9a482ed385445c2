#pragma once

#include "math/mat4.h"

class ScreenQuad;

// Something the glow pass draws between the glowing and the plain
// transparent submeshes while it shows: the credits' greeting picture. Its
// owner (the credits) implements it; the post-processing is given it once at
// load.
class IGreetingSprite {
public:
    virtual ~IGreetingSprite() = default;
    // Whether a greeting has been chosen and is to be drawn.
    virtual bool greetingActive() const = 0;
    // Draws it on the screen quad through the frame's view-projection; the
    // program, blending and depth state are its own to set.
    virtual void drawGreeting(const ScreenQuad& quad, const sm::Mat4& viewProjection) const = 0;
};
