#include "tools/capture/output_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace capture {

PendingFile::PendingFile(std::string path) : path_(std::move(path))
{
    fs::path p(path_);
    fs::path name = "." + p.filename().string() + ".partial-" + std::to_string(::getpid());
    temporary_ = (p.parent_path() / name).string();
}

PendingFile::~PendingFile() { abandon(); }

bool PendingFile::commit(std::string& error)
{
    if (done_) return true;
    if (std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        error = path_ + ": cannot be written: " + std::strerror(errno);
        abandon();
        return false;
    }
    done_ = true;
    return true;
}

void PendingFile::abandon()
{
    if (done_) return;
    std::remove(temporary_.c_str());
    done_ = true;
}

bool prepareOutputFolder(const std::string& folder, std::string& error)
{
    std::error_code ec;
    fs::path dir = folder.empty() ? fs::path(".") : fs::path(folder);
    if (!fs::is_directory(dir, ec)) {
        if (fs::exists(dir, ec)) {
            error = folder + ": is not a folder";
            return false;
        }
        fs::create_directories(dir, ec);
        if (ec) {
            error = folder + ": cannot create the folder: " + ec.message();
            return false;
        }
    }
    // Permissions alone do not tell (root ignores them, a read-only file
    // system does not): create a file and remove it again.
    fs::path probe = dir / (".murmur-capture-probe-" + std::to_string(::getpid()));
    std::FILE* f = std::fopen(probe.c_str(), "wb");
    if (!f) {
        error = dir.string() + ": cannot write into the folder: " + std::strerror(errno);
        return false;
    }
    std::fclose(f);
    std::remove(probe.c_str());
    return true;
}

bool prepareOutputFile(const std::string& file, std::string& error)
{
    std::error_code ec;
    if (fs::is_directory(file, ec)) {
        error = file + ": is a folder";
        return false;
    }
    return prepareOutputFolder(fs::path(file).parent_path().string(), error);
}

} // namespace capture
