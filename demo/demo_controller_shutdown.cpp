// Releasing the show: the music first, then the content manager, then every
// GL object while the context still exists, then the window.
#include "anim/game_object.h"
#include "app/opengl_window.h"
#include "content/bitmap_font.h"
#include "content/content_loader.h"
#include "content/content_manager.h"
#include "content/sprite_renderer.h"
#include "demo/demo_controller.h"
#include "demo/music_clock.h"
#include "demo/music_player.h"
#include "render/loading_screen.h"
#include "render/post_processing.h"
#include "render/smoke_system.h"

void DemoController::shutdown() {
    loaded_ = false;
    if (music_) music_->shutdown();
    music_.reset();
    if (player_) player_->release();

    content_.reset();

    // What refers to content goes before the content itself.
    mainCamera_ = nullptr;
    shadowCamera_ = nullptr;
    mainRoot_ = nullptr;
    shadowRoot_ = nullptr;
    mainCameras_ = CameraCuts{};
    shadowCameras_ = CameraCuts{};
    sceneSubmeshes_.clear();
    sceneOpaque_.clear();
    sceneTransparent_.clear();
    classes_ = SubmeshClasses{};
    credits_ = nullptr;
    cigarette_ = nullptr;
    objectOrder_.clear();
    objectStore_.clear();
    programs_ = MaterialPrograms{};
    blackTexture_ = nullptr;
    endTexture_ = nullptr;
    smoke_.reset();
    font_.reset();
    sprites_.reset();
    post_.reset();
    loadingScreen_.reset();
    quad_.reset();
    shadow_.reset();
    loader_.reset();

    if (window_) window_->destroyWindow();
    window_.reset();
    adoptedWindow_ = nullptr;
}
