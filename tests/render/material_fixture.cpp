#include "material_fixture.h"

#include <cmath>
#include <cstdlib>

#include "content/content_loader.h"
#include "content/geometry/geometry_reader.h"
#include "content/geometry/vertex_format.h"
#include "tools/pictures/image_writers.h"

namespace murmur::test {

std::string effectsDirectory() { return std::string(MURMUR_SOURCE_DIR) + "/data/effects/"; }

const ContentManager& effects() {
    static ContentLoader* loader = nullptr;
    static ContentManager* content = nullptr;
    if (!content) {
        // Kept for the whole test program, as loaded content is in the show.
        loader = new ContentLoader();
        content = new ContentManager(loader);
        content->loadPrograms(effectsDirectory());
    }
    return *content;
}

SubMesh* addQuad(Mesh& mesh, int format, sm::Vec3 centre, sm::Vec3 normal, sm::Vec3 tangent, float size) {
    const VertexLayout* layout = vertexLayout(format);
    const sm::Vec3 bitangent = sm::cross(normal, tangent);
    const float h = size * 0.5f;
    const float corners[6][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 1}};
    std::vector<float> fields;
    for (const auto& c : corners) {
        const sm::Vec3 p = centre + tangent * ((c[0] * 2 - 1) * h) + bitangent * ((c[1] * 2 - 1) * h);
        fields.insert(fields.end(), {p.x, p.y, p.z});
        if (layout->diffuseUv >= 0) fields.insert(fields.end(), {c[0], c[1]});
        if (layout->lightmapUv >= 0) fields.insert(fields.end(), {c[0], c[1]});
        if (layout->normal >= 0) fields.insert(fields.end(), {normal.x, normal.y, normal.z});
        if (layout->tangent >= 0) fields.insert(fields.end(), {tangent.x, tangent.y, tangent.z});
    }
    SubMesh* s = mesh.addSubMesh();
    s->setVertices(format, fields);
    return s;
}

void upload(Geometry& geometry) {
    geometry.refreshSubMeshList();
    uploadGeometry(geometry);
}

std::unique_ptr<Texture> rgbTexture(int width, int height, const std::vector<std::uint8_t>& rgb) {
    auto t = createTexture(width, height, 24, rgb.data(), GL_CLAMP_TO_EDGE, GL_NEAREST, GL_NEAREST, false);
    glBindTexture(GL_TEXTURE_2D, 0);
    return t;
}

std::unique_ptr<Texture> solidTexture(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return rgbTexture(1, 1, {r, g, b});
}

std::unique_ptr<Texture> normalMap(sm::Vec3 n) {
    sm::normalize(n);
    auto q = [](float v) { return static_cast<std::uint8_t>(std::lround((v * 0.5f + 0.5f) * 255.0f)); };
    return solidTexture(q(n.x), q(n.y), q(n.z));
}

OffscreenTarget::OffscreenTarget(int width, int height)
    : width_(width),
      height_(height),
      colour_(createTexture(width, height, 32, nullptr, GL_CLAMP_TO_EDGE, GL_NEAREST, GL_NEAREST, false)) {
    glBindTexture(GL_TEXTURE_2D, 0);
    frameBuffer_.create(width, height, 32);
    frameBuffer_.attachColor(*colour_, 0);
    FrameBuffer::unbind();
}

void OffscreenTarget::begin(float r, float g, float b) {
    frameBuffer_.bind();
    glViewport(0, 0, width_, height_);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

Rgba OffscreenTarget::pixel(int x, int y) const {
    frameBuffer_.bind();
    return readPixel(x, y);
}

void OffscreenTarget::save(const std::string& name) const {
    const char* dir = std::getenv("MURMUR_TEST_PICTURES");
    if (!dir) return;
    frameBuffer_.bind();
    const std::vector<Rgba> rows = readPixels(0, 0, width_, height_);
    pictures::Image image;
    image.width = width_;
    image.height = height_;
    image.channels = 4;
    for (int y = height_ - 1; y >= 0; --y) {
        for (int x = 0; x < width_; ++x) {
            const Rgba& p = rows[static_cast<std::size_t>(y * width_ + x)];
            image.pixels.insert(image.pixels.end(), {p.r, p.g, p.b, 255});
        }
    }
    std::string error;
    pictures::writePng(std::string(dir) + "/" + name + ".png", image, error);
}

sm::Mat4 lookAt(sm::Vec3 eye, sm::Vec3 target, sm::Vec3 up) {
    sm::Vec3 f = target - eye;
    sm::normalize(f);
    sm::Vec3 s = sm::cross(f, up);
    sm::normalize(s);
    const sm::Vec3 u = sm::cross(s, f);
    sm::Mat4 m;
    m.a[0] = s.x, m.a[4] = s.y, m.a[8] = s.z;
    m.a[1] = u.x, m.a[5] = u.y, m.a[9] = u.z;
    m.a[2] = -f.x, m.a[6] = -f.y, m.a[10] = -f.z;
    m.a[12] = -sm::dot(s, eye);
    m.a[13] = -sm::dot(u, eye);
    m.a[14] = sm::dot(f, eye);
    return m;
}

Pixel pixelOf(const sm::Mat4& m, sm::Vec3 p, int width, int height) {
    const float x = m.a[0] * p.x + m.a[4] * p.y + m.a[8] * p.z + m.a[12];
    const float y = m.a[1] * p.x + m.a[5] * p.y + m.a[9] * p.z + m.a[13];
    const float w = m.a[3] * p.x + m.a[7] * p.y + m.a[11] * p.z + m.a[15];
    return {static_cast<int>((x / w * 0.5f + 0.5f) * static_cast<float>(width)),
            static_cast<int>((y / w * 0.5f + 0.5f) * static_cast<float>(height))};
}

void resetDrawState() {
    glUseProgram(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    for (GLuint a = 0; a < 5; ++a) glDisableVertexAttribArray(a);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    FrameBuffer::unbind();
}

}  // namespace murmur::test
