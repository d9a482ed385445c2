#include "demo/demo_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "content/content_manager.h"
#include "content/image.h"
#include "content/shader_program.h"
#include "content/texture.h"
#include "demo/cigarette.h"
#include "demo/credits_dance.h"
#include "demo/music_clock.h"
#include "math/runtime_random.h"
#include "tests/demo/show_data.h"
#include "tests/support/gl_context.h"

namespace {

using murmur::test::builtContent;
using murmur::test::logLinesWith;
using murmur::test::meanOfWindow;
using murmur::test::openShow;
using murmur::test::ScriptedPlayer;
using murmur::test::ShowData;

constexpr int kWidth = 160;
constexpr int kHeight = 90;
constexpr float kFrameMs = 1000.0f / 30.0f;

class ShowTest : public murmur::test::GlTest {
protected:
    // Plays frames from `fromSeconds` to `toSeconds` (loop time) at 30 per
    // second.
    static void play(DemoController& show, float fromSeconds, float toSeconds) {
        for (float ms = fromSeconds * 1000.0f; ms <= toSeconds * 1000.0f; ms += kFrameMs) {
            ASSERT_TRUE(show.update(ms, kFrameMs));
            ASSERT_TRUE(show.render(ms, kFrameMs));
        }
    }
};

// The end picture as the show shows it: its mean colour.
murmur::test::MeanColour endPictureMean() {
    Image image;
    EXPECT_TRUE(loadImage(builtContent() + "textures/end.jpg", image));
    murmur::test::MeanColour mean;
    const std::size_t pixels = static_cast<std::size_t>(image.width) * image.height;
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t* p = &image.pixels[i * static_cast<std::size_t>(image.channels)];
        mean.r += p[0];
        mean.g += p[1 % image.channels];
        mean.b += p[2 % image.channels];
    }
    mean.r /= static_cast<double>(pixels);
    mean.g /= static_cast<double>(pixels);
    mean.b /= static_cast<double>(pixels);
    return mean;
}

void expectShowsEndPicture(const char* when) {
    const auto shown = meanOfWindow(kWidth, kHeight);
    const auto end = endPictureMean();
    EXPECT_NEAR(shown.r, end.r, 6.0) << when;
    EXPECT_NEAR(shown.g, end.g, 6.0) << when;
    EXPECT_NEAR(shown.b, end.b, 6.0) << when;
}

TEST_F(ShowTest, TheFlickerTakesTheStreamsFirstNumbersAndLoadingDrawsNoneOfTheRest) {
    sm::setRuntimeRandState(1);
    const FlickerCurve reference;
    const std::uint32_t afterFlicker = sm::runtimeRandState();

    sm::setRuntimeRandState(1);
    auto show = openShow(builtContent(), nullptr, kWidth, kHeight);
    ASSERT_TRUE(show);
    EXPECT_EQ(show->flicker().curve().keyCount(), reference.curve().keyCount());
    for (float t = 118.9f; t < 131.1f; t += 0.0037f) ASSERT_EQ(show->flicker().at(t), reference.at(t)) << t;
    // Loading the whole show took no random number: the particles of the
    // first frames take the ones after the flicker's.
    EXPECT_EQ(sm::runtimeRandState(), afterFlicker);
    play(*show, 0.0f, 0.5f);
    EXPECT_NE(sm::runtimeRandState(), afterFlicker);
}

// Every program the frame uses, in order, with the frame buffer it draws
// into: recorded by wrapping GLEW's entry points for one frame.
struct Use {
    std::string program;
    GLuint framebuffer;
};
std::vector<Use>* gUses = nullptr;
GLuint gFramebuffer = 0;
std::map<GLuint, std::string>* gProgramNames = nullptr;
PFNGLUSEPROGRAMPROC gRealUseProgram = nullptr;
PFNGLBINDFRAMEBUFFERPROC gRealBindFramebuffer = nullptr;

void GLAPIENTRY recordUseProgram(GLuint program) {
    if (program != 0) {
        const auto name = gProgramNames->find(program);
        gUses->push_back({name == gProgramNames->end() ? "?" : name->second, gFramebuffer});
    }
    gRealUseProgram(program);
}

void GLAPIENTRY recordBindFramebuffer(GLenum target, GLuint framebuffer) {
    if (target == GL_FRAMEBUFFER || target == GL_DRAW_FRAMEBUFFER) gFramebuffer = framebuffer;
    gRealBindFramebuffer(target, framebuffer);
}

std::string passOf(const std::string& program) {
    if (program == "ShadowMap") return "shadow";
    if (program == "DistortParticle") return "particles";
    if (program == "Distortion") return "distortion";
    if (program == "HoriBlur" || program == "VertBlur") return "blur";
    if (program == "Sprite") return "sprites";
    if (program == "CreditSprite") return "greeting";
    return "surfaces";  // the material programs and Black
}

struct Pass {
    std::string name;
    GLuint framebuffer;
    int programUses;
    bool operator==(const Pass&) const = default;
};

std::vector<Pass> recordFrame(DemoController& show, float seconds) {
    std::map<GLuint, std::string> names;
    for (const auto& [name, program] : show.content()->programs())
        if (program) names[program->program] = name;
    std::vector<Use> uses;
    gUses = &uses;
    gProgramNames = &names;
    GLint bound = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
    gFramebuffer = static_cast<GLuint>(bound);
    gRealUseProgram = __glewUseProgram;
    gRealBindFramebuffer = __glewBindFramebuffer;
    __glewUseProgram = recordUseProgram;
    __glewBindFramebuffer = recordBindFramebuffer;
    show.update(seconds * 1000.0f, kFrameMs);
    show.render(seconds * 1000.0f, kFrameMs);
    __glewUseProgram = gRealUseProgram;
    __glewBindFramebuffer = gRealBindFramebuffer;

    std::vector<Pass> passes;
    for (const Use& use : uses) {
        const std::string pass = passOf(use.program);
        if (!passes.empty() && passes.back().name == pass && passes.back().framebuffer == use.framebuffer)
            ++passes.back().programUses;
        else
            passes.push_back({pass, use.framebuffer, 1});
    }
    return passes;
}

std::string describe(const std::vector<Pass>& passes) {
    std::string text;
    for (const Pass& p : passes)
        text += p.name + "@" + std::to_string(p.framebuffer) + "x" + std::to_string(p.programUses) + " ";
    return text;
}

TEST_F(ShowTest, TheFrameRunsItsPassesInOrder) {
    auto show = openShow(builtContent(), nullptr, kWidth, kHeight);
    ASSERT_TRUE(show);
    play(*show, 0.0f, 0.2f);
    play(*show, 108.0f, 108.4f);  // smoke alive, the dream on screen

    const std::vector<Pass> passes = recordFrame(*show, 108.5f);
    ASSERT_EQ(passes.size(), 7u) << describe(passes);
    const GLuint shadow = passes[0].framebuffer;
    const GLuint scene = passes[1].framebuffer;
    const GLuint glow = passes[4].framebuffer;
    const GLuint blur = passes[5].framebuffer;
    // The shadow depth pass; the scene and then the smoke into the scene
    // target; the bent scene onto the window; the glow sources into the glow
    // target; its blur; the glow's composite and the dream on the window.
    const std::vector<std::string> order{"shadow", "surfaces", "particles", "distortion", "surfaces", "blur", "sprites"};
    for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(passes[i].name, order[i]) << describe(passes);
    EXPECT_EQ(passes[2].framebuffer, scene) << describe(passes);
    EXPECT_EQ(passes[3].framebuffer, 0u) << describe(passes);
    EXPECT_EQ(passes[6].framebuffer, 0u) << describe(passes);
    for (GLuint target : {shadow, scene, glow, blur}) EXPECT_NE(target, 0u) << describe(passes);
    EXPECT_NE(shadow, scene);
    EXPECT_NE(scene, glow);
    EXPECT_NE(glow, blur);
    EXPECT_EQ(passes[5].programUses, 2) << "one horizontal and one vertical blur";
    EXPECT_EQ(passes[6].programUses, 2) << "the glow and the dream";

    // The overlays at the end of the frame: the blackout, its fade, the end
    // picture; before the dream only the glow is added.
    ASSERT_FALSE(recordFrame(*show, 132.0f).empty());
    EXPECT_EQ(recordFrame(*show, 132.1f).back(), (Pass{"sprites", 0, 2})) << "glow and black";
    EXPECT_EQ(recordFrame(*show, 139.0f).back(), (Pass{"sprites", 0, 1})) << "the black has faded out";
    EXPECT_EQ(recordFrame(*show, 257.0f).back(), (Pass{"sprites", 0, 2})) << "glow and end picture";
}

// A greeting hangs in front of the set: in the scene it is drawn after the
// opaque submeshes (drawn before them, it would be painted over by the set
// behind it), and it glows.
TEST_F(ShowTest, AGreetingIsDrawnOverTheOpaqueSetAndIntoTheGlow) {
    auto show = openShow(builtContent(), nullptr, kWidth, kHeight);
    ASSERT_TRUE(show);
    float seconds = 215.0f;
    while (!show->credits()->inWindow() && seconds < 230.0f) {
        show->update(seconds * 1000.0f, kFrameMs);
        seconds += kFrameMs / 1000.0f;
    }
    ASSERT_TRUE(show->credits()->inWindow()) << "no greeting by 230 s";
    const std::vector<Pass> passes = recordFrame(*show, seconds);
    const auto greeting = std::find_if(passes.begin(), passes.end(), [](const Pass& p) { return p.name == "greeting"; });
    ASSERT_NE(greeting, passes.end()) << describe(passes);
    ASSERT_NE(greeting, passes.begin());
    const Pass& before = *(greeting - 1);
    EXPECT_EQ(before.name, "surfaces") << describe(passes);
    EXPECT_EQ(before.framebuffer, greeting->framebuffer) << describe(passes);
    const auto particles = std::find_if(greeting, passes.end(), [](const Pass& p) { return p.name == "particles"; });
    ASSERT_NE(particles, passes.end()) << describe(passes);
    EXPECT_EQ(particles->framebuffer, greeting->framebuffer) << "the greeting is in the scene pass: " << describe(passes);
    const auto glowGreeting =
        std::find_if(particles, passes.end(), [](const Pass& p) { return p.name == "greeting"; });
    EXPECT_NE(glowGreeting, passes.end()) << "and in the glow: " << describe(passes);
}

TEST_F(ShowTest, TheMusicClocksTheTimelineUntilItIsReleasedAt287Seconds) {
    auto music = std::make_shared<ScriptedPlayer::State>();
    auto show = openShow(builtContent(), std::make_unique<ScriptedPlayer>(music), kWidth, kHeight);
    ASSERT_TRUE(show);
    ASSERT_TRUE(music->opened);

    // The first frame starts the music at its loop time and takes the scene
    // clock from it; later frames take the credits' dance clock.
    show->update(2500.0f, kFrameMs);
    ASSERT_EQ(music->playedFrom, std::vector<double>{2.5});
    EXPECT_FLOAT_EQ(show->timelineTime(), 2.5f);
    EXPECT_FLOAT_EQ(show->sceneClock(), 2.5f);
    music->position = 3.0;
    show->update(2600.0f, kFrameMs);
    EXPECT_FLOAT_EQ(show->timelineTime(), 3.0f) << "the music's position, not the loop time";
    EXPECT_FLOAT_EQ(show->sceneClock(), show->credits()->localTime() - kFrameMs / 1000.0f);
    // The authors' click prints the music time of the frame on screen.
    show->onClick();
    EXPECT_EQ(logLinesWith("changeGreetzProp->SetValue(1, 3.0000);").size(), 1u);

    music->position = 286.999;
    show->update(250000.0f, kFrameMs);
    EXPECT_NEAR(show->timelineTime(), 286.999f, 1e-3f);
    EXPECT_EQ(music->releases, 0);
    music->position = 287.0;
    show->update(250100.0f, kFrameMs);
    EXPECT_FLOAT_EQ(show->timelineTime(), 287.0f) << "the releasing frame still uses the music";
    EXPECT_EQ(music->releases, 1);
    show->update(250200.0f, kFrameMs);
    EXPECT_FLOAT_EQ(show->timelineTime(), 250.2f) << "then the loop time";
    EXPECT_EQ(music->playedFrom.size(), 1u);

    // Shutting down twice is harmless, and so is a stray frame afterwards.
    show->shutdown();
    show->shutdown();
    EXPECT_TRUE(show->update(250300.0f, kFrameMs));
    EXPECT_TRUE(show->render(250300.0f, kFrameMs));
}

TEST_F(ShowTest, WithoutTheMusicFileOrAnOutputTheLoopTimeRunsTheShow) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    {
        ShowData data({"music/"});
        auto show = openShow(data.directory(), std::make_unique<AudioMusicPlayer>(), kWidth, kHeight);
        ASSERT_TRUE(show);
        ASSERT_FALSE(show->music()->hasMusic());
        play(*show, 10.0f, 10.1f);
        EXPECT_NEAR(show->timelineTime(), 10.1f, 0.001f);
        const auto errors = logLinesWith("error:");
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_NE(errors[0].find("music/soundtrk.mp3"), std::string::npos) << errors[0];
    }
    // No sound output is no gap in the content: a note, not an error.
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    auto show = openShow(builtContent(), std::make_unique<AudioMusicPlayer>(), kWidth, kHeight);
    ASSERT_TRUE(show);
    ASSERT_FALSE(show->music()->hasMusic());
    play(*show, 20.0f, 20.0f);
    EXPECT_FLOAT_EQ(show->timelineTime(), 20.0f);
    EXPECT_TRUE(logLinesWith("error:").empty());
    EXPECT_EQ(logLinesWith("no music").size(), 1u);
}

TEST_F(ShowTest, TheOverlaysRunOnTheLoopTimeAndTheEndPictureFadesInByTheFramesDeltas) {
    auto music = std::make_shared<ScriptedPlayer::State>();
    auto show = openShow(builtContent(), std::make_unique<ScriptedPlayer>(music), kWidth, kHeight);
    ASSERT_TRUE(show);
    // The music lags far behind: the cameras follow it, the overlays do not.
    play(*show, 0.0f, 0.0f);
    music->position = 0.5;
    play(*show, 255.9f, 257.0f);
    EXPECT_FLOAT_EQ(show->timelineTime(), 0.5f);
    EXPECT_NEAR(show->endFadeAlpha(), 0.5f, 0.02f);
    play(*show, 257.0f, 258.1f);
    EXPECT_FLOAT_EQ(show->endFadeAlpha(), 1.0f);
    expectShowsEndPicture("at 258 s");
}

TEST_F(ShowTest, FullWindowPicturesAndTheGreetingsClampToTheirEdges) {
    auto show = openShow(builtContent(), nullptr, kWidth, kHeight);
    ASSERT_TRUE(show);
    std::vector<std::string> names = {"black", "end"};
    for (int i = 0; i < CreditsDance::kGreetings; ++i) names.push_back("greetz" + std::to_string(i));
    for (int i = 1; i <= 90; ++i) names.push_back("dream" + std::to_string(i));
    for (const std::string& name : names) {
        const Texture* texture = show->content()->findTexture(name);
        ASSERT_NE(texture, nullptr) << name;
        GLint s = 0, t = 0;
        glBindTexture(GL_TEXTURE_2D, texture->name);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &s);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &t);
        EXPECT_EQ(s, GL_CLAMP_TO_EDGE) << name;
        EXPECT_EQ(t, GL_CLAMP_TO_EDGE) << name;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(ShowTest, WithoutCamerasEveryFrameIsStillDrawnAndPresented) {
    ShowData data({"cameras/"});
    auto show = openShow(data.directory(), nullptr, kWidth, kHeight);
    ASSERT_TRUE(show);
    EXPECT_TRUE(show->mainCameras().cameras.empty());
    EXPECT_TRUE(show->mainCameraEndTimes().empty());
    play(*show, 0.0f, 1.0f);
    play(*show, 108.0f, 108.5f);
    play(*show, 256.0f, 258.2f);
    expectShowsEndPicture("at 258.2 s without cameras");
    const auto errors = logLinesWith("error:");
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_NE(errors[0].find("cameras/cameras.cam"), std::string::npos) << errors[0];
    EXPECT_NE(errors[1].find("cameras/cameras_factory.cam"), std::string::npos) << errors[1];
}

// Missing pieces leave their object or pass out; each is named once, at
// load, and the frames go on without a GL error.
TEST_F(ShowTest, MissingContentIsNamedOnceAndItsObjectOrPassIsLeftOut) {
    ShowData data({"models/epapieros.", "animations/doors.", "effects/Sprite.", "effects/DistortParticle.",
                   "effects/Distortion.", "effects/SM_Color.", "textures/black."});
    auto show = openShow(data.directory(), nullptr, kWidth, kHeight);
    ASSERT_TRUE(show);
    const std::vector<std::string> atLoad = logLinesWith("error:");
    for (const char* name : {"\"epapieros\"", "\"doors\"", "Sprite", "DistortParticle", "Distortion", "SM_Color",
                             "\"black\""})
        EXPECT_TRUE(std::any_of(atLoad.begin(), atLoad.end(),
                                [&](const std::string& line) { return line.find(name) != std::string::npos; }))
            << name << " is not named";
    EXPECT_EQ(atLoad.size(), show->loadProblems().size());

    play(*show, 0.0f, 0.5f);
    play(*show, 100.5f, 101.0f);  // the cigarette's jet
    play(*show, 108.0f, 108.5f);  // the dream
    play(*show, 125.0f, 125.5f);  // the flicker
    play(*show, 257.0f, 257.5f);  // the end picture
    EXPECT_EQ(logLinesWith("error:").size(), atLoad.size()) << "nothing is logged per frame";
}

}  // namespace
