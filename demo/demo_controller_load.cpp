// Loading the show: the content scan behind the loading screen, the effects,
// the scene objects, the draw lists, the music and the camera lists, in that
// order (the order is part of the show: the objects' creation order is their
// update order, and nothing here may draw random numbers before the flicker).
#include <algorithm>
#include <filesystem>

#include "anim/core/scene_node.h"
#include "anim/simple_anim.h"
#include "app/log.h"
#include "content/bitmap_font.h"
#include "content/content_manager.h"
#include "content/sprite_renderer.h"
#include "content/texture.h"
#include "demo/cigarette.h"
#include "demo/credits_dance.h"
#include "demo/demo_controller.h"
#include "demo/factory.h"
#include "demo/fan.h"
#include "demo/music_clock.h"
#include "demo/music_player.h"
#include "demo/robot.h"
#include "render/loading_screen.h"
#include "render/post_processing.h"
#include "render/program_setup.h"
#include "render/smoke_system.h"

bool DemoController::load(const std::string& dataDirectory) {
    content_ = std::make_unique<ContentManager>(this, this);
    if (!loadingScreen_) loadingScreen_ = std::make_unique<LoadingScreen>();
    if (!loadingScreen_->init(dataDirectory, width_, height_, [this] { present(); }))
        reportProblem(dataDirectory + "loader.jpg or the program " + dataDirectory +
                      "effects/Sprite cannot be loaded: the loading screen is plain");
    loadingScreen_->draw();
    dataDirectory_ = dataDirectory;

    content_->loadAll(dataDirectory);

    // The full-window pictures, like the dream frames and the greetings,
    // clamp to their edges.
    blackTexture_ = content_->findTexture("black");
    if (!blackTexture_) reportProblem("no texture \"black\": the blackout and its flicker are not drawn");
    clampToEdge(blackTexture_);
    endTexture_ = content_->findTexture("end");
    if (!endTexture_) reportProblem("no texture \"end\": the end picture is not drawn");
    clampToEdge(endTexture_);
    endFade_ = EndFade{};

    setUpEffects();
    createObjects();
    buildDrawLists();
    openMusic();
    loadCameraList(mainCameras_, mainRoot_, "cameras", "cameras/cameras.cam");
    loadCameraList(shadowCameras_, shadowRoot_, "cameras_factory", "cameras/cameras_factory.cam");
    loaded_ = true;
    return true;
}

void DemoController::prepareMaterialPrograms() {
    if (!content_) return;
    programs_.prepare(*content_);
    for (int i = 0; i < kMaterialProgramCount; ++i) {
        const auto which = static_cast<MaterialProgram>(i);
        if (programs_.program(which)) continue;
        const std::string name = materialProgramName(which);
        const ShaderProgram* loaded = content_->findProgram(name);
        reportProblem((loaded ? linkProblem(name, *loaded) : "program " + name + " is missing") +
                      ": what it draws is left out");
    }
}

void DemoController::setUpEffects() {
    std::vector<std::string> problems;
    if (!quad_) quad_ = std::make_unique<ScreenQuad>();
    post_ = std::make_unique<PostProcessing>();
    post_->create(*content_, *quad_, width_, height_, &problems);

    ShaderProgram* sprite = prepareProgram(*content_, "Sprite", {{"a_position", 0}, {"a_coords", 1}}, &problems);
    if (!sprite) problems.push_back("without the program Sprite the glow, the dream and the overlays are not drawn");
    sprites_ = std::make_unique<SpriteRenderer>(
        sprite, pixelOrthoMatrix(static_cast<float>(width_), static_cast<float>(height_)));

    const std::string fontPath = dataDirectory_ + "fonts/komika_title_32.xml";
    std::string fontProblem;
    font_ = loadFont(fontPath, sprites_.get(), &fontProblem);
    if (!font_) problems.push_back("the font " + fontPath + " cannot be loaded: " + fontProblem);

    // The particle handlers look the program up themselves.
    prepareProgram(*content_, "DistortParticle", {{"a_position", 0}}, &problems);
    post_->prepareDistortion(*content_, &problems);

    smoke_ = std::make_unique<SmokeSystem>();
    smoke_->build(*content_, *quad_, &problems);
    reportProblems(problems);
}

void DemoController::createObjects() {
    const ContentManager& content = *content_;
    const auto prop = [&](const char* name, float showTime) {
        return std::make_unique<SimpleAnim>(content.findAnimation(name), content.findGeometry(name), showTime, name);
    };
    // The credits come first: the robot is handed them.
    auto credits = std::make_unique<CreditsDance>(content);
    credits_ = credits.get();
    objectStore_.push_back(std::make_unique<Robot>(content, credits_));
    objectStore_.push_back(std::make_unique<Factory>(content));
    objectStore_.push_back(std::move(credits));
    objectStore_.push_back(std::make_unique<Fan>(content));
    objectStore_.push_back(prop("flying_chair", kFlyingChairTime));
    objectStore_.push_back(prop("doors", 0.0f));
    objectStore_.push_back(prop("kubek", 0.0f));
    auto cigarette = std::make_unique<Cigarette>(content, content.findAnimation("epapieros"),
                                                 content.findGeometry("epapieros"), quad_.get());
    cigarette->setCamera(&mainView_, &mainProjection_);
    cigarette_ = cigarette.get();
    objectStore_.push_back(std::move(cigarette));

    objectOrder_.clear();
    for (const auto& object : objectStore_) objectOrder_.push_back(object.get());
    for (GameObject* object : objectOrder_) object->init();

    // Every gap in the objects' content, once.
    std::vector<std::string> problems;
    for (const GameObject* object : objectOrder_) object->problems(problems);
    reportProblems(problems);
}

void DemoController::buildDrawLists() {
    sceneSubmeshes_.clear();
    for (const GameObject* object : objectOrder_) {
        const std::vector<SubMesh*>& own = object->submeshes();
        sceneSubmeshes_.insert(sceneSubmeshes_.end(), own.begin(), own.end());
    }
    assignLightMaps(sceneSubmeshes_, *content_);
    sortByOpacity(sceneSubmeshes_);
    const auto firstTransparent = std::find_if(sceneSubmeshes_.begin(), sceneSubmeshes_.end(),
                                               [](const SubMesh* s) { return s && isTransparent(*s); });
    sceneOpaque_.assign(sceneSubmeshes_.begin(), firstTransparent);
    sceneTransparent_.assign(firstTransparent, sceneSubmeshes_.end());
    classifySubmeshes(sceneSubmeshes_, classes_);
    post_->setGreeting(credits_);
    for (GameObject* object : objectOrder_) object->dropLightmaps();
}

void DemoController::openMusic() {
    music_.reset();
    if (!musicWanted_) return;
    if (!player_) player_ = std::make_unique<AudioMusicPlayer>();
    music_ = std::make_unique<MusicClock>(*player_);
    const std::string path = dataDirectory_ + "music/soundtrk.mp3";
    std::string reason;
    if (music_->open(path, &reason)) return;
    // A missing soundtrack is a gap in the content; a machine without sound
    // output is not: the show runs on its own clock either way.
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored))
        reportProblem("no music " + path + ": the show runs on its own clock, in silence");
    else
        logMessage("no music (%s): the show runs on its own clock, in silence", reason.c_str());
}

void DemoController::loadCameraList(CameraCuts& cuts, SceneNode*& root, const char* animation, const char* file) {
    cuts = CameraCuts{};
    root = content_->findAnimation(animation);
    if (!root) reportProblem(std::string("no animation \"") + animation + "\": the cameras of " + file + " stand still");
    const std::string path = dataDirectory_ + file;
    std::string reason;
    if (!loadCameras(cuts.cameras, path, root, &reason))
        reportProblem(path + ": " + reason + ": the show has no cameras from it");
    else if (cuts.cameras.empty())
        reportProblem(path + " holds no cameras");
}
