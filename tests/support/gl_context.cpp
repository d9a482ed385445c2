#include "tests/support/gl_context.h"

#include <cstdlib>
#include <string>

namespace murmur::test {
namespace {

SDL_Window* gWindow = nullptr;
SDL_GLContext gContext = nullptr;
std::string gFailure;
bool gTried = false;

bool create() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        gFailure = std::string("SDL_Init: ") + SDL_GetError();
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    gWindow = SDL_CreateWindow("murmur tests", 0, 0, HeadlessGl::width(), HeadlessGl::height(),
                               SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!gWindow) {
        gFailure = std::string("SDL_CreateWindow: ") + SDL_GetError();
        return false;
    }
    gContext = SDL_GL_CreateContext(gWindow);
    if (!gContext) {
        gFailure = std::string("SDL_GL_CreateContext: ") + SDL_GetError();
        return false;
    }
    SDL_GL_MakeCurrent(gWindow, gContext);
    // Without a GLX display glewInit reports an error but still loads the
    // entry points through the current (EGL) context; check one we need.
    glewExperimental = GL_TRUE;
    glewInit();
    while (glGetError() != GL_NO_ERROR) {
    }
    if (!glCreateProgram || !glGenFramebuffers) {
        gFailure = "GL 2.0 entry points are missing";
        return false;
    }
    return true;
}

}  // namespace

bool HeadlessGl::ensure() {
    if (!gTried) {
        gTried = true;
        if (!create()) gContext = nullptr;
    }
    return gContext != nullptr;
}

const char* HeadlessGl::failure() { return gFailure.c_str(); }

SDL_Window* HeadlessGl::window() { return gWindow; }

void GlTest::SetUp() {
    ASSERT_TRUE(HeadlessGl::ensure()) << "no headless GL context: " << HeadlessGl::failure();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, HeadlessGl::width(), HeadlessGl::height());
}

void GlTest::TearDown() {
    if (HeadlessGl::ensure()) {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

Rgba readPixel(int x, int y) {
    Rgba p{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &p);
    return p;
}

std::vector<Rgba> readPixels(int x, int y, int w, int h) {
    std::vector<Rgba> out(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
    return out;
}

}  // namespace murmur::test
