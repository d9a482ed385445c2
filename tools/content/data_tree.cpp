#include "tools/content/assets.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace content {

namespace fs = std::filesystem;

void makeDataFolders(Staging& staging)
{
    for (const char* folder : {"models", "models/robot_parts", "textures", "textures/greetz", "textures/dream",
                               "textures/lightmaps", "effects", "animations", "materials", "fonts", "cameras", "music"})
        staging.makeFolder(folder);
}

void copyHandWritten(Staging& staging, const fs::path& dataDir)
{
    std::error_code ec;
    if (!fs::is_directory(dataDir, ec)) {
        staging.fail(dataDir.string() + ": the folder of hand-written sources is missing");
        return;
    }
    // Sorted, so that a failure always names the same file.
    std::vector<fs::path> files;
    for (fs::recursive_directory_iterator it(dataDir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        // Notes and editor files stay out of the archive.
        if (name.starts_with(".") || name == "README.md") {
            if (it->is_directory()) it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file()) files.push_back(it->path());
    }
    if (ec) {
        staging.fail(dataDir.string() + ": cannot list the folder: " + ec.message());
        return;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) staging.copyFile(file, file.lexically_relative(dataDir).generic_string());
}

} // namespace content
