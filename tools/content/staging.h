#pragma once
// The staging folder: the data tree as it will lie in the archive, written
// file by file before it is packed.
#include "tools/pictures/canvas.h"

#include <filesystem>
#include <string>

namespace content {

class Staging {
public:
    // `root` is the data folder itself (".../quellon_data").
    explicit Staging(std::filesystem::path root) : root_(std::move(root)) {}
    const std::filesystem::path& root() const { return root_; }

    // Each call takes a path relative to the root ("textures/smoke.png"),
    // creates the folders it needs and returns false on failure, keeping the
    // first error message (which names the file).
    bool makeFolder(const std::string& relative);
    bool writePng(const std::string& relative, const pictures::Image& image);
    bool writeJpeg(const std::string& relative, const pictures::Image& image, int quality);
    bool writeBytes(const std::string& relative, const std::string& bytes);
    bool copyFile(const std::filesystem::path& source, const std::string& relative);

    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }
    void fail(const std::string& message);

private:
    bool prepare(const std::string& relative, std::filesystem::path& full);

    std::filesystem::path root_;
    std::string error_;
};

} // namespace content
