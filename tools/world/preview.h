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

// A greeting picture hanging in the air, placed as the show places it: its
// top edge centred on `origin`, spanning `width` along `along`, hanging
// `height` down against `up`; shown from its left edge up to `progress`.
struct PreviewCard {
    std::string picture;  // file under the data folder
    sm::Vec3 origin, along, up;
    float width = 0.0f, height = 0.0f, progress = 1.0f;
};

struct PreviewView {
    std::string name;
    sm::Vec3 eye, target;
    float fovX;  // radians
    std::vector<model::Shape> moving;  // the show's moving things, posed (lit by the light riding with the eye)
    std::vector<PreviewCard> cards;
};

// Renders each view of the models (light maps by mesh name) into
// `folder`/NAME.jpg.
void renderPreviews(content::Staging& staging, const std::vector<const model::Model*>& models,
                    const std::map<std::string, pictures::Image>& lightmaps, const std::vector<PreviewView>& views,
                    int width, int height, const std::string& folder);

} // namespace world
