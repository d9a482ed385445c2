#pragma once

#include "render/post_processing.h"
#include "render/submesh_classes.h"

class MaterialPrograms;

// The glow pass: at half the window's size, the glowing submeshes with their
// materials, hidden where plain submeshes stand in front (drawn flat black,
// the transparent ones with their opacity), the credits greeting when it
// shows, then the blur. Leaves the blurred glow in post.blur().output() and
// frame buffer 0 bound. Does nothing when the glow is left out.
void renderGlow(PostProcessing& post, MaterialPrograms& programs, const SubmeshClasses& classes);
