#pragma once
// Quick looks at the set without GL: views ray-cast with Embree, each pixel
// the surface's texture times its light map, lit as the show's programs
// light it (glowing surfaces as they are),
// written as JPEG pictures for the author to look at.
#include "tools/model/model.h"
#include "tools/pictures/canvas.h"

#include <map>
#include <string>
#include <vector>

namespace content {
class Staging;
}

namespace world {

struct PreviewView {
    std::string name;
    sm::Vec3 eye, target;
    float fovX;  // radians
};

// Renders each view of the models (light maps by mesh name) into
// `folder`/NAME.jpg.
void renderPreviews(content::Staging& staging, const std::vector<const model::Model*>& models,
                    const std::map<std::string, pictures::Image>& lightmaps, const std::vector<PreviewView>& views,
                    int width, int height, const std::string& folder);

} // namespace world
