#include "tests/render/render_fixture.h"

#include <unistd.h>

#include <atomic>

#include "tools/pictures/image_writers.h"

namespace murmur::test {

ContentSet::ContentSet(const std::string& textureFolder) {
    content.loadPrograms(effectsDirectory());
    if (!textureFolder.empty()) content.loadTextures(textureFolder);
}

ScratchDir::ScratchDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("murmur-render-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void writePng(const std::string& path, int width, int height, const std::vector<Rgba>& pixels) {
    pictures::Image image;
    image.width = width;
    image.height = height;
    image.channels = 4;
    for (const Rgba& p : pixels) image.pixels.insert(image.pixels.end(), {p.r, p.g, p.b, p.a});
    std::string error;
    ASSERT_TRUE(pictures::writePng(path, image, error)) << error;
}

void writeFlatPng(const std::string& path, int width, int height, Rgba colour) {
    writePng(path, width, height, std::vector<Rgba>(static_cast<std::size_t>(width * height), colour));
}

std::unique_ptr<Texture> rgbaTexture(int width, int height, const std::vector<Rgba>& pixels, GLint filter) {
    return createTexture(width, height, 32, pixels.data(), GL_CLAMP_TO_EDGE, filter, filter, false);
}

std::unique_ptr<Texture> flatTexture(int width, int height, Rgba colour, GLint filter) {
    return rgbaTexture(width, height, std::vector<Rgba>(static_cast<std::size_t>(width * height), colour), filter);
}

std::vector<Rgba> texturePixels(const Texture& texture) {
    std::vector<Rgba> pixels(static_cast<std::size_t>(texture.width * texture.height));
    glBindTexture(GL_TEXTURE_2D, texture.name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return pixels;
}

void RenderTest::SetUp() { GlTest::SetUp(); }

void RenderTest::TearDown() {
    resetDrawState();
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    glClearColor(0, 0, 0, 0);
    glBlendFunc(GL_ONE, GL_ZERO);
    GlTest::TearDown();
}

}  // namespace murmur::test
