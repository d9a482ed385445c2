#pragma once

#include <SDL2/SDL.h>

#include <memory>
#include <string>
#include <vector>

#include "app/generic_singleton.h"
#include "app/keyboard_callback.h"
#include "content/content_observer.h"
#include "content/graphics_engine.h"
#include "demo/camera_cuts.h"
#include "demo/developer_tools.h"
#include "demo/end_fade.h"
#include "demo/flicker_curve.h"
#include "demo/music_player.h"
#include "math/mat4.h"
#include "render/material_programs.h"
#include "render/render_targets.h"
#include "render/submesh_classes.h"

class BitmapFont;
class Cigarette;
class ContentLoader;
class ContentManager;
class CreditsDance;
class GameObject;
class ICamera;
class LoadingScreen;
class MusicClock;
class OpenglWindow;
class PostProcessing;
class SceneNode;
class ShaderProgram;
class SmokeSystem;
class SpriteRenderer;
class SubMesh;
struct Texture;

// The one object that owns the show: its window, the content, the render
// targets and effects, the scene objects, the cameras, the music and the
// frame's matrices. The start-up drives it in this order: initGraphics,
// load, prepareMaterialPrograms, then update and render once per frame
// until the viewer leaves, then its destruction (which shuts it down).
//
// The music's play position is the timeline's clock; without music (no
// output device, no file, or none wanted) the loop time is. Content that is
// missing leaves its object or pass out: each gap is logged once at load as
// an "error: ..." line, never per frame.
// The passes of a drawn frame, in the order they are submitted.
enum class FramePass { Shadow, Scene, Smoke, Distortion, Glow, Overlays, Present };
inline constexpr int kFramePassCount = 7;

// Measures a frame pass by pass (the benchmarks): passDone follows the
// submission of each pass.
class IPassProbe {
public:
    virtual ~IPassProbe() = default;
    virtual void passDone(FramePass pass) = 0;
};

class DemoController : public IContentObserver,
                       public IKeyboardCallback,
                       public IGraphicsEngine,
                       public GenericSingleton<DemoController> {
public:
    static constexpr const char* kWindowFailed = "couldn't initialize opengl window";
    // When the flying chair starts to show (scene clock, seconds).
    static constexpr float kFlyingChairTime = 134.0552f;

    // Builds the flicker curve (it takes the process's first random
    // numbers), then reopens the log: stderr copy and log.txt on, log.txt
    // truncated.
    DemoController();
    ~DemoController() override;
    DemoController(const DemoController&) = delete;
    DemoController& operator=(const DemoController&) = delete;

    // Opens the full-screen window in the chosen mode with its GL context,
    // sets the GL defaults and makes the start-up targets. On failure logs
    // "couldn't initialize opengl window", shuts down and returns false.
    bool initGraphics(int width, int height, int bitsPerPixel, int refreshRate);
    // The same on a window and GL context that the caller made and keeps
    // (the context must be current): the show draws at width x height into
    // its default frame buffer and presents with the window's buffer swap,
    // and leaves both alive at shutdown.
    bool adoptGraphics(SDL_Window* window, int width, int height);
    // The music that clocks the show; by default the soundtrack through the
    // audio output. Null plays without music: the loop time is the clock.
    // Takes effect at load.
    void useMusicPlayer(std::unique_ptr<IMusicPlayer> player);

    // Loads every content file of the data directory (ending in a
    // separator) behind the loading screen and builds the show. Always true.
    bool load(const std::string& dataDirectory);
    void prepareMaterialPrograms();

    // One frame at loop time timeMs, deltaMs after the previous one (both
    // milliseconds; update and render get the same two). Always true.
    // render is advanceFrame, then draw.
    bool update(float timeMs, float deltaMs);
    bool render(float timeMs, float deltaMs);
    // What the frame carries to the next frame beyond the update (the end
    // fade), without drawing anything: a frame that is not to be seen runs
    // update and advanceFrame, and the frames after it are drawn exactly as
    // if it had been.
    void advanceFrame(float timeMs, float deltaMs);
    // Draws the frame that update and advanceFrame prepared, and presents it.
    void draw();
    // Told when each pass of draw has been submitted (null: nobody is).
    void setPassProbe(IPassProbe* probe) { passProbe_ = probe; }
    // Whether the scene pass lays down the opaque submeshes' depth before it
    // shades them (on by default): each pixel is then shaded once, and the
    // picture is the same as without, which the tools and tests compare.
    void useDepthPrepass(bool on) { depthPrepass_ = on; }

    // Releases the music, the content manager, the GL objects and then the
    // window, in that order. Safe to call twice.
    void shutdown();

    // Content scan reports: failed files go to the log, progress to the
    // loading screen.
    void onError(const std::string& message) override;
    void onBegin(int count) override;
    void onProgress() override;
    void onFinish() override;

    // The authors' keys (see DeveloperTools).
    void onClick() override;
    void onKeyDown(int virtualKey) override;

    void willLoadTextures(const std::vector<std::string>& paths) override;
    Texture* loadTexture(const std::string& path) override;
    ShaderProgram* loadProgram(const std::string& vertexPath, const std::string& fragmentPath) override;
    Geometry* loadGeometry(const std::string& path) override;
    SceneNode* loadAnimation(const std::string& path) override;
    Material* loadMaterial(const std::string& path) override;

    // What the show is made of, for the tools and the tests.
    int width() const { return width_; }
    int height() const { return height_; }
    const ContentManager* content() const { return content_.get(); }
    const std::vector<std::string>& loadProblems() const { return problems_; }
    const std::vector<GameObject*>& objects() const { return objectOrder_; }
    const CreditsDance* credits() const { return credits_; }
    const Cigarette* cigarette() const { return cigarette_; }
    const std::vector<SubMesh*>& sceneSubmeshes() const { return sceneSubmeshes_; }
    const CameraCuts& mainCameras() const { return mainCameras_; }
    // The main cameras' end times in list order (the shot list).
    std::vector<float> mainCameraEndTimes() const;
    const MusicClock* music() const { return music_.get(); }
    // The timeline's time of the last update (music time, seconds) and the
    // scene clock it drove the objects with.
    float timelineTime() const { return timelineTime_; }
    float sceneClock() const { return sceneClock_; }
    float endFadeAlpha() const { return endFade_.alpha(); }
    const FlickerCurve& flicker() const { return flicker_; }
    const sm::Mat4& mainView() const { return mainView_; }
    const sm::Mat4& mainProjection() const { return mainProjection_; }
    DeveloperTools& tools() { return tools_; }

private:
    bool setUpGraphics();
    void present();
    void reportProblem(const std::string& message);
    void reportProblems(const std::vector<std::string>& messages);

    // Load steps.
    void setUpEffects();
    void createObjects();
    void buildDrawLists();
    void openMusic();
    void loadCameraList(CameraCuts& cuts, SceneNode*& root, const char* animation, const char* file);

    // Frame steps.
    void drawOverlay(const Texture* texture, float alpha);
    void passDone(FramePass pass) {
        if (passProbe_) passProbe_->passDone(pass);
    }

    // Built first of all: the flicker takes the random stream's first numbers.
    FlickerCurve flicker_;

    std::unique_ptr<ContentLoader> loader_;
    std::unique_ptr<ContentManager> content_;
    std::string dataDirectory_;
    std::vector<std::string> problems_;

    std::unique_ptr<OpenglWindow> window_;
    SDL_Window* adoptedWindow_ = nullptr;  // not owned
    int width_ = 0;
    int height_ = 0;
    bool loaded_ = false;

    std::unique_ptr<LoadingScreen> loadingScreen_;
    std::unique_ptr<ShadowTarget> shadow_;
    std::unique_ptr<ScreenQuad> quad_;
    std::unique_ptr<PostProcessing> post_;
    std::unique_ptr<SpriteRenderer> sprites_;
    std::unique_ptr<BitmapFont> font_;
    std::unique_ptr<SmokeSystem> smoke_;
    MaterialPrograms programs_;
    const Texture* blackTexture_ = nullptr;
    const Texture* endTexture_ = nullptr;

    std::vector<std::unique_ptr<GameObject>> objectStore_;
    std::vector<GameObject*> objectOrder_;  // update order
    CreditsDance* credits_ = nullptr;
    Cigarette* cigarette_ = nullptr;

    std::vector<SubMesh*> sceneSubmeshes_;
    // sceneSubmeshes_ split where the transparent ones begin: the greeting
    // is drawn between the two.
    std::vector<SubMesh*> sceneOpaque_;
    std::vector<SubMesh*> sceneTransparent_;
    SubmeshClasses classes_;

    CameraCuts mainCameras_;
    CameraCuts shadowCameras_;
    SceneNode* mainRoot_ = nullptr;
    SceneNode* shadowRoot_ = nullptr;
    const ICamera* mainCamera_ = nullptr;
    const ICamera* shadowCamera_ = nullptr;
    sm::Mat4 mainView_;
    sm::Mat4 mainProjection_;
    sm::Mat4 mainViewProjection_;
    sm::Mat4 shadowView_;
    sm::Mat4 shadowProjection_;
    sm::Vec3 eyePosition_{0.0f, 0.0f, 0.0f};
    float biasScale_ = 0.0f;
    float biasClamp_ = 0.0f;

    EndFade endFade_;
    bool endPictureShows_ = false;  // this frame, by the end fade
    float frameTime_ = 0.0f;        // loop time of the frame advanced last, seconds
    IPassProbe* passProbe_ = nullptr;
    bool depthPrepass_ = true;
    float sceneClock_ = 0.0f;
    float timelineTime_ = 0.0f;
    bool firstUpdate_ = true;
    std::unique_ptr<IMusicPlayer> player_;
    bool musicWanted_ = true;
    std::unique_ptr<MusicClock> music_;

    DeveloperTools tools_{mainView_, biasScale_, biasClamp_, sceneSubmeshes_};
};
