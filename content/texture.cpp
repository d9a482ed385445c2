#include "content/texture.h"

#include <filesystem>
#include <system_error>

Texture::~Texture() {
    if (name != 0) glDeleteTextures(1, &name);
}

DepthTexture::~DepthTexture() {
    if (name != 0) glDeleteTextures(1, &name);
}

GLenum textureFormat(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 8: return GL_ALPHA;
        case 24: return GL_RGB;
        case 32: return GL_RGBA;
        default: return 0;
    }
}

std::unique_ptr<Texture> createTexture(int width, int height, int bitsPerPixel, const void* pixels, GLint wrap,
                                       GLint minFilter, GLint magFilter, bool generateMipmaps) {
    const GLenum format = textureFormat(bitsPerPixel);
    if (format == 0 || width < 0 || height < 0) return nullptr;
    auto texture = std::make_unique<Texture>();
    texture->width = width;
    texture->height = height;
    texture->bitsPerPixel = bitsPerPixel;
    glGenTextures(1, &texture->name);
    glBindTexture(GL_TEXTURE_2D, texture->name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    // Rows are tightly packed, so a row of 1 or 3 byte pixels need not be a
    // multiple of 4 bytes long: unpack byte by byte, then put the caller's
    // alignment back.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    if (generateMipmaps) glGenerateMipmap(GL_TEXTURE_2D);
    return texture;
}

std::unique_ptr<Texture> createContentTexture(Image& image) {
    if (image.pixels.empty()) return nullptr;
    flipRows(image);
    return uploadContentTexture(image);
}

std::unique_ptr<Texture> uploadContentTexture(const Image& flipped) {
    if (flipped.pixels.empty()) return nullptr;
    return createTexture(static_cast<int>(flipped.width), static_cast<int>(flipped.height), flipped.channels * 8,
                         flipped.pixels.data(), GL_REPEAT, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, true);
}

std::unique_ptr<Texture> createNearestTexture(const Image& image) {
    if (image.pixels.empty()) return nullptr;
    return createTexture(static_cast<int>(image.width), static_cast<int>(image.height), image.channels * 8,
                         image.pixels.data(), GL_CLAMP_TO_EDGE, GL_NEAREST, GL_NEAREST, false);
}

void clampToEdge(const Texture* texture) {
    if (!texture) return;
    glBindTexture(GL_TEXTURE_2D, texture->name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
}

std::unique_ptr<Texture> loadTexture(const std::string& path) {
    Image image;
    if (!loadImage(path, image)) return nullptr;
    return createContentTexture(image);
}

std::unique_ptr<Texture> loadTextureNearest(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return nullptr;
    Image image;
    if (!loadImage(path, image)) return nullptr;
    return createNearestTexture(image);
}

std::unique_ptr<DepthTexture> createDepthTexture(int width, int height) {
    auto texture = std::make_unique<DepthTexture>();
    texture->width = width;
    texture->height = height;
    glGenTextures(1, &texture->name);
    glBindTexture(GL_TEXTURE_2D, texture->name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT32, width, height, 0, GL_DEPTH_COMPONENT, GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

