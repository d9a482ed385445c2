#include "tools/content/staging.h"

#include "tools/pictures/image_writers.h"

#include <fstream>
#include <system_error>

namespace content {

namespace fs = std::filesystem;

void Staging::fail(const std::string& message)
{
    if (error_.empty()) error_ = message;
}

bool Staging::prepare(const std::string& relative, fs::path& full)
{
    full = root_ / relative;
    std::error_code ec;
    fs::create_directories(full.parent_path(), ec);
    if (ec) {
        fail(full.parent_path().string() + ": cannot create the folder: " + ec.message());
        return false;
    }
    return true;
}

bool Staging::makeFolder(const std::string& relative)
{
    std::error_code ec;
    fs::create_directories(root_ / relative, ec);
    if (ec) {
        fail((root_ / relative).string() + ": cannot create the folder: " + ec.message());
        return false;
    }
    return true;
}

bool Staging::writePng(const std::string& relative, const pictures::Image& image)
{
    fs::path full;
    if (!prepare(relative, full)) return false;
    std::string message;
    if (!pictures::writePng(full.string(), image, message)) {
        fail(message);
        return false;
    }
    return true;
}

bool Staging::writeJpeg(const std::string& relative, const pictures::Image& image, int quality)
{
    fs::path full;
    if (!prepare(relative, full)) return false;
    std::string message;
    if (!pictures::writeJpeg(full.string(), image, quality, message)) {
        fail(message);
        return false;
    }
    return true;
}

bool Staging::writeBytes(const std::string& relative, const std::string& bytes)
{
    fs::path full;
    if (!prepare(relative, full)) return false;
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        fail(full.string() + ": cannot write the file");
        return false;
    }
    return true;
}

bool Staging::copyFile(const fs::path& source, const std::string& relative)
{
    fs::path full;
    if (!prepare(relative, full)) return false;
    std::error_code ec;
    fs::copy_file(source, full, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        fail(source.string() + ": cannot copy to " + full.string() + ": " + ec.message());
        return false;
    }
    return true;
}

} // namespace content
