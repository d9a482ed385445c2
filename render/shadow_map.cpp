#include "render/shadow_map.h"

#include "anim/camera.h"
#include "content/geometry/geometry.h"
#include "content/shader_program.h"
#include "render/material_programs.h"
#include "render/render_targets.h"
#include "render/submesh_draw.h"

void updateShadowCamera(const ICamera& camera, float time, float aspect, sm::Mat4& lightView,
                        sm::Mat4& lightProjection) {
    camera.viewMatrix(lightView);
    lightProjection = sm::perspectiveFovX(camera.fov(time), aspect, camera.nearPlane(), camera.farPlane());
}

sm::Vec3 shadowLightPosition(const sm::Mat4& lightView) { return sm::transformPoint(sm::inverse(lightView), {}); }

void MaterialPrograms::renderShadowMap(const std::vector<SubMesh*>& casters, const ShadowTarget& target,
                                       const sm::Mat4& lightView, const sm::Mat4& lightProjection) {
    target.frameBuffer.bind();
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glViewport(0, 0, target.frameBuffer.width, target.frameBuffer.height);

    uniforms.lightView = lightView;
    uniforms.lightProjection = lightProjection;
    uniforms.shadowLightPosition = shadowLightPosition(lightView);

    const Slot& depth = slot(MaterialProgram::ShadowMap);
    if (depth.program) {
        glUseProgram(depth.program->program);
        const sm::Mat4 lightViewProjection = lightProjection * lightView;
        enableAttributeArrays(1u);  // the position alone
        for (SubMesh* s : casters) {
            // Materials and opacity play no part: a transparent caster
            // casts a full shadow.
            if (!s || !isVisible(*s) || !isDrawable(*s)) continue;
            ShaderProgram::setMat4(depth.at.mvp, lightViewProjection * s->mesh->renderMatrix());
            drawSubmesh(*s);
        }
    }

    FrameBuffer::unbind();
    glCullFace(GL_BACK);
}
