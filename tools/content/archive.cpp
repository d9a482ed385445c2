#include "tools/content/archive.h"

#include <minizip/zip.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

namespace content {

namespace fs = std::filesystem;

namespace {

constexpr uLong kDirectoryAttribute = 0x10; // MS-DOS "directory"
constexpr int kDeflateLevel = 6;
// The demo reads entry names into a buffer of 260 bytes, terminator included.
constexpr size_t kLongestName = 259;

bool nameFits(const std::string& name, std::string& error)
{
    if (name.size() <= kLongestName) return true;
    error = name + ": entry name longer than " + std::to_string(kLongestName) + " bytes";
    return false;
}

zip_fileinfo fixedInfo(bool directory)
{
    zip_fileinfo info{};
    // 2026-01-01 12:00:00, the same for every entry of every run.
    info.tmz_date.tm_year = 2026;
    info.tmz_date.tm_mon = 0; // January (0-based)
    info.tmz_date.tm_mday = 1;
    info.tmz_date.tm_hour = 12;
    info.dosDate = 0;
    info.internal_fa = 0;
    info.external_fa = directory ? kDirectoryAttribute : 0;
    return info;
}

bool isPrecompressed(const fs::path& file)
{
    std::string ext = file.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".png" || ext == ".jpg" || ext == ".mp3";
}

class ZipWriter {
public:
    explicit ZipWriter(const fs::path& path) : path_(path) { zip_ = zipOpen(path.string().c_str(), APPEND_STATUS_CREATE); }
    ~ZipWriter()
    {
        if (zip_) zipClose(zip_, nullptr);
    }
    bool ok() const { return zip_ != nullptr; }

    bool addFolder(const std::string& name, std::string& error)
    {
        if (!nameFits(name, error)) return false;
        zip_fileinfo info = fixedInfo(true);
        if (zipOpenNewFileInZip(zip_, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, 0, 0) != ZIP_OK ||
            zipCloseFileInZip(zip_) != ZIP_OK) {
            error = path_.string() + ": cannot add the folder entry " + name;
            return false;
        }
        return true;
    }

    bool addFile(const std::string& name, const fs::path& source, std::string& error)
    {
        if (!nameFits(name, error)) return false;
        std::ifstream in(source, std::ios::binary);
        if (!in) {
            error = source.string() + ": cannot read the file";
            return false;
        }
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad()) {
            error = source.string() + ": read failed";
            return false;
        }
        zip_fileinfo info = fixedInfo(false);
        bool store = isPrecompressed(source);
        if (zipOpenNewFileInZip(zip_, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, store ? 0 : Z_DEFLATED,
                                store ? 0 : kDeflateLevel) != ZIP_OK) {
            error = path_.string() + ": cannot add the entry " + name;
            return false;
        }
        bool written = bytes.empty() ||
                       zipWriteInFileInZip(zip_, bytes.data(), static_cast<unsigned>(bytes.size())) == ZIP_OK;
        if (zipCloseFileInZip(zip_) != ZIP_OK || !written) {
            error = path_.string() + ": cannot write the entry " + name;
            return false;
        }
        return true;
    }

    bool close(std::string& error)
    {
        int result = zipClose(zip_, nullptr);
        zip_ = nullptr;
        if (result != ZIP_OK) {
            error = path_.string() + ": cannot finish the archive";
            return false;
        }
        return true;
    }

private:
    fs::path path_;
    zipFile zip_ = nullptr;
};

bool addTree(ZipWriter& zip, const fs::path& folder, const std::string& entryPrefix, std::string& error)
{
    if (!zip.addFolder(entryPrefix, error)) return false;
    std::vector<fs::path> files, folders;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_directory()) folders.push_back(it->path());
        else if (it->is_regular_file()) files.push_back(it->path());
    }
    if (ec) {
        error = folder.string() + ": cannot list the folder: " + ec.message();
        return false;
    }
    auto byName = [](const fs::path& a, const fs::path& b) { return a.filename().string() < b.filename().string(); };
    std::sort(files.begin(), files.end(), byName);
    std::sort(folders.begin(), folders.end(), byName);
    for (const fs::path& file : files)
        if (!zip.addFile(entryPrefix + file.filename().string(), file, error)) return false;
    for (const fs::path& sub : folders)
        if (!addTree(zip, sub, entryPrefix + sub.filename().string() + "/", error)) return false;
    return true;
}

} // namespace

bool packFolder(const fs::path& folderPath, const fs::path& zipPath, std::string& error)
{
    fs::path folder = folderPath.lexically_normal();
    if (folder.filename().empty()) folder = folder.parent_path();
    if (!fs::is_directory(folder)) {
        error = folder.string() + ": no such folder to pack";
        return false;
    }
    fs::path partial = zipPath;
    partial += ".partial";
    bool packed = false;
    {
        ZipWriter zip(partial);
        if (!zip.ok()) {
            error = partial.string() + ": cannot create the archive";
            return false;
        }
        packed = addTree(zip, folder, folder.filename().string() + "/", error) && zip.close(error);
    }
    std::error_code ec;
    if (!packed) {
        fs::remove(partial, ec);
        return false;
    }
    fs::rename(partial, zipPath, ec);
    if (ec) {
        error = zipPath.string() + ": cannot move the archive in place: " + ec.message();
        fs::remove(partial, ec);
        return false;
    }
    return true;
}

} // namespace content
