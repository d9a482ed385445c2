#pragma once

#include <GL/glew.h>

#include <array>
#include <memory>
#include <vector>

#include "math/mat4.h"
#include "content/shader_program.h"
#include "render/scene_uniforms.h"

class ContentManager;
class Material;
class ShaderProgram;
class SubMesh;
struct DepthTexture;
struct ShadowTarget;

// The programs of the material family, in the order they are prepared.
enum class MaterialProgram {
    Black,
    Color,
    Diff,
    DiffNorm,
    DiffLightMap,
    DiffNormLightmap,
    ShadowMap,
    SmColor,
    SmDiffNorm,
    SmDiffNormLightmap,
    None,  // the material matches no row: nothing is drawn
};
inline constexpr int kMaterialProgramCount = static_cast<int>(MaterialProgram::None);

// The program's name in the content ("DiffNormLightmap"); empty for None.
const char* materialProgramName(MaterialProgram program);

// The program a submesh is drawn with, from what its material and the
// submesh carry: diffuse texture, normal map, light map and opacity texture.
// The shadow-aware choice swaps the normal-mapped programs for their
// shadow-receiving variants. A material with an opacity texture, or with a
// normal or light map but no diffuse texture, gets None.
MaterialProgram chooseMaterialProgram(const Material& material, const SubMesh& submesh, bool shadowed);

// The material program family: finds the programs once, keeps every uniform
// location, and draws submesh lists with the program each material selects.
// Drawing allocates nothing and looks nothing up by name. A program that is
// missing or does not link draws nothing where it would be chosen.
class MaterialPrograms {
public:
    // Looks up the ten programs by name in the content manager, binds their
    // attributes to the fixed slots, relinks, validates on success, and
    // keeps every uniform location.
    void prepare(const ContentManager& content);

    // Set the blend, depth and cull state for the material's opacity, then
    // choose the program and set its uniforms. False: nothing is to be drawn
    // for this submesh.
    bool bindMaterial(Material& material, SubMesh& submesh, const sm::Mat4& world);
    bool bindMaterialShadowed(Material& material, SubMesh& submesh, const sm::Mat4& world,
                              const DepthTexture& shadowMap);

    // Draw every enabled, visible submesh of the list in order; one without
    // material gets a default material for good on its first draw.
    void drawSubmeshes(const std::vector<SubMesh*>& list);
    void drawSubmeshesShadowed(const std::vector<SubMesh*>& list, const DepthTexture& shadowMap);
    // The depth, and nothing else, of exactly the opaque submeshes that
    // drawSubmeshesShadowed draws, placed as the material programs place
    // them. Drawn first, it lets that pass (with an equal depth test) shade
    // each pixel once instead of once per surface over it, and leaves the
    // same picture: at each pixel the nearest surface, and of surfaces at
    // the same depth the one drawn last. False (nothing drawn) without the
    // depth program. Leaves colour writes off.
    bool drawSubmeshesDepth(const std::vector<SubMesh*>& list);
    // Flat black with each submesh's opacity: occluders of the glow pass.
    void drawSubmeshesBlack(const std::vector<SubMesh*>& list);

    // The depth pass from the shadow camera into the shadow target: publishes
    // the light's matrices and position into `uniforms`, then draws every
    // enabled, visible caster depth-only, whatever its material. Leaves frame
    // buffer 0 bound and colour writes off.
    void renderShadowMap(const std::vector<SubMesh*>& casters, const ShadowTarget& target,
                         const sm::Mat4& lightView, const sm::Mat4& lightProjection);

    // The linked program prepared under that name, or null.
    const ShaderProgram* program(MaterialProgram which) const;

    SceneUniforms uniforms;  // the shared record the binders read

private:
    // Every uniform any program of the family reads; -1 where a program
    // does not have it.
    struct Locations {
        GLint viewProjMatrix = -1;
        GLint worldMatrix = -1;
        GLint lightPosition = -1;
        GLint eyePosition = -1;
        GLint diffuseColor = -1;
        GLint specularColor = -1;
        GLint glossiness = -1;
        GLint specularLevel = -1;
        GLint opacity = -1;
        GLint diffTex = -1;
        GLint normalTex = -1;
        GLint lightmapTex = -1;
        GLint mvp = -1;
        GLint lightViewProj = -1;
        GLint biasScale = -1;
        GLint biasClamp = -1;
        GLint shadowLightPosition = -1;
        GLint shadowMap = -1;
        GLint shadowTexel = -1;
    };
    struct Slot {
        const ShaderProgram* program = nullptr;  // null when missing or unlinked
        Locations at;
    };

    bool setUp(MaterialProgram which, Material& material, SubMesh& submesh, const sm::Mat4& world,
               const DepthTexture* shadowMap);
    // Whether setUp draws the submesh with that program.
    bool draws(MaterialProgram which, const SubMesh& submesh) const;
    const Slot& slot(MaterialProgram which) const { return slots_[static_cast<std::size_t>(which)]; }

    std::array<Slot, kMaterialProgramCount> slots_{};
    // The engine's own depth-only program.
    struct DepthSlot {
        std::unique_ptr<ShaderProgram> program;  // null when it did not link
        GLint viewProjMatrix = -1;
        GLint worldMatrix = -1;
    } depth_;
};

// Gives each submesh the texture "<mesh name>LightingMap" as its light map,
// unless its material's name begins with "glow", it is transparent, or its
// vertices carry no light-map coordinates. Without such a texture the light
// map is left as it is.
void assignLightMaps(const std::vector<SubMesh*>& list, const ContentManager& content);
// Descending opacity, unstable (no material counts as 1.0, and so does an
// opacity that is not a number).
void sortByOpacity(std::vector<SubMesh*>& list);
// Has a material with opacity below 1.0.
bool isTransparent(const SubMesh& submesh);
