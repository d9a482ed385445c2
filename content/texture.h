#pragma once

#include <GL/glew.h>

#include <memory>
#include <string>

#include "content/image.h"

// A GL_TEXTURE_2D object. Deletes its GL name when destroyed (with the
// context current; without one GL ignores the call).
struct Texture {
    GLuint name = 0;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;  // 8 (GL_ALPHA), 24 (GL_RGB) or 32 (GL_RGBA)

    Texture() = default;
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;
    ~Texture();
};

// A depth-component texture for depth attachments.
struct DepthTexture {
    GLuint name = 0;
    int width = 0;
    int height = 0;

    DepthTexture() = default;
    DepthTexture(const DepthTexture&) = delete;
    DepthTexture& operator=(const DepthTexture&) = delete;
    ~DepthTexture();
};

// GL_ALPHA, GL_RGB or GL_RGBA for 8, 24 or 32 bits per pixel; 0 otherwise.
GLenum textureFormat(int bitsPerPixel);

// Creates a texture with tightly packed rows (any row length) from `pixels`,
// or with storage and no contents when `pixels` is null. Both wrap axes take
// `wrap`. The texture is left bound to GL_TEXTURE_2D. Returns null for a
// negative size or a bits-per-pixel value other than 8, 24 or 32.
std::unique_ptr<Texture> createTexture(int width, int height, int bitsPerPixel, const void* pixels, GLint wrap,
                                       GLint minFilter, GLint magFilter, bool generateMipmaps);

// Uploads a decoded picture as a content texture: rows flipped so v = 0 is
// the bottom of the picture, repeating, trilinear, mipmapped. The image's
// rows are flipped in place.
std::unique_ptr<Texture> createContentTexture(Image& image);
// The same for a picture whose rows are flipped already.
std::unique_ptr<Texture> uploadContentTexture(const Image& flipped);
// Uploads a decoded picture as a font bitmap: not flipped (v = 0 is the top
// row), clamped, nearest filtering, no mipmaps.
std::unique_ptr<Texture> createNearestTexture(const Image& image);

// Makes a texture clamp to its edges instead of repeating: a picture
// stretched over the window or a quad would otherwise blend each edge with
// the opposite one. Null does nothing; GL_TEXTURE_2D is unbound afterwards.
void clampToEdge(const Texture* texture);

// Decode and upload in one step; null when the file cannot be decoded.
std::unique_ptr<Texture> loadTexture(const std::string& path);
std::unique_ptr<Texture> loadTextureNearest(const std::string& path);

// GL_DEPTH_COMPONENT32 storage of float depth, linear filtering, clamped;
// GL_TEXTURE_2D is unbound afterwards.
std::unique_ptr<DepthTexture> createDepthTexture(int width, int height);

