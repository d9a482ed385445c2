#include "render/shadow_map.h"

#include "anim/camera.h"
#include "content/geometry/geometry.h"
#include "content/geometry/vertex_format.h"
#include "content/shader_program.h"
#include "render/material_programs.h"
#include "render/render_targets.h"

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
        glEnableVertexAttribArray(0);
        for (GLuint a = 1; a < 5; ++a) glDisableVertexAttribArray(a);
        for (SubMesh* s : casters) {
            // Materials and opacity play no part: a transparent caster
            // casts a full shadow.
            if (!s || !s->enabled || s->hidden || s->vertexBuffer == 0 || s->vertexCount <= 0 || !s->mesh ||
                !vertexLayout(s->vertexFormat))
                continue;
            ShaderProgram::setMat4(depth.at.mvp, lightViewProjection * s->mesh->renderMatrix());
            glBindBuffer(GL_ARRAY_BUFFER, s->vertexBuffer);
            s->setAttributePointers();
            glDrawArrays(GL_TRIANGLES, 0, s->vertexCount);
        }
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }

    FrameBuffer::unbind();
    glCullFace(GL_BACK);
}
