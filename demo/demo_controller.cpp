#include "demo/demo_controller.h"

#include <GL/glew.h>

#include "app/log.h"
#include "anim/game_object.h"
#include "app/opengl_window.h"
#include "content/bitmap_font.h"
#include "content/content_loader.h"
#include "content/content_manager.h"
#include "content/sprite_renderer.h"
#include "demo/cigarette.h"
#include "demo/credits_dance.h"
#include "demo/music_clock.h"
#include "demo/music_player.h"
#include "render/loading_screen.h"
#include "render/post_processing.h"
#include "render/smoke_system.h"

DemoController::DemoController() : loader_(std::make_unique<ContentLoader>()) {
    // The start-up's log lines end here: the show's log starts afresh.
    configureLog(true, true);
}

DemoController::~DemoController() { shutdown(); }

bool DemoController::initGraphics(int width, int height, int bitsPerPixel, int refreshRate) {
    width_ = width;
    height_ = height;
    window_ = std::make_unique<OpenglWindow>();
    if (!window_->createWindow(width, height, bitsPerPixel, refreshRate, this)) {
        logMessage("%s", kWindowFailed);
        shutdown();
        return false;
    }
    return setUpGraphics();
}

bool DemoController::adoptGraphics(SDL_Window* window, int width, int height) {
    width_ = width;
    height_ = height;
    if (!window || !SDL_GL_GetCurrentContext()) {
        logMessage("%s", kWindowFailed);
        shutdown();
        return false;
    }
    adoptedWindow_ = window;
    return setUpGraphics();
}

bool DemoController::setUpGraphics() {
    // Without a GLX display (EGL surfaces) glewInit reports an error but
    // still loads the entry points through the current context.
    glewExperimental = GL_TRUE;
    glewInit();
    while (glGetError() != GL_NO_ERROR) {
    }

    glViewport(0, 0, width_, height_);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);

    loadingScreen_ = std::make_unique<LoadingScreen>();
    shadow_ = std::make_unique<ShadowTarget>();
    quad_ = std::make_unique<ScreenQuad>();
    if (!createStartupTargets(width_, height_, *shadow_, *quad_))
        reportProblem("the shadow frame buffer is incomplete: shadows may be missing");
    return true;
}

void DemoController::present() {
    if (window_)
        window_->swapBuffers();
    else if (adoptedWindow_)
        SDL_GL_SwapWindow(adoptedWindow_);
}

void DemoController::useMusicPlayer(std::unique_ptr<IMusicPlayer> player) {
    musicWanted_ = player != nullptr;
    player_ = std::move(player);
}

void DemoController::reportProblem(const std::string& message) {
    problems_.push_back(message);
    logMessage("error: %s", message.c_str());
}

void DemoController::reportProblems(const std::vector<std::string>& messages) {
    for (const std::string& message : messages) reportProblem(message);
}

void DemoController::onError(const std::string& message) { reportProblem(message); }

void DemoController::onBegin(int count) {
    if (loadingScreen_) loadingScreen_->setItemTotal(count);
}

void DemoController::onProgress() {
    if (loadingScreen_) loadingScreen_->addItemDone();
}

void DemoController::onFinish() {}

void DemoController::onClick() { tools_.onClick(); }

void DemoController::onKeyDown(int virtualKey) { tools_.onKeyDown(virtualKey); }

// The loaders are gone once the controller has shut down.
void DemoController::willLoadTextures(const std::vector<std::string>& paths) {
    if (loader_) loader_->willLoadTextures(paths);
}

Texture* DemoController::loadTexture(const std::string& path) {
    return loader_ ? loader_->loadTexture(path) : nullptr;
}

ShaderProgram* DemoController::loadProgram(const std::string& vertexPath, const std::string& fragmentPath) {
    return loader_ ? loader_->loadProgram(vertexPath, fragmentPath) : nullptr;
}

Geometry* DemoController::loadGeometry(const std::string& path) {
    return loader_ ? loader_->loadGeometry(path) : nullptr;
}

SceneNode* DemoController::loadAnimation(const std::string& path) {
    return loader_ ? loader_->loadAnimation(path) : nullptr;
}

Material* DemoController::loadMaterial(const std::string& path) {
    return loader_ ? loader_->loadMaterial(path) : nullptr;
}

std::vector<float> DemoController::mainCameraEndTimes() const {
    std::vector<float> ends;
    for (const auto& camera : mainCameras_.cameras) ends.push_back(camera->endTime);
    return ends;
}
