#pragma once
// Pictures of what is drawn, ray-cast with Embree: each surface its diffuse
// texture (or colour) times its light map where it has one, the moving
// things lit by a key light from above and a light riding with the eye,
// glowing materials as they are.
#include "tools/look/show_player.h"
#include "tools/pictures/canvas.h"

#include <map>
#include <memory>
#include <string>

namespace look {

struct View {
    sm::Vec3 eye, target;
    float fovX = 0.9f;  // radians
    float near = 0.0f;  // what lies nearer the eye is cut away (walls in the way)
};

class RayView {
public:
    explicit RayView(std::string data);
    ~RayView();
    RayView(const RayView&) = delete;
    RayView& operator=(const RayView&) = delete;
    // Draws the set and the actors into a picture of the given size.
    pictures::Image render(const std::vector<Drawn>& set, const std::vector<Drawn>& actors, const View& view,
                           int width, int height);

private:
    struct Texture;
    const Texture* texture(const std::string& name);
    std::string data_;
    std::map<std::string, std::unique_ptr<Texture>> textures_;
    std::map<std::string, std::pair<std::string, sm::Vec3>> materials_;  // diffuse map, colour
};

} // namespace look
