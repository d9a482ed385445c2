#include "render/material_programs.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>

#include "content/content_manager.h"
#include "content/geometry/geometry.h"
#include "content/geometry/vertex_format.h"
#include "content/material.h"
#include "content/shader_program.h"
#include "content/texture.h"
#include "render/render_targets.h"
#include "render/submesh_draw.h"

namespace {

// Attribute slots as bits: 0 position, 1 diffuse coordinates, 2 light-map
// coordinates, 3 normal, 4 tangent.
constexpr unsigned kPosition = 1u << 0;
constexpr unsigned kDiffuseUv = 1u << 1;
constexpr unsigned kLightmapUv = 1u << 2;
constexpr unsigned kNormal = 1u << 3;
constexpr unsigned kTangent = 1u << 4;

struct ProgramInfo {
    const char* name;
    unsigned attributes;  // the slots the program consumes
};

constexpr std::array<ProgramInfo, kMaterialProgramCount> kPrograms = {{
    {"Black", kPosition},
    {"Color", kPosition | kNormal},
    {"Diff", kPosition | kDiffuseUv | kNormal},
    {"DiffNorm", kPosition | kDiffuseUv | kNormal | kTangent},
    {"DiffLightMap", kPosition | kDiffuseUv | kLightmapUv | kNormal},
    {"DiffNormLightmap", kPosition | kDiffuseUv | kLightmapUv | kNormal | kTangent},
    {"ShadowMap", kPosition},
    {"SM_Color", kPosition | kNormal},
    {"SM_DiffNorm", kPosition | kDiffuseUv | kNormal | kTangent},
    {"SM_DiffNormLightmap", kPosition | kDiffuseUv | kLightmapUv | kNormal | kTangent},
}};

constexpr std::array<const char*, 5> kAttributeNames = {"a_position", "a_coordsDiff", "a_coordsLightmap", "a_normal",
                                                        "a_tangent"};

const ProgramInfo& info(MaterialProgram which) { return kPrograms[static_cast<std::size_t>(which)]; }

// The depth of the material programs' vertices: every one of them places a
// vertex as u_viewProjMatrix * (u_worldMatrix * position), and this program
// does the same sum the same way, so that its depth equals theirs to the bit.
constexpr const char* kDepthVertexSource = R"(#version 110
attribute vec3 a_position;
uniform mat4 u_viewProjMatrix;
uniform mat4 u_worldMatrix;
void main() {
    vec4 world = u_worldMatrix * vec4(a_position, 1.0);
    gl_Position = u_viewProjMatrix * world;
}
)";
constexpr const char* kDepthFragmentSource = R"(#version 110
void main() {
    gl_FragColor = vec4(0.0);
}
)";

// The slots a vertex format fills; 0 for an unknown format.
unsigned formatAttributes(int format) {
    const VertexLayout* layout = vertexLayout(format);
    if (!layout) return 0;
    unsigned bits = kPosition;
    if (layout->diffuseUv >= 0) bits |= kDiffuseUv;
    if (layout->lightmapUv >= 0) bits |= kLightmapUv;
    if (layout->normal >= 0) bits |= kNormal;
    if (layout->tangent >= 0) bits |= kTangent;
    return bits;
}

void transparentState() {
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void opaqueState() {
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
}

void opacityState(const Material& material) {
    if (material.opacity < 1.0f) {
        transparentState();
    } else {
        opaqueState();
    }
}

// Materials made for submeshes that have none. Like loaded content they live
// until the process ends, so a submesh can keep pointing at its own.
Material& newDefaultMaterial() {
    static std::deque<Material> store;
    return store.emplace_back();
}

// Draws every enabled, visible submesh of the list that `bind` sets up,
// giving one without material a default material for good first.
template <typename Bind>
void drawWithMaterials(const std::vector<SubMesh*>& list, Bind bind) {
    for (SubMesh* s : list) {
        if (!s || !isVisible(*s) || !s->mesh) continue;
        if (!s->material) s->material = &newDefaultMaterial();
        if (bind(*s)) drawSubmesh(*s);
    }
}

// The world matrix a program is given for a submesh: the colour program
// takes the mesh's model matrix in as well.
sm::Mat4 programWorld(MaterialProgram which, const SubMesh& submesh, const sm::Mat4& world) {
    return which == MaterialProgram::Color ? submesh.mesh->modelMatrix() * world : world;
}

float sortOpacity(const SubMesh* s) {
    if (!s || !s->material) return 1.0f;
    const float o = s->material->opacity;
    return std::isnan(o) ? 1.0f : o;
}

}  // namespace

const char* materialProgramName(MaterialProgram program) {
    if (program == MaterialProgram::None) return "";
    return info(program).name;
}

MaterialProgram chooseMaterialProgram(const Material& material, const SubMesh& submesh, bool shadowed) {
    const bool d = material.diffuseMap != nullptr;
    const bool n = material.bumpMap != nullptr;
    const bool l = submesh.lightMap != nullptr;
    const bool o = material.opacityMap != nullptr;
    if (o) return MaterialProgram::None;
    if (!d) return n || l ? MaterialProgram::None : MaterialProgram::Color;
    if (!n) return l ? MaterialProgram::DiffLightMap : MaterialProgram::Diff;
    if (!l) return shadowed ? MaterialProgram::SmDiffNorm : MaterialProgram::DiffNorm;
    return shadowed ? MaterialProgram::SmDiffNormLightmap : MaterialProgram::DiffNormLightmap;
}

bool isTransparent(const SubMesh& submesh) { return submesh.material && submesh.material->opacity < 1.0f; }

void sortByOpacity(std::vector<SubMesh*>& list) {
    std::sort(list.begin(), list.end(),
              [](const SubMesh* a, const SubMesh* b) { return sortOpacity(a) > sortOpacity(b); });
}

void assignLightMaps(const std::vector<SubMesh*>& list, const ContentManager& content) {
    for (SubMesh* s : list) {
        if (!s || !s->mesh) continue;
        Texture* map = content.findTexture(s->mesh->name + "LightingMap");
        if (!map) continue;
        if (s->material && s->material->name.compare(0, 4, "glow") == 0) continue;
        if (isTransparent(*s)) continue;
        // Without light-map coordinates the map could not be drawn, and the
        // submesh would vanish; it keeps its unmapped program instead.
        if (!(formatAttributes(s->vertexFormat) & kLightmapUv)) continue;
        s->lightMap = map;
    }
}

void MaterialPrograms::prepare(const ContentManager& content) {
    depth_ = DepthSlot{};
    std::unique_ptr<ShaderProgram> depth = createProgramFromSource(kDepthVertexSource, kDepthFragmentSource);
    if (depth && depth->bindAttributes({{kAttributeNames[0], 0}})) {
        depth_.program = std::move(depth);
        depth_.viewProjMatrix = depth_.program->uniformLocation("u_viewProjMatrix");
        depth_.worldMatrix = depth_.program->uniformLocation("u_worldMatrix");
    }
    for (int i = 0; i < kMaterialProgramCount; ++i) {
        Slot& slot = slots_[static_cast<std::size_t>(i)];
        slot = Slot{};
        const ProgramInfo& p = kPrograms[static_cast<std::size_t>(i)];
        ShaderProgram* program = content.findProgram(p.name);
        if (!program || program->program == 0) continue;
        for (GLuint a = 0; a < kAttributeNames.size(); ++a) {
            if (p.attributes & (1u << a)) glBindAttribLocation(program->program, a, kAttributeNames[a]);
        }
        glLinkProgram(program->program);
        // An unlinked program cannot be made current; using it would leave
        // the previous program drawing with the wrong uniforms.
        if (!isLinked(program->program)) continue;
        validateProgram(program->program);
        slot.program = program;
        Locations& at = slot.at;
        at.viewProjMatrix = program->uniformLocation("u_viewProjMatrix");
        at.worldMatrix = program->uniformLocation("u_worldMatrix");
        at.lightPosition = program->uniformLocation("u_lightPosition");
        at.eyePosition = program->uniformLocation("u_eyePosition");
        at.diffuseColor = program->uniformLocation("u_diffuseColor");
        at.specularColor = program->uniformLocation("u_specularColor");
        at.glossiness = program->uniformLocation("u_glossiness");
        at.specularLevel = program->uniformLocation("u_specularLevel");
        at.opacity = program->uniformLocation("u_opacity");
        at.diffTex = program->uniformLocation("u_diffTex");
        at.normalTex = program->uniformLocation("u_normalTex");
        at.lightmapTex = program->uniformLocation("u_lightmapTex");
        at.mvp = program->uniformLocation("u_mvp");
        at.lightViewProj = program->uniformLocation("u_lightViewProj");
        at.biasScale = program->uniformLocation("u_biasScale");
        at.biasClamp = program->uniformLocation("u_biasClamp");
        at.shadowLightPosition = program->uniformLocation("u_shadowLightPosition");
        at.shadowMap = program->uniformLocation("u_shadowMap");
        at.shadowTexel = program->uniformLocation("u_shadowTexel");
    }
}

const ShaderProgram* MaterialPrograms::program(MaterialProgram which) const {
    if (which == MaterialProgram::None) return nullptr;
    return slot(which).program;
}

bool MaterialPrograms::draws(MaterialProgram which, const SubMesh& submesh) const {
    if (which == MaterialProgram::None) return false;
    if (!slot(which).program || !isDrawable(submesh)) return false;
    // A format without a field the program reads would leave that array
    // pointing at some other buffer.
    const unsigned needs = info(which).attributes;
    return (formatAttributes(submesh.vertexFormat) & needs) == needs;
}

bool MaterialPrograms::setUp(MaterialProgram which, Material& material, SubMesh& submesh, const sm::Mat4& world,
                             const DepthTexture* shadowMap) {
    if (!draws(which, submesh)) return false;
    const Slot& s = slot(which);
    const unsigned needs = info(which).attributes;

    glUseProgram(s.program->program);
    const Locations& at = s.at;
    const Material& m = material;
    ShaderProgram::setMat4(at.viewProjMatrix, uniforms.viewProjection);
    ShaderProgram::setVec3(at.lightPosition, uniforms.lightPosition);
    ShaderProgram::setVec3(at.eyePosition, uniforms.eyePosition);
    glUniform3f(at.specularColor, m.specularColor[0], m.specularColor[1], m.specularColor[2]);
    glUniform1f(at.glossiness, m.glossiness * 256.0f);
    glUniform1f(at.specularLevel, m.specularLevel);

    if (which == MaterialProgram::Color) {
        ShaderProgram::setMat4(at.worldMatrix, programWorld(which, submesh, world));
        glUniform4f(at.diffuseColor, m.diffuseColor[0], m.diffuseColor[1], m.diffuseColor[2], m.opacity);
        enableAttributeArrays(needs);
        return true;
    }

    ShaderProgram::setMat4(at.worldMatrix, world);
    glUniform1f(at.opacity, m.opacity);
    // Units from the highest down, so that unit 0 is the active one after.
    switch (which) {
        case MaterialProgram::SmDiffNormLightmap:
            ShaderProgram::setTexture(at.shadowMap, 3, shadowMap ? shadowMap->name : 0);
            [[fallthrough]];
        case MaterialProgram::DiffNormLightmap:
            ShaderProgram::setTexture(at.lightmapTex, 2, submesh.lightMap->name);
            ShaderProgram::setTexture(at.normalTex, 1, m.bumpMap->name);
            break;
        case MaterialProgram::SmDiffNorm:
            ShaderProgram::setTexture(at.shadowMap, 2, shadowMap ? shadowMap->name : 0);
            [[fallthrough]];
        case MaterialProgram::DiffNorm:
            ShaderProgram::setTexture(at.normalTex, 1, m.bumpMap->name);
            break;
        case MaterialProgram::DiffLightMap:
            ShaderProgram::setTexture(at.lightmapTex, 1, submesh.lightMap->name);
            break;
        default:
            break;
    }
    if (which == MaterialProgram::SmDiffNorm || which == MaterialProgram::SmDiffNormLightmap) {
        ShaderProgram::setMat4(at.lightViewProj, uniforms.lightProjection * uniforms.lightView);
        glUniform1f(at.biasScale, uniforms.biasScale);
        glUniform1f(at.biasClamp, uniforms.biasClamp);
        ShaderProgram::setVec3(at.shadowLightPosition, uniforms.shadowLightPosition);
        // The filter's taps lie one texel of the map apart, whatever its size.
        if (shadowMap && shadowMap->width > 0 && shadowMap->height > 0)
            glUniform2f(at.shadowTexel, 1.0f / static_cast<float>(shadowMap->width),
                        1.0f / static_cast<float>(shadowMap->height));
    }
    ShaderProgram::setTexture(at.diffTex, 0, m.diffuseMap->name);
    enableAttributeArrays(needs);
    return true;
}

bool MaterialPrograms::bindMaterial(Material& material, SubMesh& submesh, const sm::Mat4& world) {
    opacityState(material);
    return setUp(chooseMaterialProgram(material, submesh, false), material, submesh, world, nullptr);
}

bool MaterialPrograms::bindMaterialShadowed(Material& material, SubMesh& submesh, const sm::Mat4& world,
                                            const DepthTexture& shadowMap) {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    opacityState(material);
    return setUp(chooseMaterialProgram(material, submesh, true), material, submesh, world, &shadowMap);
}

void MaterialPrograms::drawSubmeshes(const std::vector<SubMesh*>& list) {
    drawWithMaterials(list, [this](SubMesh& s) { return bindMaterial(*s.material, s, s.mesh->renderMatrix()); });
}

void MaterialPrograms::drawSubmeshesShadowed(const std::vector<SubMesh*>& list, const DepthTexture& shadowMap) {
    drawWithMaterials(list, [this, &shadowMap](SubMesh& s) {
        return bindMaterialShadowed(*s.material, s, s.mesh->renderMatrix(), shadowMap);
    });
}

bool MaterialPrograms::drawSubmeshesDepth(const std::vector<SubMesh*>& list) {
    if (!depth_.program) return false;
    glUseProgram(depth_.program->program);
    ShaderProgram::setMat4(depth_.viewProjMatrix, uniforms.viewProjection);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    enableAttributeArrays(kPosition);
    drawWithMaterials(list, [this](SubMesh& s) {
        // Transparent ones write no depth in the shaded pass.
        if (isTransparent(s)) return false;
        const MaterialProgram which = chooseMaterialProgram(*s.material, s, true);
        if (!draws(which, s)) return false;
        opaqueState();
        ShaderProgram::setMat4(depth_.worldMatrix, programWorld(which, s, s.mesh->renderMatrix()));
        return true;
    });
    return true;
}

void MaterialPrograms::drawSubmeshesBlack(const std::vector<SubMesh*>& list) {
    const Slot& black = slot(MaterialProgram::Black);
    if (!black.program) return;
    glUseProgram(black.program->program);
    for (SubMesh* s : list) {
        if (!s || !isVisible(*s) || !isDrawable(*s)) continue;
        if (!s->material || s->material->opacity == 1.0f) {
            opaqueState();
            // An opaque occluder writes full alpha, not the last
            // transparent submesh's opacity.
            glUniform1f(black.at.opacity, 1.0f);
        } else {
            transparentState();
            glUniform1f(black.at.opacity, s->material->opacity);
        }
        ShaderProgram::setMat4(black.at.mvp, uniforms.viewProjection * s->mesh->renderMatrix());
        enableAttributeArrays(kPosition);
        drawSubmesh(*s);
    }
}
