#pragma once
// Backgrounds and motifs shared by the title card, the setup picture and the
// end picture: a hazy factory twilight and the silhouette of a wall fan.
#include "tools/pictures/canvas.h"
#include "tools/pictures/mask.h"

#include <cstdint>

namespace content {

struct BackdropColors {
    pictures::Color top, bottom, haze, light;
};

// Vertical gradient with drifting haze, a slanted light shaft from the upper
// left and fine grain; `scale` is the feature size in pixels.
void paintBackdrop(pictures::Canvas& canvas, const BackdropColors& colors, uint32_t seed, float scale);

// A wall fan seen from the front: rim, guard rings, blades and hub, anti-aliased,
// `size` pixels across; `turn` rotates the blades (radians).
pictures::Mask fanMask(int size, int blades, float turn);

} // namespace content
