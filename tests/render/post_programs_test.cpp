#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "content/content_loader.h"
#include "content/content_manager.h"
#include "render/frame_buffer.h"
#include "render/program_setup.h"
#include "render/render_targets.h"
#include "render/screen_quad.h"
#include "tests/render/render_fixture.h"

namespace {

using murmur::test::effects;
using murmur::test::Rgba;

struct ProgramInterface {
    const char* name;
    std::vector<const char*> attributes;  // bound to 0, 1, ...
    std::vector<const char*> uniforms;
};

class PostProgramsTest : public murmur::test::RenderTest {};

TEST_F(PostProgramsTest, EveryPassProgramLinksValidatesAndUsesItsInterface) {
    const std::vector<ProgramInterface> programs = {
        {"HoriBlur", {"a_position", "a_coords"}, {"u_mvp", "u_pixelSize", "u_tex"}},
        {"VertBlur", {"a_position", "a_coords"}, {"u_mvp", "u_pixelSize", "u_tex"}},
        {"Distortion", {"a_position"}, {"u_mvp", "u_diffTex", "u_distortTex"}},
        {"DistortParticle",
         {"a_position"},
         {"u_modelViewMatrix", "u_projMatrix", "u_particlePosition", "u_color", "u_particleTex"}},
        {"CreditSprite", {"a_position"}, {"u_mvp", "u_tex", "u_progress"}},
    };
    for (const ProgramInterface& expected : programs) {
        SCOPED_TRACE(expected.name);
        ShaderProgram* program = effects().findProgram(expected.name);
        ASSERT_NE(program, nullptr) << "does not compile";
        for (std::size_t i = 0; i < expected.attributes.size(); ++i)
            glBindAttribLocation(program->program, static_cast<GLuint>(i), expected.attributes[i]);
        glLinkProgram(program->program);
        ASSERT_TRUE(isLinked(program->program));
        EXPECT_TRUE(validateProgram(program->program));
        for (std::size_t i = 0; i < expected.attributes.size(); ++i)
            EXPECT_EQ(glGetAttribLocation(program->program, expected.attributes[i]), static_cast<GLint>(i))
                << expected.attributes[i];
        for (const char* uniform : expected.uniforms) EXPECT_NE(program->uniformLocation(uniform), -1) << uniform;
    }
}

TEST_F(PostProgramsTest, AMissingProgramIsNamedInTheProblems) {
    std::vector<std::string> problems;
    EXPECT_EQ(prepareProgram(effects(), "NoSuchBlur", {{"a_position", 0}}, &problems), nullptr);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("NoSuchBlur"), std::string::npos);
}

// A vertex program cut short before its main() still compiles; the link
// fails, and the problem names the files and the driver's reason.
TEST_F(PostProgramsTest, AProgramThatDoesNotLinkIsNamedWithItsFiles) {
    murmur::test::ScratchDir dir;
    std::ofstream(dir.path() + "Cut.vpr") << "#version 110\nattribute vec3 a_position;\nvarying vec2 v_coords;\n";
    std::ofstream(dir.path() + "Cut.fpr") << "#version 110\nvoid main() { gl_FragColor = vec4(1.0); }\n";
    ContentLoader loader;
    ContentManager content(&loader);
    content.loadPrograms(dir.path());
    ASSERT_NE(content.findProgram("Cut"), nullptr);
    std::vector<std::string> problems;
    EXPECT_EQ(prepareProgram(content, "Cut", {{"a_position", 0}}, &problems), nullptr);
    ASSERT_EQ(problems.size(), 1u);
    const std::string named = "program Cut (" + dir.path() + "Cut.vpr with " + dir.path() + "Cut.fpr) does not link: ";
    EXPECT_EQ(problems[0].substr(0, named.size()), named) << problems[0];
    EXPECT_GT(problems[0].size(), named.size());
    EXPECT_EQ(problems[0].find('\n'), std::string::npos);
}

// The greeting wipe: nothing at progress 0, the left part with a soft front
// halfway, everything from 1 on.
TEST_F(PostProgramsTest, CreditSpriteRevealsThePictureAlongItsWidth) {
    ShaderProgram* program = prepareProgram(effects(), "CreditSprite", {{"a_position", 0}}, nullptr);
    ASSERT_NE(program, nullptr);
    const int w = 100, h = 4;
    const auto target = createRenderTexture(w, h, GL_NEAREST);
    FrameBuffer frame;
    frame.create(w, h, 32);
    frame.attachColor(*target);
    const auto picture = murmur::test::flatTexture(8, 8, {255, 255, 255, 255});
    ScreenQuad quad;
    quad.create();
    glViewport(0, 0, w, h);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glUseProgram(program->program);
    ShaderProgram::setMat4(program->uniformLocation("u_mvp"), sm::scaling({2.0f, 2.0f, 1.0f}));
    ShaderProgram::setTexture(program->uniformLocation("u_tex"), 0, picture->name);

    const auto row = [&](float progress) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glUniform1f(program->uniformLocation("u_progress"), progress);
        quad.bind();
        ScreenQuad::draw();
        ScreenQuad::unbind();
        std::vector<int> red;
        for (const Rgba& p : murmur::test::readPixels(0, 1, w, 1)) red.push_back(p.r);
        return red;
    };
    for (int v : row(0.0f)) EXPECT_EQ(v, 0);
    const std::vector<int> half = row(0.5f);
    EXPECT_EQ(half[0], 255);
    EXPECT_EQ(half[40], 255);
    EXPECT_EQ(half[60], 0);
    EXPECT_EQ(half[99], 0);
    int soft = 0;
    for (int i = 1; i < w; ++i) {
        EXPECT_LE(half[static_cast<std::size_t>(i)], half[static_cast<std::size_t>(i - 1)]) << "x " << i;
        if (half[static_cast<std::size_t>(i)] > 0 && half[static_cast<std::size_t>(i)] < 255) ++soft;
    }
    EXPECT_GE(soft, 5) << "the front is soft, not a hard cut";
    for (int v : row(1.0f)) EXPECT_EQ(v, 255);
    for (int v : row(1.7f)) EXPECT_EQ(v, 255);
    frame.unbind();
}

}  // namespace
