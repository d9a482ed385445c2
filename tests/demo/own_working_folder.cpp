// The show writes "log.txt" into the working folder and the cases read it
// back. CTest runs the cases of this suite side by side, each in a process
// of its own, so every process works in a folder of its own: otherwise one
// case's show truncates the log another case is reading.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

class OwnWorkingFolder : public ::testing::Environment {
public:
    void SetUp() override {
        previous_ = fs::current_path();
        folder_ = fs::temp_directory_path() / ("murmur_demo_tests_" + std::to_string(getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        fs::current_path(folder_);
    }
    void TearDown() override {
        fs::current_path(previous_);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

private:
    fs::path previous_, folder_;
};

const ::testing::Environment* const registered = ::testing::AddGlobalTestEnvironment(new OwnWorkingFolder);

}  // namespace
