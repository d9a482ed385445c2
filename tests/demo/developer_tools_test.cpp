#include "demo/developer_tools.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/log.h"
#include "content/geometry/geometry.h"
#include "content/texture.h"

namespace {

namespace fs = std::filesystem;

// The tools on values of their own, with the log going to a fresh folder.
class DeveloperToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        dir_ = fs::temp_directory_path() / ("murmur-tools-" + std::to_string(getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::current_path(dir_);
        configureLog(false, true);
        for (int i = 0; i < 16; ++i) view.a[i] = 0.25f * static_cast<float>(i) - 1.0f;
        view.a[5] = 0.99621f;
        view.a[13] = -123.45678f;
    }
    void TearDown() override {
        configureLog(false, false);
        fs::current_path(previous_);
        fs::remove_all(dir_);
    }
    // The messages of log.txt, without their stamps.
    std::vector<std::string> messages() const {
        std::ifstream in(dir_ / "log.txt");
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            const std::size_t end = line.find("-T    ] ");
            EXPECT_NE(end, std::string::npos) << line;
            lines.push_back(end == std::string::npos ? line : line.substr(end + 8));
        }
        return lines;
    }

    sm::Mat4 view;
    float biasScale = 0.0f;
    float biasClamp = 0.0f;
    std::vector<SubMesh*> submeshes;
    DeveloperTools tools{view, biasScale, biasClamp, submeshes};
    fs::path previous_;
    fs::path dir_;
};

TEST_F(DeveloperToolsTest, ClickAndBPrintKeyframeCallsAtTheToolClock) {
    tools.setToolClock(12345.6f);
    tools.onClick();
    tools.onClick();
    tools.setToolClock(98000.0f);
    tools.onClick();
    tools.onKeyDown('B');
    tools.onKeyDown('B');
    EXPECT_EQ(messages(), (std::vector<std::string>{"changeGreetzProp->SetValue(1, 12.3456);",
                                                    "changeGreetzProp->SetValue(0, 12.3456);",
                                                    "changeGreetzProp->SetValue(1, 98.0000);",
                                                    "m_fovAnim->SetValue(1, 98.0000);",
                                                    "m_fovAnim->SetValue(0, 98.0000);"}));
    EXPECT_EQ(tools.greetzToggle, 0);
    EXPECT_EQ(tools.fovToggle, 0);
}

TEST_F(DeveloperToolsTest, CAndLDumpTheMainView) {
    tools.onKeyDown('C');
    tools.onKeyDown('C');
    tools.onKeyDown('L');
    const std::vector<std::string> lines = messages();
    ASSERT_EQ(lines.size(), 3u * 18u);
    EXPECT_EQ(lines[0], "Camera");
    EXPECT_EQ(lines[1], "m_view.a[0] = -1.0000f;");
    EXPECT_EQ(lines[6], "m_view.a[5] = 0.9962f;");
    EXPECT_EQ(lines[14], "m_view.a[13] = -123.4568f;");
    EXPECT_EQ(lines[16], "m_view.a[15] = 2.7500f;");
    EXPECT_EQ(lines[17], "");
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 18),
              std::vector<std::string>(lines.begin() + 18, lines.begin() + 36))
        << "the same view gives the same dump";
    EXPECT_EQ(lines[36], "Light");
    EXPECT_EQ(lines[37], "lightTransform.a[0] = -1.0000f;");
    EXPECT_EQ(lines[49], "lightTransform.a[12] = 2.0000f;");
    EXPECT_EQ(lines[53], "");
}

// Keys without a tool change nothing (lower-case codes never arrive; Escape,
// F4 and the other letters have none); T and G raise only their own bias;
// X strips every light map. None of them logs.
TEST_F(DeveloperToolsTest, TheOtherKeysChangeOnlyTheirOwnValues) {
    Texture lightMap;
    std::vector<std::unique_ptr<SubMesh>> owned;
    for (int i = 0; i < 3; ++i) {
        owned.push_back(std::make_unique<SubMesh>());
        owned.back()->lightMap = &lightMap;
        submeshes.push_back(owned.back().get());
    }
    submeshes.push_back(nullptr);
    for (int key : std::vector<int>{'b', 'c', 'x', 't', 'A', 'Z', 0x1B, 0x73, 0}) tools.onKeyDown(key);
    EXPECT_EQ(biasScale, 0.0f);
    EXPECT_EQ(biasClamp, 0.0f);
    EXPECT_EQ(tools.fovToggle, 0);
    for (const auto& submesh : owned) EXPECT_EQ(submesh->lightMap, &lightMap);

    for (int i = 0; i < 3; ++i) tools.onKeyDown('T');
    EXPECT_NEAR(biasScale, 0.0003f, 1e-7f);
    EXPECT_EQ(biasClamp, 0.0f);
    tools.onKeyDown('G');
    EXPECT_NEAR(biasClamp, 0.0001f, 1e-8f);
    EXPECT_NEAR(biasScale, 0.0003f, 1e-7f);

    tools.onKeyDown('X');
    for (const auto& submesh : owned) EXPECT_EQ(submesh->lightMap, nullptr);
    EXPECT_TRUE(messages().empty());
}

}  // namespace
