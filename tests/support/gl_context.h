#pragma once

#include <GL/glew.h>
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace murmur::test {

// An OpenGL context with no display: SDL's offscreen video driver over EGL,
// which Mesa serves with llvmpipe. One context lives for the whole test
// program; it is created on first use and stays current.
class HeadlessGl {
public:
    // Creates the context on first use. Returns false (and records why) when
    // no context can be made.
    static bool ensure();
    static const char* failure();
    // Size of the default framebuffer.
    static int width() { return 256; }
    static int height() { return 256; }
    static SDL_Window* window();
};

// Base for GL suites: skips nothing, fails loudly when there is no context,
// and checks that a test leaves no GL error behind.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// Reads one RGBA pixel of the bound read framebuffer (origin bottom left).
struct Rgba {
    std::uint8_t r, g, b, a;
    bool operator==(const Rgba&) const = default;
};
Rgba readPixel(int x, int y);
std::vector<Rgba> readPixels(int x, int y, int w, int h);

}  // namespace murmur::test
