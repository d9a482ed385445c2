#include "render/post_processing.h"

#include "content/content_manager.h"
#include "render/program_setup.h"
#include "render/render_targets.h"

namespace {

void reportIncomplete(bool complete, const char* target, std::vector<std::string>* problems) {
    if (!complete) reportProblem(problems, std::string("the ") + target + " frame buffer is incomplete");
}

}  // namespace

bool PostProcessing::create(const ContentManager& content, const ScreenQuad& quad, int width, int height,
                            std::vector<std::string>* problems) {
    quad_ = &quad;
    width_ = width;
    height_ = height;
    glowWidth_ = halfSize(width);
    glowHeight_ = halfSize(height);
    bool complete = true;

    glowTexture_ = createRenderTexture(glowWidth_, glowHeight_, GL_LINEAR);
    const std::initializer_list<AttributeBinding> quadAttributes = {{"a_position", 0}, {"a_coords", 1}};
    ShaderProgram* horizontal = prepareProgram(content, "HoriBlur", quadAttributes, problems);
    ShaderProgram* vertical = prepareProgram(content, "VertBlur", quadAttributes, problems);
    glowTarget_.create(glowWidth_, glowHeight_, 32);
    if (!blur_.create(horizontal, vertical, glowWidth_, glowHeight_)) {
        reportProblem(problems, "the glow is left out: its blur cannot run");
        complete = false;
    }

    distortionTexture_ = createRenderTexture(width, height, GL_NEAREST);
    sceneColour_ = createRenderTexture(width, height, GL_NEAREST);

    ShaderProgram* sprite = content.findProgram("Sprite");
    if (!sprite) reportProblem(problems, "program Sprite is missing: the dream overlay is not drawn");
    dream_ = std::make_unique<DreamOverlay>(content, sprite, width, height);
    int missingFrames = 0;
    std::string missingNames;
    for (int i = 0; i < DreamOverlay::kFrameCount; ++i) {
        if (dream_->frameTexture(i)) continue;
        ++missingFrames;
        missingNames += (missingNames.empty() ? "dream" : ", dream") + std::to_string(i + 1);
    }
    if (missingFrames > 0)
        reportProblem(problems, std::to_string(missingFrames) + " of the " + std::to_string(DreamOverlay::kFrameCount) +
                                    " dream frames are missing and show nothing: " + missingNames);

    sceneTarget_.create(width, height, 32);
    if (sceneColour_ && distortionTexture_) {
        sceneTarget_.attachColor(*sceneColour_, 0);
        const bool sceneComplete = sceneTarget_.attachColor(*distortionTexture_, 1);
        reportIncomplete(sceneComplete, "scene", problems);
        complete = complete && sceneComplete;
    } else {
        reportProblem(problems, "the scene textures cannot be made");
        sceneTarget_.bind();
        complete = false;
    }
    return complete && glowTexture_ != nullptr;
}

bool PostProcessing::prepareDistortion(const ContentManager& content, std::vector<std::string>* problems) {
    distortion_ = DistortionProgram{};
    ShaderProgram* program = prepareProgram(content, "Distortion", {{"a_position", 0}}, problems);
    if (!program) {
        reportProblem(problems, "the smoke's bend is left out: the scene is shown unbent");
        return false;
    }
    distortion_.program = program;
    distortion_.mvp = program->uniformLocation("u_mvp");
    distortion_.diffTex = program->uniformLocation("u_diffTex");
    distortion_.distortTex = program->uniformLocation("u_distortTex");
    return true;
}

void PostProcessing::beginScene() {
    sceneTarget_.bind();
    glViewport(0, 0, width_, height_);
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    drawToSceneColourAndDistortion();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void PostProcessing::drawToSceneColour() { glDrawBuffer(GL_COLOR_ATTACHMENT0); }

void PostProcessing::drawToSceneColourAndDistortion() {
    static const GLenum kBoth[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glDrawBuffers(2, kBoth);
}

void PostProcessing::compositeDistortion(SpriteRenderer* fallback) {
    FrameBuffer::unbind();
    glDrawBuffer(GL_BACK);
    glViewport(0, 0, width_, height_);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    if (!sceneColour_) return;
    if (!distortion_.program || !distortionTexture_ || !quad_) {
        if (!fallback) return;
        fallback->begin();
        glDisable(GL_BLEND);  // the scene's own alpha is not a coverage
        fallback->draw(sceneColour_.get(), width_, height_);
        fallback->end();
        return;
    }
    const float w = static_cast<float>(width_);
    const float h = static_cast<float>(height_);
    const sm::Mat4 mvp =
        pixelOrthoMatrix(w, h) * sm::scaling({w, h, 1.0f}) * sm::translation({0.5f, 0.5f, 0.0f});
    glUseProgram(distortion_.program->program);
    ShaderProgram::setMat4(distortion_.mvp, mvp);
    ShaderProgram::setTexture(distortion_.diffTex, 0, sceneColour_->name);
    ShaderProgram::setTexture(distortion_.distortTex, 1, distortionTexture_->name);
    quad_->bind();
    ScreenQuad::draw();
    ScreenQuad::unbind();
    glActiveTexture(GL_TEXTURE0);
}

bool PostProcessing::beginGlow() {
    if (!hasGlow()) return false;
    glViewport(0, 0, glowWidth_, glowHeight_);
    glowTarget_.attachColor(*glowTexture_, 0);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

void PostProcessing::blurGlow() {
    FrameBuffer::unbind();
    if (hasGlow()) blur_.run(*glowTexture_);
}

void PostProcessing::compositeGlow(SpriteRenderer& sprites) {
    if (!hasGlow() || !sprites.program()) return;
    glViewport(0, 0, width_, height_);
    sprites.begin();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    sprites.draw(blur_.output(), width_, height_);
    sprites.end();
}
