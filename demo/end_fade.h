#pragma once

// The end picture's opacity: from loop time 256 s on it grows by half the
// frame's delta each frame, up to 1, so it is fully opaque two seconds later
// whatever the frame rate.
class EndFade {
public:
    static constexpr float kStart = 256.0f;
    static constexpr float kRate = 0.5f;  // per second

    // Advances the fade for a frame at loop time t; true when the end
    // picture is drawn this frame (t past the start).
    bool advance(float t, float dt);
    float alpha() const { return alpha_; }

private:
    float alpha_ = 0.0f;
};
