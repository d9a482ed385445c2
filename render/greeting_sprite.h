#pragma once

// Something the glow pass draws between the glowing and the plain
// transparent submeshes when it is showing: the credits' greeting picture.
// The owner (the credits) implements it; the post-processing is given it
// once at load.
class IGreetingSprite {
public:
    virtual ~IGreetingSprite() = default;
    // Whether a greeting has been chosen (and is to be drawn).
    virtual bool greetingActive() const = 0;
    // Draws it with the frame's view-projection; current program, blending
    // and depth-write state are its own to set.
    virtual void drawGreeting() = 0;
};
