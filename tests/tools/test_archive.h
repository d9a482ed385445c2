#pragma once
// Reading zip archives and looking at decoded pictures, for the checks of the
// authored content.
#include "content/image.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_tools {

struct ArchiveEntry {
    std::string name;
    std::string bytes;
};

// Every entry in archive order; false (with the reason) when the archive cannot be read.
bool readArchive(const std::string& path, std::vector<ArchiveEntry>& entries, std::string& error);

inline const std::uint8_t* pixel(const Image& image, int x, int y)
{
    return image.pixels.data() + static_cast<std::size_t>(y) * image.rowBytes() +
           static_cast<std::size_t>(x) * static_cast<std::size_t>(image.channels);
}

// A folder of this test process's own under the temporary directory
// ("NAME" inside it), created on demand; the whole folder is removed when the
// tests end.
std::filesystem::path scratchFolder(const std::string& name);

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

} // namespace testing_tools
