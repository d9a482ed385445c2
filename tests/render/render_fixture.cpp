#include "tests/render/render_fixture.h"

#include <unistd.h>

#include <atomic>

#include "tools/pictures/image_writers.h"

namespace murmur::test {

namespace {
const std::string kEffects = MURMUR_SOURCE_DIR "/data/effects/";
}

ContentSet::ContentSet(const std::string& textureFolder) {
    content.loadPrograms(kEffects);
    if (!textureFolder.empty()) content.loadTextures(textureFolder);
}

ContentManager& effects() {
    static ContentSet* set = new ContentSet();  // lives as long as the GL context
    return set->content;
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

void writeFlatPng(const std::string& path, int width, int height, Rgba colour) {
    pictures::Image image;
    image.width = width;
    image.height = height;
    image.channels = 4;
    for (int i = 0; i < width * height; ++i) image.pixels.insert(image.pixels.end(), {colour.r, colour.g, colour.b, colour.a});
    std::string error;
    ASSERT_TRUE(pictures::writePng(path, image, error)) << error;
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

void RenderTest::SetUp() {
    GlTest::SetUp();
    glClearColor(0, 0, 0, 0);
}

void RenderTest::TearDown() {
    glUseProgram(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    for (GLuint slot = 0; slot <= 4; ++slot) glDisableVertexAttribArray(slot);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_TRUE);
    glActiveTexture(GL_TEXTURE0);
    GlTest::TearDown();
}

}  // namespace murmur::test
