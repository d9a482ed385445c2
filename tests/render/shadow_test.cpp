#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "anim/camera.h"
#include "content/material.h"
#include "material_fixture.h"
#include "render/material_programs.h"
#include "render/render_targets.h"
#include "render/shadow_map.h"

namespace {

using namespace murmur::test;

TEST(ShadowCamera, TakesTheViewAndAPerspectiveOfTheFieldOfViewAtThatTime) {
    AnimCamera camera;
    camera.view = lookAt({400, 1000, 0}, {0, 0, 0}, {0, 0, -1});
    camera.fovValue = 0.9f;
    camera.nearValue = 50.0f;
    camera.farValue = 4000.0f;
    sm::Mat4 view, projection;
    updateShadowCamera(camera, 12.0f, 16.0f / 9.0f, view, projection);
    EXPECT_EQ(view, camera.view);
    const sm::Mat4 expected = sm::perspectiveFovX(0.9f, 16.0f / 9.0f, 50.0f, 4000.0f);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(projection.a[i], expected.a[i]) << i;
    // The horizontal field of view spans the width: a point on the edge of
    // the view at the near plane lands on x = 1.
    const float x = std::tan(0.45f) * 50.0f;
    const float clipX = projection.a[0] * x;
    const float clipW = projection.a[11] * -50.0f;
    EXPECT_NEAR(clipX / clipW, 1.0f, 1e-5f);
    const sm::Vec3 p = shadowLightPosition(view);
    EXPECT_NEAR(p.x, 400.0f, 1e-2f);
    EXPECT_NEAR(p.y, 1000.0f, 1e-2f);
    EXPECT_NEAR(p.z, 0.0f, 1e-2f);
}

// A ground of 20 m seen from straight above, a 2 m square 3 m over it, and a
// shadow camera up and to the side, so that the shadow falls off to the
// left of the square (x from -314 to -29 along z = 0), not under it.
class ShadowScene : public GlTest {
protected:
    static constexpr int kView = 64;
    static constexpr int kMap = 128;

    void SetUp() override {
        GlTest::SetUp();
        programs.prepare(effects());
        target = std::make_unique<OffscreenTarget>(kView, kView);
        ASSERT_TRUE(createStartupTargets(kMap, kMap, shadow, quad));
        const sm::Vec3 eye{0, 1500, 0};
        viewProjection = sm::perspectiveFovX(1.0471976f, 1.0f, 10.0f, 5000.0f) * lookAt(eye, {0, 0, 0}, {0, 0, -1});
        programs.uniforms.viewProjection = viewProjection;
        programs.uniforms.eyePosition = eye;
        programs.uniforms.lightPosition = eye;
        shadowCamera.view = lookAt({400, 1000, 0}, {0, 0, 0}, {0, 0, -1});
        shadowCamera.fovValue = 1.0f;
        shadowCamera.nearValue = 100.0f;
        shadowCamera.farValue = 3000.0f;

        Mesh* floor = geometry.addMesh(1, "floor");
        ground = addQuad(*floor, 5, {0, 0, 0}, {0, 1, 0}, {1, 0, 0}, 2000.0f);
        Mesh* board = geometry.addMesh(2, "board");
        caster = addQuad(*board, 0, {0, 300, 0}, {0, 1, 0}, {1, 0, 0}, 200.0f);
        upload(geometry);
        grey = solidTexture(200, 200, 200);
        flat = normalMap({0, 0, 1});
        white = solidTexture(255, 255, 255);
        groundMaterial.diffuseMap = grey.get();
        groundMaterial.bumpMap = flat.get();
        groundMaterial.specularLevel = 0.0f;
        ground->material = &groundMaterial;
    }
    void TearDown() override {
        resetDrawState();
        GlTest::TearDown();
    }

    // Shadow pass over the casters, then the ground with the shadow-aware
    // binder; returns the picture.
    std::vector<Rgba> render(const std::vector<SubMesh*>& casters, const char* name = nullptr) {
        sm::Mat4 view, projection;
        updateShadowCamera(shadowCamera, 0.0f, 1.0f, view, projection);
        programs.renderShadowMap(casters, shadow, view, projection);
        target->begin(0.1f, 0.2f, 0.3f);
        programs.drawSubmeshesShadowed({ground}, *shadow.depth);
        if (name) target->save(name);
        return readPixels(0, 0, kView, kView);
    }
    Rgba at(const std::vector<Rgba>& picture, sm::Vec3 p) const {
        const Pixel px = pixelOf(viewProjection, p, kView, kView);
        return picture[static_cast<std::size_t>(px.y * kView + px.x)];
    }

    MaterialPrograms programs;
    std::unique_ptr<OffscreenTarget> target;
    ShadowTarget shadow;
    ScreenQuad quad;
    AnimCamera shadowCamera;
    sm::Mat4 viewProjection;
    Geometry geometry;
    SubMesh* ground = nullptr;
    SubMesh* caster = nullptr;
    Material groundMaterial;
    std::unique_ptr<Texture> grey, flat, white;
};

const sm::Vec3 kInShadow{-171, 0, 0};
const sm::Vec3 kUnderTheSquare{50, 0, 0};
const sm::Vec3 kBeside{250, 0, 0};

TEST_F(ShadowScene, ACasterDarkensTheGroundBehindItAndNothingElse) {
    const std::vector<Rgba> unshadowed = render({});
    // The ground casts too, as the set does in the show: with both bias
    // values at 0 it must not shadow itself.
    const std::vector<Rgba> shadowed = render({ground, caster}, "shadow-ground");
    EXPECT_LT(brightness(at(shadowed, kInShadow)), brightness(at(unshadowed, kInShadow)) * 6 / 10);
    EXPECT_GT(brightness(at(shadowed, kInShadow)), 0);
    // Everywhere clear of the shadow's outline the ground looks as without
    // any caster.
    int compared = 0;
    for (float x = -800; x <= 800; x += 50) {
        for (float z = -800; z <= 800; z += 50) {
            const bool nearShadow = x > -314 - 80 && x < -29 + 80 && std::abs(z) < 143 + 80;
            if (nearShadow) continue;
            ++compared;
            EXPECT_NEAR(brightness(at(shadowed, {x, 0, z})), brightness(at(unshadowed, {x, 0, z})), 6)
                << "at " << x << ", " << z;
        }
    }
    EXPECT_GT(compared, 800);
    EXPECT_NEAR(brightness(at(shadowed, kUnderTheSquare)), brightness(at(unshadowed, kUnderTheSquare)), 6);
}

TEST_F(ShadowScene, HiddenCastersCastNothingAndTransparentOnesCastInFull) {
    const std::vector<Rgba> opaque = render({ground, caster});
    caster->hidden = true;
    const std::vector<Rgba> hidden = render({ground, caster});
    caster->hidden = false;
    caster->enabled = false;
    const std::vector<Rgba> disabled = render({ground, caster});
    caster->enabled = true;
    const std::vector<Rgba> none = render({ground});
    Material glass;
    glass.opacity = 0.5f;
    caster->material = &glass;
    const std::vector<Rgba> transparent = render({ground, caster});
    caster->material = nullptr;
    EXPECT_EQ(at(hidden, kInShadow), at(none, kInShadow));
    EXPECT_EQ(at(disabled, kInShadow), at(none, kInShadow));
    EXPECT_LT(brightness(at(opaque, kInShadow)), brightness(at(none, kInShadow)));
    EXPECT_EQ(at(transparent, kInShadow), at(opaque, kInShadow));
}

TEST_F(ShadowScene, LightMappedGroundReceivesAndDiffuseOnlyGroundNever) {
    const auto lightMap = solidTexture(255, 255, 255);
    ground->lightMap = lightMap.get();
    const std::vector<Rgba> mappedLit = render({});
    const std::vector<Rgba> mappedShadowed = render({caster});
    EXPECT_LT(brightness(at(mappedShadowed, kInShadow)), brightness(at(mappedLit, kInShadow)) * 6 / 10);
    EXPECT_EQ(at(mappedShadowed, kBeside), at(mappedLit, kBeside));
    ground->lightMap = nullptr;

    groundMaterial.bumpMap = nullptr;  // "Diff": no shadow reception
    const std::vector<Rgba> plain = render({});
    const std::vector<Rgba> plainUnderCaster = render({caster});
    EXPECT_EQ(at(plainUnderCaster, kInShadow), at(plain, kInShadow));
    EXPECT_GT(brightness(at(plain, kInShadow)), 0);
}

TEST_F(ShadowScene, BiasScaleShiftsTheComparisonUpToTheClamp) {
    const int lit = brightness(at(render({}), kInShadow));
    const int dark = brightness(at(render({caster}), kInShadow));
    // A large scale with no room under the clamp changes nothing...
    programs.uniforms.biasScale = 1.0f;
    programs.uniforms.biasClamp = 0.0f;
    EXPECT_EQ(brightness(at(render({caster}), kInShadow)), dark);
    // ...and with room it pulls the receiver in front of the caster.
    programs.uniforms.biasClamp = 0.5f;
    EXPECT_EQ(brightness(at(render({caster}), kInShadow)), lit);
}

TEST_F(ShadowScene, TheDepthPassLeavesTheDefaultTargetBoundAndColourWritesOff) {
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glEnable(GL_BLEND);
    sm::Mat4 view, projection;
    updateShadowCamera(shadowCamera, 0.0f, 1.0f, view, projection);
    programs.renderShadowMap({ground, caster}, shadow, view, projection);
    GLint bound = -1, face = 0, viewport[4] = {};
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    glGetIntegerv(GL_CULL_FACE_MODE, &face);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLboolean colour[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
    glGetBooleanv(GL_COLOR_WRITEMASK, colour);
    EXPECT_EQ(bound, 0);
    EXPECT_EQ(face, GL_BACK);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(colour[0] || colour[1] || colour[2] || colour[3]);
    EXPECT_EQ(viewport[2], kMap);
    EXPECT_EQ(viewport[3], kMap);
    EXPECT_EQ(programs.uniforms.lightView, view);
    EXPECT_EQ(programs.uniforms.lightProjection, projection);
    EXPECT_NEAR(programs.uniforms.shadowLightPosition.x, 400.0f, 0.05f);
    EXPECT_NEAR(programs.uniforms.shadowLightPosition.y, 1000.0f, 0.05f);
    // The caster's depth is in the map, nearer than the ground around it.
    std::vector<float> depth(static_cast<std::size_t>(kMap * kMap));
    glBindTexture(GL_TEXTURE_2D, shadow.depth->name);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    const sm::Mat4 lightViewProjection = projection * view;
    const Pixel onBoard = pixelOf(lightViewProjection, {0, 300, 0}, kMap, kMap);
    const Pixel onGround = pixelOf(lightViewProjection, {400, 0, 300}, kMap, kMap);
    EXPECT_LT(depth[static_cast<std::size_t>(onBoard.y * kMap + onBoard.x)],
              depth[static_cast<std::size_t>(onGround.y * kMap + onGround.x)]);
}

// The shadow filter's nine taps lie one texel of the map apart, whatever the
// map's size. A receiver square fills a 256 x 256 target; the light's
// matrices map it onto the whole shadow map, whose texels hold an occluder
// (depth 0) on one side of an edge through the middle and nothing (depth 1)
// on the other. Along a line across the edge the shadow fades over two map
// texels: 8 pixels for a map 64 texels across, 2 for one of 256.
class ShadowFilter : public GlTest {
protected:
    static constexpr int kView = 256;

    void SetUp() override {
        GlTest::SetUp();
        programs.prepare(effects());
        target = std::make_unique<OffscreenTarget>(kView, kView);
        const sm::Mat4 pixels = pixelOrthoMatrix(kView, kView);
        // The light far above lights the square evenly; the shadow camera
        // stands close over its middle.
        const sm::Vec3 far{kView / 2.0f, kView / 2.0f, 1.0e5f};
        programs.uniforms.viewProjection = pixels;
        programs.uniforms.eyePosition = far;
        programs.uniforms.lightPosition = far;
        programs.uniforms.lightView = sm::identityMatrix();
        programs.uniforms.lightProjection = pixels;
        programs.uniforms.shadowLightPosition = {kView / 2.0f, kView / 2.0f, 90.0f};
        Mesh* mesh = geometry.addMesh(1, "receiver");
        receiver = addQuad(*mesh, 5, {kView / 2.0f, kView / 2.0f, 0}, {0, 0, 1}, {1, 0, 0}, kView);
        upload(geometry);
        grey = solidTexture(200, 200, 200);
        flat = normalMap({0, 0, 1});
        material.diffuseMap = grey.get();
        material.bumpMap = flat.get();
        material.specularLevel = 0.0f;
        receiver->material = &material;
    }
    void TearDown() override {
        resetDrawState();
        GlTest::TearDown();
    }

    // How many pixels of the middle row (or column) lie in part shadow.
    int fadingPixels(int mapWidth, int mapHeight, bool edgeAcrossX) {
        const auto map = createDepthTexture(mapWidth, mapHeight);
        std::vector<float> depth(static_cast<std::size_t>(mapWidth * mapHeight));
        for (int y = 0; y < mapHeight; ++y)
            for (int x = 0; x < mapWidth; ++x)
                depth[static_cast<std::size_t>(y * mapWidth + x)] =
                    (edgeAcrossX ? x < mapWidth / 2 : y < mapHeight / 2) ? 0.0f : 1.0f;
        glBindTexture(GL_TEXTURE_2D, map->name);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, mapWidth, mapHeight, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        target->begin();
        programs.drawSubmeshesShadowed({receiver}, *map);
        const std::vector<Rgba> line =
            edgeAcrossX ? readPixels(0, kView / 2, kView, 1) : readPixels(kView / 2, 0, 1, kView);
        const int dark = brightness(line.front());
        const int lit = brightness(line.back());
        EXPECT_LT(dark, lit * 6 / 10) << mapWidth << " x " << mapHeight;
        int fading = 0;
        for (const Rgba& p : line) {
            const int b = brightness(p);
            if (b > dark + 3 && b < lit - 3) ++fading;
        }
        return fading;
    }

    MaterialPrograms programs;
    std::unique_ptr<OffscreenTarget> target;
    Geometry geometry;
    SubMesh* receiver = nullptr;
    Material material;
    std::unique_ptr<Texture> grey, flat;
};

TEST_F(ShadowFilter, TapsLieOneTexelOfTheMapApart) {
    const int coarse = fadingPixels(64, 64, true);
    const int fine = fadingPixels(256, 256, true);
    EXPECT_GE(coarse, 7);
    EXPECT_LE(coarse, 9);
    EXPECT_GE(fine, 1);
    EXPECT_LE(fine, 3);
    // Across and up the map each take their own texel.
    const int tallAcross = fadingPixels(64, 256, true);
    const int tallUp = fadingPixels(64, 256, false);
    EXPECT_EQ(tallAcross, coarse);
    EXPECT_EQ(tallUp, fine);
}

}  // namespace
