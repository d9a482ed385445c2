#include "app/opengl_window.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/main_loop.h"

namespace {

struct RecordingCallback : IKeyboardCallback {
    std::vector<int> keys;
    int clicks = 0;
    void onKeyDown(int key) override { keys.push_back(key); }
    void onClick() override { ++clicks; }
};

// Window tests run on SDL's offscreen driver: a real EGL context from Mesa,
// with no display.
class OpenglWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        unsetenv("SDL_VIDEO_EGL_DRIVER");
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_EQ(SDL_GetCurrentDisplayMode(0, &desktop), 0) << SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    void TearDown() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        unsetenv("SDL_VIDEO_EGL_DRIVER");
    }
    bool openDesktopMode(OpenglWindow& window, IKeyboardCallback* callback) {
        return window.createWindow(desktop.w, desktop.h, static_cast<int>(SDL_BITSPERPIXEL(desktop.format)),
                                   desktop.refresh_rate, callback);
    }
    static void expectReleased(const OpenglWindow& window) {
        EXPECT_EQ(window.handle, nullptr);
        EXPECT_EQ(window.renderContext, nullptr);
        EXPECT_FALSE(window.fullscreen);
        EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "video must be shut down again";
    }

    SDL_DisplayMode desktop{};
};

TEST_F(OpenglWindowTest, OpensInTheDesktopModeWithACurrentContext) {
    RecordingCallback callback;
    OpenglWindow window;
    ASSERT_TRUE(openDesktopMode(window, &callback)) << SDL_GetError();
    EXPECT_NE(window.handle, nullptr);
    EXPECT_NE(window.renderContext, nullptr);
    EXPECT_TRUE(window.fullscreen);
    EXPECT_EQ(window.width, desktop.w);
    EXPECT_EQ(window.height, desktop.h);
    EXPECT_EQ(SDL_GL_GetCurrentContext(), window.renderContext);
    EXPECT_STREQ(SDL_GetWindowTitle(window.handle), "Murmur :: by Quellon");
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_FALSE(SDL_IsScreenSaverEnabled());
    // llvmpipe offers no 32-bit depth buffer: the window falls back to 24.
    EXPECT_TRUE(window.depthBits == 32 || window.depthBits == 24) << window.depthBits;
    int depth = 0;
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth);
    EXPECT_GE(depth, 24);

    // The context draws.
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[1], 255);

    window.destroyWindow();
    expectReleased(window);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    window.destroyWindow();  // a second release is harmless
    expectReleased(window);
}

TEST_F(OpenglWindowTest, RefusedModeFailsAndRestoresEverything) {
    OpenglWindow window;
    EXPECT_FALSE(window.createWindow(desktop.w + 13, desktop.h + 7, 32, 75, nullptr));
    expectReleased(window);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    // The same object opens fine afterwards.
    ASSERT_TRUE(openDesktopMode(window, nullptr)) << SDL_GetError();
    window.destroyWindow();
}

// A hidden window only records the switch to full screen; it happens when
// the window is shown, where SDL reports no outcome. What counts is the mode
// the display is in afterwards, not the one last asked for. (The offscreen
// driver takes any mode, so here the switch always succeeds.)
TEST_F(OpenglWindowTest, TheModeInEffectIsReadBackWhenTheWindowIsShown) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    const int bpp = static_cast<int>(SDL_BITSPERPIXEL(desktop.format));
    SDL_DisplayMode half = desktop;
    half.w /= 2;
    half.h /= 2;
    SDL_Window* window = SDL_CreateWindow("mode", 0, 0, half.w, half.h, SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    ASSERT_EQ(SDL_SetWindowDisplayMode(window, &half), 0);
    ASSERT_EQ(SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN), 0);
    SDL_DisplayMode current;
    ASSERT_EQ(SDL_GetCurrentDisplayMode(0, &current), 0);
    EXPECT_EQ(current.w, desktop.w) << "nothing is switched while the window is hidden";

    EXPECT_FALSE(showInMode(window, desktop.w, desktop.h, bpp, desktop.refresh_rate));
    EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN);
    EXPECT_TRUE(showInMode(window, half.w, half.h, bpp, half.refresh_rate));
    EXPECT_FALSE(showInMode(window, half.w, half.h, bpp, half.refresh_rate + 15));
    EXPECT_FALSE(showInMode(window, half.w, half.h, bpp == 16 ? 32 : 16, half.refresh_rate));
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TEST_F(OpenglWindowTest, WrongDepthOrRefreshIsRefusedToo) {
    OpenglWindow window;
    const int bpp = static_cast<int>(SDL_BITSPERPIXEL(desktop.format));
    EXPECT_FALSE(window.createWindow(desktop.w, desktop.h, bpp == 16 ? 32 : 16, desktop.refresh_rate, nullptr));
    expectReleased(window);
    EXPECT_FALSE(window.createWindow(desktop.w, desktop.h, bpp, desktop.refresh_rate + 1, nullptr));
    expectReleased(window);
}

TEST_F(OpenglWindowTest, NoVideoDriverFailsCleanly) {
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    OpenglWindow window;
    EXPECT_FALSE(window.createWindow(640, 480, 32, 60, nullptr));
    expectReleased(window);
}

TEST_F(OpenglWindowTest, WindowThatCannotGetAGlSurfaceFailsCleanly) {
    setenv("SDL_VIDEO_EGL_DRIVER", "/nonexistent/libEGL.so", 1);
    OpenglWindow window;
    EXPECT_FALSE(openDesktopMode(window, nullptr));
    expectReleased(window);
}

TEST_F(OpenglWindowTest, InputReachesTheCallbackAndCloseRequestsDoNotClose) {
    RecordingCallback callback;
    OpenglWindow window;
    ASSERT_TRUE(openDesktopMode(window, &callback));

    auto key = [](SDL_Keycode sym, Uint16 mod) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.sym = sym;
        e.key.keysym.mod = mod;
        return e;
    };
    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONDOWN;
    click.button.button = SDL_BUTTON_LEFT;
    SDL_Event rightClick = click;
    rightClick.button.button = SDL_BUTTON_RIGHT;
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = SDL_GetWindowID(window.handle);

    SdlEventSource source;
    SDL_Event drain;
    while (source.pollEvent(drain)) {
    }
    for (SDL_Event e : {key(SDLK_b, KMOD_NONE), key(SDLK_b, KMOD_LSHIFT), key(SDLK_ESCAPE, KMOD_NONE), click,
                        rightClick, close}) {
        SDL_PushEvent(&e);
    }
    SDL_Event e;
    bool quit = false;
    while (source.pollEvent(e)) {
        if (e.type == SDL_QUIT) quit = true;
        source.dispatch(e);
    }
    EXPECT_EQ(callback.keys, (std::vector<int>{0x42, 0x42, 0x1B}));
    EXPECT_EQ(callback.clicks, 2) << "left click and close request; the right button is ignored";
    EXPECT_FALSE(quit) << "a close request must not turn into a quit";
    EXPECT_NE(window.handle, nullptr);
    window.destroyWindow();
}

}  // namespace

namespace {

TEST(OpenglWindowFallbackTest, AnInvisibleFallbackDriverIsRefused) {
    // The offscreen driver's own mode, which it would accept.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    SDL_DisplayMode mode{};
    ASSERT_EQ(SDL_GetCurrentDisplayMode(0, &mode), 0);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);

    // With no display to talk to and no driver named, SDL would quietly
    // fall back to its offscreen driver; the window must fail instead.
    unsetenv("SDL_VIDEODRIVER");
    setenv("DISPLAY", ":9999", 1);
    unsetenv("WAYLAND_DISPLAY");
    OpenglWindow window;
    EXPECT_FALSE(window.createWindow(mode.w, mode.h, static_cast<int>(SDL_BITSPERPIXEL(mode.format)),
                                     mode.refresh_rate, nullptr));
    EXPECT_EQ(window.handle, nullptr);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
}

}  // namespace
