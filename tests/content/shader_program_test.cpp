#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "content/shader_program.h"
#include "tests/content/image_files.h"
#include "tests/support/gl_context.h"

namespace {

using murmur::test::ScratchDir;

const std::string kEffects = MURMUR_SOURCE_DIR "/data/effects/";

const char* kVertex = R"(#version 110
attribute vec2 a_position;
void main() { gl_Position = vec4(a_position, 0.0, 1.0); }
)";
const char* kFragment = R"(#version 110
void main() { gl_FragColor = vec4(1.0); }
)";

void writeText(const std::string& path, const std::string& text) {
    murmur::test::writeBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

class ShaderProgramTest : public murmur::test::GlTest {
protected:
    void TearDown() override {
        glUseProgram(0);
        murmur::test::GlTest::TearDown();
    }
    ScratchDir dir;
};

TEST_F(ShaderProgramTest, TheSpritePairLinksWithItsAttributesAndUniforms) {
    const auto program = createProgram(kEffects + "Sprite.vpr", kEffects + "Sprite.fpr");
    ASSERT_TRUE(program);
    EXPECT_NE(program->vertexShader, 0u);
    EXPECT_NE(program->fragmentShader, 0u);
    EXPECT_TRUE(isLinked(program->program));
    ASSERT_TRUE(program->bindAttributes({{"a_position", 0}, {"a_coords", 1}}));
    EXPECT_EQ(glGetAttribLocation(program->program, "a_position"), 0);
    EXPECT_EQ(glGetAttribLocation(program->program, "a_coords"), 1);
    for (const char* uniform : {"u_mvp", "u_tex", "u_color"}) {
        EXPECT_GE(program->uniformLocation(uniform), 0) << uniform;
    }
}

TEST_F(ShaderProgramTest, MissingOrBrokenShadersGiveNull) {
    writeText(dir.file("ok.vpr"), kVertex);
    writeText(dir.file("ok.fpr"), kFragment);
    writeText(dir.file("bad.fpr"), "#version 110\nvoid main() { gl_FragColor = undefined_thing; }\n");
    writeText(dir.file("empty.vpr"), "");
    EXPECT_TRUE(createProgram(dir.file("ok.vpr"), dir.file("ok.fpr")));
    EXPECT_FALSE(createProgram(dir.file("ok.vpr"), dir.file("absent.fpr")));
    EXPECT_FALSE(createProgram(dir.file("absent.vpr"), dir.file("ok.fpr")));
    EXPECT_FALSE(createProgram(dir.file("ok.vpr"), dir.file("bad.fpr")));
    EXPECT_EQ(compileShaderFile(GL_FRAGMENT_SHADER, dir.file("bad.fpr")), 0u);
    // An empty file is compiled as an empty string; it can never make a
    // working program.
    const auto empty = createProgram(dir.file("empty.vpr"), dir.file("ok.fpr"));
    EXPECT_TRUE(!empty || !isLinked(empty->program));
}

TEST_F(ShaderProgramTest, AFolderNamedLikeAShaderFileGivesNull) {
    // A folder opens for reading, but seeking to its end reports a huge size
    // on some file systems; it must fail like an unreadable file.
    std::filesystem::create_directory(dir.file("folder.vpr"));
    std::filesystem::create_directory(dir.file("folder.fpr"));
    writeText(dir.file("ok.vpr"), kVertex);
    writeText(dir.file("ok.fpr"), kFragment);
    EXPECT_EQ(compileShaderFile(GL_VERTEX_SHADER, dir.file("folder.vpr")), 0u);
    EXPECT_FALSE(createProgram(dir.file("folder.vpr"), dir.file("ok.fpr")));
    EXPECT_FALSE(createProgram(dir.file("ok.vpr"), dir.file("folder.fpr")));
}

TEST_F(ShaderProgramTest, AFailedVertexShaderStopsBeforeTheFragmentFileIsRead) {
    writeText(dir.file("bad.vpr"), "#version 110\nvoid main() { gl_Position = nonsense; }\n");
    writeText(dir.file("watched.fpr"), kFragment);
    const int notify = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(notify, 0);
    ASSERT_GE(inotify_add_watch(notify, dir.file("watched.fpr").c_str(), IN_OPEN | IN_ACCESS), 0);
    EXPECT_FALSE(createProgram(dir.file("bad.vpr"), dir.file("watched.fpr")));
    char events[4096];
    EXPECT_LT(read(notify, events, sizeof events), 0) << "the fragment file was opened";
    // The watch itself works: a good vertex shader leads to the fragment file.
    writeText(dir.file("good.vpr"), kVertex);
    EXPECT_TRUE(createProgram(dir.file("good.vpr"), dir.file("watched.fpr")));
    EXPECT_GT(read(notify, events, sizeof events), 0);
    close(notify);
}

TEST_F(ShaderProgramTest, ALinkFailureIsStillReturnedAndPrintsNothing) {
    // Compiles, but a vertex shader without main cannot link.
    writeText(dir.file("nomain.vpr"), "#version 110\nvoid helper() {}\n");
    writeText(dir.file("ok.fpr"), kFragment);
    testing::internal::CaptureStdout();
    const auto program = createProgram(dir.file("nomain.vpr"), dir.file("ok.fpr"));
    const std::string printed = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(program);
    EXPECT_NE(program->program, 0u);
    EXPECT_FALSE(isLinked(program->program));
    EXPECT_EQ(printed, "");
}

TEST_F(ShaderProgramTest, AValidationFailurePrintsItsLog) {
    // Two samplers of different kinds on the same texture unit link but do
    // not validate.
    writeText(dir.file("ok.vpr"), kVertex);
    writeText(dir.file("clash.fpr"), R"(#version 110
uniform sampler2D u_flat;
uniform samplerCube u_cube;
void main() { gl_FragColor = texture2D(u_flat, vec2(0.5)) + textureCube(u_cube, vec3(1.0)); }
)");
    testing::internal::CaptureStdout();
    const auto program = createProgram(dir.file("ok.vpr"), dir.file("clash.fpr"));
    const std::string printed = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(program);
    EXPECT_TRUE(isLinked(program->program));
    EXPECT_EQ(printed.rfind("validate log: ", 0), 0u) << printed;
    EXPECT_GT(printed.size(), std::string("validate log: \n").size());

    testing::internal::CaptureStdout();
    EXPECT_FALSE(validateProgram(program->program));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("validate log: "), std::string::npos);
}

}  // namespace
