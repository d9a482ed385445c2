#include "test_archive.h"

#include <gtest/gtest.h>
#include <minizip/unzip.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

namespace testing_tools {

bool readArchive(const std::string& path, std::vector<ArchiveEntry>& entries, std::string& error)
{
    unzFile zip = unzOpen(path.c_str());
    if (!zip) {
        error = path + ": cannot open";
        return false;
    }
    bool ok = true;
    for (int r = unzGoToFirstFile(zip); r == UNZ_OK; r = unzGoToNextFile(zip)) {
        unz_file_info info{};
        char name[512];
        if (unzGetCurrentFileInfo(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK ||
            unzOpenCurrentFile(zip) != UNZ_OK) {
            error = path + ": unreadable entry";
            ok = false;
            break;
        }
        ArchiveEntry entry{name, std::string(info.uncompressed_size, '\0')};
        int got = info.uncompressed_size == 0
                      ? 0
                      : unzReadCurrentFile(zip, entry.bytes.data(), static_cast<unsigned>(entry.bytes.size()));
        if (unzCloseCurrentFile(zip) != UNZ_OK || got != static_cast<int>(info.uncompressed_size)) {
            error = path + ": bad data in " + entry.name;
            ok = false;
            break;
        }
        entries.push_back(std::move(entry));
    }
    unzClose(zip);
    return ok;
}

namespace {
std::filesystem::path processFolder()
{
    return std::filesystem::temp_directory_path() / ("murmur_tools_tests_" + std::to_string(::getpid()));
}

class RemoveScratch : public ::testing::Environment {
public:
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::remove_all(processFolder(), ec);
    }
};
[[maybe_unused]] ::testing::Environment* const removeScratch = ::testing::AddGlobalTestEnvironment(new RemoveScratch);
} // namespace

std::filesystem::path scratchFolder(const std::string& name)
{
    std::filesystem::path dir = processFolder() / name;
    std::filesystem::create_directories(dir);
    return dir;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace testing_tools
