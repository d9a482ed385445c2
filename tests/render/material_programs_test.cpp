#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "content/content_loader.h"
#include "content/material.h"
#include "content/shader_program.h"
#include "material_fixture.h"
#include "render/material_programs.h"
#include "render/render_targets.h"

namespace {

namespace fs = std::filesystem;
using namespace murmur::test;

TEST(EffectPrograms, EveryPairCompilesLinksAndValidatesUnderAnOldGlslVersion) {
    ASSERT_TRUE(HeadlessGl::ensure()) << HeadlessGl::failure();
    // Every pair of the effects folder, the pass programs' included.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(effectsDirectory()))
        if (entry.path().extension() == ".vpr") names.push_back(entry.path().stem().string());
    EXPECT_GE(names.size(), 16u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        for (const char* ext : {".vpr", ".fpr"}) {
            std::ifstream in(effectsDirectory() + name + ext);
            std::string first;
            std::getline(in, first);
            EXPECT_TRUE(first == "#version 110" || first == "#version 120") << ext << ": " << first;
        }
        const auto program = createProgram(effectsDirectory() + name + ".vpr", effectsDirectory() + name + ".fpr");
        ASSERT_NE(program, nullptr);
        EXPECT_TRUE(isLinked(program->program));
        EXPECT_TRUE(validateProgram(program->program));
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The names every program must read, and where each attribute must land once
// the family is prepared.
TEST(EffectPrograms, PreparedProgramsHaveTheirAttributesInTheFixedSlotsAndReadEveryUniform) {
    ASSERT_TRUE(HeadlessGl::ensure()) << HeadlessGl::failure();
    MaterialPrograms programs;
    programs.prepare(effects());
    const std::vector<const char*> lit = {"u_viewProjMatrix", "u_worldMatrix", "u_lightPosition", "u_eyePosition",
                                          "u_specularColor",  "u_glossiness",  "u_specularLevel"};
    auto textured = [&](std::vector<const char*> extra) {
        std::vector<const char*> all = lit;
        all.insert(all.end(), {"u_diffTex", "u_opacity"});
        all.insert(all.end(), extra.begin(), extra.end());
        return all;
    };
    const std::vector<const char*> shadow = {"u_lightViewProj", "u_biasScale", "u_biasClamp",
                                             "u_shadowLightPosition", "u_shadowMap"};
    auto with = [](std::vector<const char*> a, const std::vector<const char*>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    struct Expect {
        MaterialProgram which;
        std::vector<const char*> attributes;  // in slot order from 0, null where unused
        std::vector<const char*> uniforms;
    };
    const char* P = "a_position";
    const char* D = "a_coordsDiff";
    const char* L = "a_coordsLightmap";
    const char* N = "a_normal";
    const char* T = "a_tangent";
    const std::vector<Expect> table = {
        {MaterialProgram::Black, {P}, {"u_mvp", "u_opacity"}},
        {MaterialProgram::Color, {P, nullptr, nullptr, N}, with(lit, {"u_diffuseColor"})},
        {MaterialProgram::Diff, {P, D, nullptr, N}, textured({})},
        {MaterialProgram::DiffNorm, {P, D, nullptr, N, T}, textured({"u_normalTex"})},
        {MaterialProgram::DiffLightMap, {P, D, L, N}, textured({"u_lightmapTex"})},
        {MaterialProgram::DiffNormLightmap, {P, D, L, N, T}, textured({"u_normalTex", "u_lightmapTex"})},
        {MaterialProgram::ShadowMap, {P}, {"u_mvp"}},
        {MaterialProgram::SmColor, {P, nullptr, nullptr, N}, with(with(lit, {"u_diffuseColor"}), shadow)},
        {MaterialProgram::SmDiffNorm, {P, D, nullptr, N, T}, with(textured({"u_normalTex"}), shadow)},
        {MaterialProgram::SmDiffNormLightmap, {P, D, L, N, T},
         with(textured({"u_normalTex", "u_lightmapTex"}), shadow)},
    };
    for (const Expect& e : table) {
        SCOPED_TRACE(materialProgramName(e.which));
        const ShaderProgram* p = programs.program(e.which);
        ASSERT_NE(p, nullptr);
        GLint count = 0;
        glGetProgramiv(p->program, GL_ACTIVE_ATTRIBUTES, &count);
        int expected = 0;
        for (std::size_t slot = 0; slot < e.attributes.size(); ++slot) {
            if (!e.attributes[slot]) continue;
            ++expected;
            EXPECT_EQ(glGetAttribLocation(p->program, e.attributes[slot]), static_cast<GLint>(slot))
                << e.attributes[slot];
        }
        EXPECT_EQ(count, expected) << "the program reads exactly its attributes";
        for (const char* u : e.uniforms) EXPECT_NE(p->uniformLocation(u), -1) << u;
    }
}

TEST(ProgramChoice, FollowsTheTableAndLeavesTheOtherCombinationsUndrawn) {
    Texture diffuse, bump, opacity, light;
    struct Row {
        bool d, n, l, o;
        MaterialProgram plain, shadowed;
    };
    const auto none = MaterialProgram::None;
    const Row rows[] = {
        {false, false, false, false, MaterialProgram::Color, MaterialProgram::Color},
        {true, false, false, false, MaterialProgram::Diff, MaterialProgram::Diff},
        {true, false, true, false, MaterialProgram::DiffLightMap, MaterialProgram::DiffLightMap},
        {true, true, false, false, MaterialProgram::DiffNorm, MaterialProgram::SmDiffNorm},
        {true, true, true, false, MaterialProgram::DiffNormLightmap, MaterialProgram::SmDiffNormLightmap},
    };
    for (int bits = 0; bits < 16; ++bits) {
        const bool d = bits & 1, n = bits & 2, l = bits & 4, o = bits & 8;
        Material m;
        m.diffuseMap = d ? &diffuse : nullptr;
        m.bumpMap = n ? &bump : nullptr;
        m.opacityMap = o ? &opacity : nullptr;
        SubMesh s;
        s.lightMap = l ? &light : nullptr;
        MaterialProgram plain = none, shadowed = none;
        for (const Row& r : rows) {
            if (r.d == d && r.n == n && r.l == l && r.o == o) plain = r.plain, shadowed = r.shadowed;
        }
        SCOPED_TRACE(testing::Message() << "D " << d << " N " << n << " L " << l << " O " << o);
        EXPECT_EQ(chooseMaterialProgram(m, s, false), plain);
        EXPECT_EQ(chooseMaterialProgram(m, s, true), shadowed);
    }
}

// One square facing the camera, lit by a light at the eye, drawn into a
// small target.
class MaterialDraw : public GlTest {
protected:
    static constexpr int kSize = 32;

    void SetUp() override {
        GlTest::SetUp();
        target = std::make_unique<OffscreenTarget>(kSize, kSize);
        programs.prepare(effects());
        setCamera({0, 0, 5});
        white = solidTexture(255, 255, 255);
        grey = solidTexture(160, 160, 160);
        flat = normalMap({0, 0, 1});
        // A cleared shadow map: nothing is in shadow.
        createStartupTargets(8, 8, shadowTarget, screenQuad);
        shadowTarget.frameBuffer.bind();
        glClear(GL_DEPTH_BUFFER_BIT);
        FrameBuffer::unbind();
        shadowMap = shadowTarget.depth.get();
    }
    void TearDown() override {
        resetDrawState();
        GlTest::TearDown();
    }

    void setCamera(sm::Vec3 eye) {
        projection = sm::perspectiveFovX(1.0471976f, 1.0f, 0.1f, 100.0f);
        programs.uniforms.viewProjection = projection * lookAt(eye, {0, 0, 0}, {0, 1, 0});
        programs.uniforms.eyePosition = eye;
        programs.uniforms.lightPosition = eye;
    }

    // A material of the kind given, with the fixture's textures.
    Material material(MaterialProgram kind, float opacity = 1.0f) {
        Material m;
        m.opacity = opacity;
        m.specularLevel = 0.0f;  // diffuse only unless a test asks
        if (kind != MaterialProgram::Color && kind != MaterialProgram::SmColor) m.diffuseMap = grey.get();
        if (kind == MaterialProgram::DiffNorm || kind == MaterialProgram::DiffNormLightmap) m.bumpMap = flat.get();
        return m;
    }
    static bool usesLightMap(MaterialProgram kind) {
        return kind == MaterialProgram::DiffLightMap || kind == MaterialProgram::DiffNormLightmap;
    }

    SubMesh* quad(int format = 5, sm::Vec3 centre = {0, 0, 0}, float size = 2.0f) {
        if (!mesh) mesh = geometry.addMesh(1, "panel");
        return addQuad(*mesh, format, centre, {0, 0, 1}, {1, 0, 0}, size);
    }

    // The centre pixel after drawing the list into a cleared target.
    Rgba drawCentre(const std::vector<SubMesh*>& list, bool shadowed = false, float clear = 0.0f) {
        target->begin(clear, clear, clear);
        if (shadowed) {
            programs.drawSubmeshesShadowed(list, *shadowMap);
        } else {
            programs.drawSubmeshes(list);
        }
        return target->pixel(kSize / 2, kSize / 2);
    }

    MaterialPrograms programs;
    sm::Mat4 projection;
    Geometry geometry;
    Mesh* mesh = nullptr;
    std::unique_ptr<OffscreenTarget> target;
    std::unique_ptr<Texture> white, grey, flat;
    ShadowTarget shadowTarget;
    ScreenQuad screenQuad;
    const DepthTexture* shadowMap = nullptr;
};

TEST_F(MaterialDraw, EveryLitProgramIsBrighterFacingTheLightThanTurnedAway) {
    SubMesh* s = quad();
    upload(geometry);
    struct Case {
        MaterialProgram kind;
        bool shadowed;
    };
    const Case cases[] = {{MaterialProgram::Color, false},        {MaterialProgram::Diff, false},
                          {MaterialProgram::DiffNorm, false},     {MaterialProgram::DiffLightMap, false},
                          {MaterialProgram::DiffNormLightmap, false}, {MaterialProgram::DiffNorm, true},
                          {MaterialProgram::DiffNormLightmap, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << materialProgramName(c.kind) << (c.shadowed ? " shadowed" : ""));
        Material m = material(c.kind);
        s->material = &m;
        s->lightMap = usesLightMap(c.kind) ? white.get() : nullptr;
        mesh->renderMatrixValue = sm::identityMatrix();
        const Rgba facing = drawCentre({s}, c.shadowed);
        mesh->renderMatrixValue = sm::rotationAxisAngle({0, 1, 0}, 1.2f);  // about 69 degrees
        const Rgba turned = drawCentre({s}, c.shadowed);
        target->save(std::string("lit-") + materialProgramName(c.kind));
        EXPECT_GT(brightness(facing), brightness(turned) + 60)
            << int(facing.r) << " against " << int(turned.r);
        EXPECT_GT(brightness(turned), 0) << "turned away is dimmer, not gone";
    }
    s->material = nullptr;
}

// The eyes close by flattening: a mesh scaled unevenly must light like the
// surface it becomes. A square slanted 45 degrees about y, stretched four
// times along x, becomes a plane 14 degrees off the view; drawn through the
// world matrix it must match that plane built in place (normal and tangent
// as the stretched surface has them), with a normal map tilted towards a
// tangent that runs across the stretch.
TEST_F(MaterialDraw, AnUnevenlyScaledMeshLightsLikeTheShapeItTakes) {
    SubMesh* scaled = addQuad(*geometry.addMesh(1, "stretched"), 5, {0, 0, 0}, sm::Vec3{-1, 0, 1} * 0.70710678f,
                              sm::Vec3{1, 1, 1} * 0.57735027f, 1.0f);
    SubMesh* built = addQuad(*geometry.addMesh(2, "in place"), 5, {0, 0, 0}, sm::Vec3{-1, 0, 4} * 0.24253563f,
                             sm::Vec3{4, 1, 1} * 0.23570226f, 3.0f);
    upload(geometry);
    scaled->mesh->renderMatrixValue = sm::scaling({4, 1, 1});
    const auto tilted = normalMap({0.6f, 0.0f, 0.8f});
    struct Case {
        MaterialProgram kind;
        bool shadowed;
    };
    const Case cases[] = {{MaterialProgram::Color, false},
                          {MaterialProgram::Diff, false},
                          {MaterialProgram::DiffNorm, false},
                          {MaterialProgram::DiffNorm, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << materialProgramName(c.kind) << (c.shadowed ? " shadowed" : ""));
        Material m = material(c.kind);
        if (m.bumpMap) m.bumpMap = tilted.get();
        scaled->material = built->material = &m;
        const Rgba stretched = drawCentre({scaled}, c.shadowed);
        const Rgba inPlace = drawCentre({built}, c.shadowed);
        EXPECT_GT(brightness(inPlace), 150);
        EXPECT_NEAR(stretched.r, inPlace.r, 2);
        EXPECT_NEAR(stretched.g, inPlace.g, 2);
        EXPECT_NEAR(stretched.b, inPlace.b, 2);
    }
    scaled->material = built->material = nullptr;
}

TEST_F(MaterialDraw, TheHighlightFollowsGlossinessAndSpecularLevel) {
    SubMesh* s = quad(2);
    upload(geometry);
    Material m = material(MaterialProgram::Diff);
    s->material = &m;
    m.specularColor[0] = 0.0f, m.specularColor[1] = 0.0f, m.specularColor[2] = 1.0f;  // blue highlight
    m.diffuseMap = solidTexture(100, 100, 0).release();
    const Rgba matte = drawCentre({s});
    m.specularLevel = 1.0f;
    const Rgba shiny = drawCentre({s});
    EXPECT_EQ(matte.b, 0);
    EXPECT_GT(shiny.b, 200) << "the highlight sits where the half vector meets the normal";
    EXPECT_EQ(shiny.r, matte.r);
    // Off-centre a high exponent confines the highlight, a low one spreads it.
    m.glossiness = 2.0f;  // exponent 512
    drawCentre({s});
    const Rgba tight = target->pixel(kSize / 2 + 4, kSize / 2);
    m.glossiness = 0.02f;  // exponent 5
    drawCentre({s});
    const Rgba broad = target->pixel(kSize / 2 + 4, kSize / 2);
    EXPECT_GT(broad.b, tight.b + 40);
    s->material = nullptr;
    delete m.diffuseMap;
}

TEST_F(MaterialDraw, NormalMapsTurnTheSurfaceAlongTangentAndBitangent) {
    SubMesh* s = quad(4);
    upload(geometry);
    // Light off to the right (+x, the tangent) and above (+y, normal x tangent).
    programs.uniforms.lightPosition = {4, 0, 1};
    auto lit = [&](sm::Vec3 n) {
        auto map = normalMap(n);
        Material m = material(MaterialProgram::DiffNorm);
        m.bumpMap = map.get();
        s->material = &m;
        const int b = brightness(drawCentre({s}));
        s->material = nullptr;
        return b;
    };
    EXPECT_GT(lit({0.6f, 0, 0.8f}), lit({-0.6f, 0, 0.8f}) + 60);
    programs.uniforms.lightPosition = {0, 4, 1};
    EXPECT_GT(lit({0, 0.6f, 0.8f}), lit({0, -0.6f, 0.8f}) + 60);
}

TEST_F(MaterialDraw, TheLightMapMultipliesTheLitDiffuse) {
    SubMesh* s = quad(5);
    upload(geometry);
    // Dark on the left half of the light map, full on the right.
    const auto map = rgbTexture(2, 1, {40, 40, 40, 255, 255, 255});
    for (MaterialProgram kind : {MaterialProgram::DiffLightMap, MaterialProgram::DiffNormLightmap}) {
        SCOPED_TRACE(materialProgramName(kind));
        Material m = material(kind);
        s->material = &m;
        s->lightMap = map.get();
        drawCentre({s});
        const int dark = brightness(target->pixel(kSize / 2 - 3, kSize / 2));
        const int bright = brightness(target->pixel(kSize / 2 + 3, kSize / 2));
        EXPECT_GT(dark, 0);
        EXPECT_NEAR(static_cast<double>(dark) / bright, 40.0 / 255.0, 0.05);
    }
    s->material = nullptr;
    s->lightMap = nullptr;
}

TEST_F(MaterialDraw, OpacityDecidesBlendingDepthWritesAndCulling) {
    SubMesh* s = quad(5);
    upload(geometry);
    auto enabled = [](GLenum cap) { return glIsEnabled(cap) == GL_TRUE; };
    auto depthWrites = [] {
        GLboolean mask = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
        return mask == GL_TRUE;
    };
    Material m = material(MaterialProgram::Color);
    for (float opacity : {0.999f, 0.5f}) {
        m.opacity = opacity;
        glDisable(GL_CULL_FACE);
        EXPECT_TRUE(programs.bindMaterial(m, *s, sm::identityMatrix()));
        EXPECT_TRUE(enabled(GL_BLEND));
        EXPECT_TRUE(enabled(GL_CULL_FACE));
        EXPECT_TRUE(enabled(GL_DEPTH_TEST));
        EXPECT_FALSE(depthWrites());
        GLint src = 0, dst = 0, face = 0;
        glGetIntegerv(GL_BLEND_SRC, &src);
        glGetIntegerv(GL_BLEND_DST, &dst);
        glGetIntegerv(GL_CULL_FACE_MODE, &face);
        EXPECT_EQ(src, GL_SRC_ALPHA);
        EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
        EXPECT_EQ(face, GL_BACK);
    }
    // Opacity exactly 1.0 is opaque; culling stays as the transparent one
    // left it, and is not switched on by an opaque one.
    m.opacity = 1.0f;
    EXPECT_TRUE(programs.bindMaterial(m, *s, sm::identityMatrix()));
    EXPECT_FALSE(enabled(GL_BLEND));
    EXPECT_TRUE(enabled(GL_DEPTH_TEST));
    EXPECT_TRUE(depthWrites());
    EXPECT_TRUE(enabled(GL_CULL_FACE));
    glDisable(GL_CULL_FACE);
    EXPECT_TRUE(programs.bindMaterial(m, *s, sm::identityMatrix()));
    EXPECT_FALSE(enabled(GL_CULL_FACE));
    // The shadow-aware binder culls and writes colour whatever the opacity.
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    EXPECT_TRUE(programs.bindMaterialShadowed(m, *s, sm::identityMatrix(), *shadowMap));
    EXPECT_TRUE(enabled(GL_CULL_FACE));
    EXPECT_TRUE(depthWrites());
    GLboolean colour[4] = {};
    glGetBooleanv(GL_COLOR_WRITEMASK, colour);
    EXPECT_TRUE(colour[0] && colour[1] && colour[2] && colour[3]);
    // A half-transparent grey square over white lets half the white through.
    m.opacity = 0.5f;
    const Rgba blended = drawCentre({s}, false, 1.0f);
    m.opacity = 1.0f;
    const Rgba solid = drawCentre({s}, false, 1.0f);
    EXPECT_NEAR(blended.r, (solid.r + 255) / 2, 3);
}

TEST_F(MaterialDraw, UndrawnRowsDrawNothingButStillOccludeInBlack) {
    SubMesh* s = quad(5);
    upload(geometry);
    std::vector<Material> undrawn(3, material(MaterialProgram::Diff));
    undrawn[0].opacityMap = white.get();  // diffuse and opacity textures
    undrawn[1].diffuseMap = nullptr;      // normal map without diffuse
    undrawn[1].bumpMap = flat.get();
    undrawn[2].diffuseMap = nullptr;  // light map without diffuse
    for (std::size_t i = 0; i < undrawn.size(); ++i) {
        SCOPED_TRACE(i);
        s->material = &undrawn[i];
        s->lightMap = i == 2 ? white.get() : nullptr;
        EXPECT_EQ(drawCentre({s}, false, 1.0f), (Rgba{255, 255, 255, 255}));
        EXPECT_EQ(drawCentre({s}, true, 1.0f), (Rgba{255, 255, 255, 255}));
        target->begin(1, 1, 1);
        programs.drawSubmeshesBlack({s});
        EXPECT_EQ(target->pixel(kSize / 2, kSize / 2), (Rgba{0, 0, 0, 255}));
    }
    s->material = nullptr;
    s->lightMap = nullptr;
}

TEST_F(MaterialDraw, BlackCoversByOpacityAndWritesFullAlphaForOpaqueOccluders) {
    SubMesh* s = quad(5);
    upload(geometry);
    Material glass = material(MaterialProgram::Diff, 0.25f);
    Material solid = material(MaterialProgram::Diff, 1.0f);
    s->material = &glass;
    target->begin(1, 1, 1);
    programs.drawSubmeshesBlack({s});
    EXPECT_NEAR(target->pixel(kSize / 2, kSize / 2).r, 191, 2);
    s->material = &solid;
    target->begin(1, 1, 1);
    glClearColor(1, 1, 1, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    programs.drawSubmeshesBlack({s});
    EXPECT_EQ(target->pixel(kSize / 2, kSize / 2), (Rgba{0, 0, 0, 255}));
    s->material = nullptr;
    target->begin(1, 1, 1);
    programs.drawSubmeshesBlack({s});
    EXPECT_EQ(target->pixel(kSize / 2, kSize / 2).r, 0);
    EXPECT_EQ(s->material, nullptr) << "the black pass makes no default material";
}

TEST_F(MaterialDraw, ASubmeshWithoutMaterialGetsADefaultOnItsFirstDrawAndKeepsIt) {
    SubMesh* s = quad(1);
    upload(geometry);
    const Rgba first = drawCentre({s});
    ASSERT_NE(s->material, nullptr);
    Material* given = s->material;
    EXPECT_EQ(given->opacity, 1.0f);
    EXPECT_TRUE(given->name.empty());
    // The default grey (0.6) lit head-on, under a white highlight.
    EXPECT_GE(first.r, 150);
    EXPECT_EQ(first.r, first.g);
    EXPECT_EQ(first.g, first.b);
    drawCentre({s}, true);
    EXPECT_EQ(s->material, given);
}

TEST_F(MaterialDraw, HiddenDisabledAndUnfitSubmeshesAreSkippedWithoutHarm) {
    Material m = material(MaterialProgram::Diff);
    SubMesh* hidden = quad(2);
    SubMesh* disabled = quad(2);
    SubMesh* noCoordinates = quad(1);  // Diff needs texture coordinates
    for (SubMesh* s : {hidden, disabled, noCoordinates}) s->material = &m;
    hidden->hidden = true;
    disabled->enabled = false;
    upload(geometry);
    SubMesh notUploaded;  // no buffer, no mesh
    notUploaded.setVertices(2, std::vector<float>(8 * 6, 0.0f));
    notUploaded.material = &m;
    const std::vector<SubMesh*> list{hidden, disabled, noCoordinates, &notUploaded, nullptr};
    EXPECT_EQ(drawCentre(list, false, 1.0f), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(drawCentre(list, true, 1.0f), (Rgba{255, 255, 255, 255}));
    target->begin(1, 1, 1);
    programs.drawSubmeshesBlack({hidden, disabled, &notUploaded, nullptr});
    EXPECT_EQ(target->pixel(kSize / 2, kSize / 2), (Rgba{255, 255, 255, 255}));
    for (SubMesh* s : {hidden, disabled, noCoordinates}) s->material = nullptr;
}

// Effects folder copies with one program left out or broken.
class PartialEffects : public MaterialDraw {
protected:
    void SetUp() override {
        MaterialDraw::SetUp();
        dir_ = fs::temp_directory_path() / ("murmur-effects-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        for (const auto& entry : fs::directory_iterator(effectsDirectory())) {
            fs::copy_file(entry.path(), dir_ / entry.path().filename());
        }
    }
    void TearDown() override {
        fs::remove_all(dir_);
        MaterialDraw::TearDown();
    }
    fs::path dir_;
    ContentLoader loader_;
};

TEST_F(PartialEffects, AMissingOrUnlinkableProgramDrawsNothingWhereItWouldBeChosen) {
    fs::remove(dir_ / "Diff.vpr");
    // Compiles, but reads a varying the vertex stage never writes: no link.
    std::ofstream(dir_ / "Color.fpr") << "#version 110\nvarying vec3 v_missing;\n"
                                         "void main() { gl_FragColor = vec4(v_missing, 1.0); }\n";
    ContentManager content(&loader_);
    content.loadPrograms(dir_.string());
    ASSERT_NE(content.findProgram("Color"), nullptr);
    MaterialPrograms partial;
    partial.prepare(content);
    partial.uniforms = programs.uniforms;
    EXPECT_EQ(partial.program(MaterialProgram::Diff), nullptr);
    EXPECT_EQ(partial.program(MaterialProgram::Color), nullptr);
    EXPECT_NE(partial.program(MaterialProgram::DiffNorm), nullptr);

    SubMesh* left = quad(5, {-0.6f, 0, 0}, 1.0f);
    SubMesh* right = quad(5, {0.6f, 0, 0}, 1.0f);
    SubMesh* middle = quad(5, {0, 0, 0}, 0.2f);
    upload(geometry);
    Material normalMapped = material(MaterialProgram::DiffNorm);
    Material diff = material(MaterialProgram::Diff);
    Material colour = material(MaterialProgram::Color);
    left->material = &normalMapped;
    right->material = &colour;
    middle->material = &diff;
    target->begin(1, 0, 0);
    // The normal-mapped square makes its program current first; the Color
    // square after it must not be drawn with that program.
    partial.drawSubmeshes({left, right, middle});
    const Pixel l = pixelOf(programs.uniforms.viewProjection, {-0.6f, 0, 0}, kSize, kSize);
    const Pixel r = pixelOf(programs.uniforms.viewProjection, {0.6f, 0, 0}, kSize, kSize);
    EXPECT_NE(target->pixel(l.x, l.y), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(target->pixel(r.x, r.y), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(target->pixel(kSize / 2, kSize / 2), (Rgba{255, 0, 0, 255}));
    for (SubMesh* s : {left, right, middle}) s->material = nullptr;
}

TEST_F(PartialEffects, WithoutAnyProgramNothingIsDrawnAndNothingBreaks) {
    ContentManager empty(&loader_);
    MaterialPrograms none;
    none.prepare(empty);
    SubMesh* s = quad(5);
    upload(geometry);
    target->begin(1, 1, 1);
    none.drawSubmeshes({s});
    none.drawSubmeshesShadowed({s}, *shadowMap);
    none.drawSubmeshesBlack({s});
    none.renderShadowMap({s}, shadowTarget, sm::identityMatrix(), sm::identityMatrix());
    EXPECT_EQ(target->pixel(kSize / 2, kSize / 2), (Rgba{255, 255, 255, 255}));
}

}  // namespace
