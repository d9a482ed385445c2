#include "app/log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Each case runs in a fresh directory, since the log writes "log.txt" into
// the current one.
class LogTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        dir_ = fs::temp_directory_path() / ("murmur-log-" + std::to_string(getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::current_path(dir_);
        configureLog(false, true);
    }
    void TearDown() override {
        configureLog(false, false);
        fs::current_path(previous_);
        fs::remove_all(dir_);
    }
    std::string logText() const { return slurp(dir_ / "log.txt"); }

    fs::path previous_;
    fs::path dir_;
};

const std::regex kStamp(R"(\[\d\d:\d\d:\d\d-T    \] )");

TEST_F(LogTest, LineIsStampedAndEndsWithNewline) {
    logMessage("error: %s", "textures/black.png");
    const std::string text = logText();
    std::smatch match;
    ASSERT_TRUE(std::regex_match(text, match, std::regex(R"((\[\d\d:\d\d:\d\d-T    \] )error: textures/black.png\n)")))
        << text;
}

TEST_F(LogTest, EmptyMessageLeavesOnlyTheStamp) {
    logMessage("%s", "");
    const std::string text = logText();
    ASSERT_EQ(text.size(), std::string("[00:00:00-T    ] \n").size()) << text;
    EXPECT_TRUE(std::regex_match(text.substr(0, text.size() - 1), kStamp)) << text;
}

TEST_F(LogTest, DashMarkerFollowsTheBracket) {
    logFlags.dashMarker = true;
    logMessage("x");
    logFlags.dashMarker = false;
    EXPECT_TRUE(std::regex_match(logText(), std::regex(R"(\[-\d\d:\d\d:\d\d-T    \] x\n)"))) << logText();
}

TEST_F(LogTest, LongMessagesAreCutNotOverrun) {
    const std::string longText(5000, 'q');
    logMessage("%s", longText.c_str());
    logMessage("after");
    const std::string text = logText();
    const std::size_t firstEnd = text.find('\n');
    ASSERT_NE(firstEnd, std::string::npos);
    const std::string first = text.substr(0, firstEnd);
    EXPECT_EQ(first.size(), std::string("[00:00:00-T    ] ").size() + 1023);
    EXPECT_EQ(first.find_first_not_of('q', first.size() - 1023), std::string::npos);
    // The next line is whole: nothing of the long message spilled over.
    EXPECT_TRUE(std::regex_match(text.substr(firstEnd + 1), std::regex(R"(\[\d\d:\d\d:\d\d-T    \] after\n)")));
}

TEST_F(LogTest, ReopeningTruncatesTheFile) {
    logMessage("before");
    configureLog(true, true);
    ::testing::internal::CaptureStderr();
    logMessage("after");
    const std::string mirrored = ::testing::internal::GetCapturedStderr();
    const std::string text = logText();
    EXPECT_EQ(text.find("before"), std::string::npos) << text;
    EXPECT_NE(text.find("after"), std::string::npos);
    EXPECT_EQ(mirrored, text) << "the debugger copy is the very same line";
}

TEST_F(LogTest, DebuggerCopyWorksWhenTheFileCannotBeOpened) {
    configureLog(false, false);
    fs::remove(dir_ / "log.txt");
    fs::create_directory(dir_ / "log.txt");  // a directory cannot be opened as the log
    configureLog(true, true);
    ::testing::internal::CaptureStderr();
    logMessage("still heard");
    const std::string mirrored = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(std::regex_match(mirrored, std::regex(R"(\[\d\d:\d\d:\d\d-T    \] still heard\n)"))) << mirrored;
}

TEST_F(LogTest, FileWritingCanBeSwitchedOff) {
    logFlags.writeToFile = false;
    logMessage("unseen");
    logFlags.writeToFile = true;
    EXPECT_EQ(logText(), "");
}

}  // namespace
