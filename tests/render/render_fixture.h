#pragma once

#include <GL/glew.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "content/content_loader.h"
#include "content/content_manager.h"
#include "content/texture.h"
#include "tests/render/material_fixture.h"
#include "tests/support/gl_context.h"

namespace murmur::test {

// A content manager of its own over the effects and the textures of one
// folder (the shared effects() are in material_fixture.h).
struct ContentSet {
    ContentLoader loader;
    ContentManager content{&loader};
    explicit ContentSet(const std::string& textureFolder = {});
};

// A fresh empty folder, removed with the object.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string path() const { return path_.string() + "/"; }

private:
    std::filesystem::path path_;
};

// An 8-bit RGBA PNG from rows top to bottom, and one of one colour.
void writePng(const std::string& path, int width, int height, const std::vector<Rgba>& pixels);
void writeFlatPng(const std::string& path, int width, int height, Rgba colour);

// A clamped RGBA texture from rows bottom to top.
std::unique_ptr<Texture> rgbaTexture(int width, int height, const std::vector<Rgba>& pixels, GLint filter = GL_NEAREST);
std::unique_ptr<Texture> flatTexture(int width, int height, Rgba colour, GLint filter = GL_NEAREST);
// The texture's pixels, rows bottom to top.
std::vector<Rgba> texturePixels(const Texture& texture);

// Puts back the state the render suites change, and checks for GL errors.
class RenderTest : public GlTest {
protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace murmur::test
