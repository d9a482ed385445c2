#pragma once

// Shared pieces of the material, shadow and loading-screen suites: the
// engine's own effect programs, quads built in memory and uploaded, small
// textures, an off-screen target and camera helpers.

#include <memory>
#include <string>

#include "content/content_manager.h"
#include "content/geometry/geometry.h"
#include "content/texture.h"
#include "math/mat4.h"
#include "render/frame_buffer.h"
#include "tests/support/gl_context.h"

namespace murmur::test {

// The folder of the engine's GLSL pairs in the source tree.
std::string effectsDirectory();

// A content manager holding every program of the effects folder, loaded
// once per test program through the real loader.
const ContentManager& effects();

// Appends to the mesh a square of side `size` centred at `centre`, facing
// `normal`, with `tangent` along its first texture axis (u runs along the
// tangent, v along normal x tangent, both 0 to 1; the light-map coordinates
// are the same). Front faces are counter-clockwise seen from the normal.
// The vertices carry what `format` holds; nothing is uploaded yet.
SubMesh* addQuad(Mesh& mesh, int format, sm::Vec3 centre, sm::Vec3 normal, sm::Vec3 tangent, float size);

// Refreshes the geometry's submesh list and uploads every submesh.
void upload(Geometry& geometry);

// A 1 x 1 RGB texture; a w x h RGB texture from rows bottom to top.
std::unique_ptr<Texture> solidTexture(std::uint8_t r, std::uint8_t g, std::uint8_t b);
std::unique_ptr<Texture> rgbTexture(int width, int height, const std::vector<std::uint8_t>& rgb);
// A 1 x 1 normal map holding the tangent-space direction n.
std::unique_ptr<Texture> normalMap(sm::Vec3 n);

// A colour texture and depth buffer of the given size.
class OffscreenTarget {
public:
    OffscreenTarget(int width, int height);
    // Binds it, sets the viewport and clears colour and depth to `clear`.
    void begin(float r = 0.0f, float g = 0.0f, float b = 0.0f);
    Rgba pixel(int x, int y) const;
    // Writes the picture to $MURMUR_TEST_PICTURES/<name>.png when that
    // variable is set (for looking at what a test drew).
    void save(const std::string& name) const;
    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_;
    int height_;
    std::unique_ptr<Texture> colour_;
    FrameBuffer frameBuffer_;
};

// A view matrix looking from eye at target.
sm::Mat4 lookAt(sm::Vec3 eye, sm::Vec3 target, sm::Vec3 up);
// The pixel of a w x h target that a world point lands on.
struct Pixel {
    int x, y;
};
Pixel pixelOf(const sm::Mat4& viewProjection, sm::Vec3 point, int width, int height);

inline int brightness(Rgba p) { return p.r + p.g + p.b; }

// Puts back the state that drawing leaves behind, so that suites do not
// depend on their order.
void resetDrawState();

}  // namespace murmur::test
