#include "content/file_path.h"

FilePath::FilePath(std::string path) {
    if (path.empty()) return;
    const size_t separator = path.find_last_of("\\/");
    std::string file;
    if (separator != std::string::npos) {
        directory_ = path.substr(0, separator + 1);
        file = path.substr(separator + 1);
    } else {
        file = std::move(path);
    }
    const size_t dot = file.rfind('.');
    if (dot == std::string::npos || dot == 0) {
        name_ = std::move(file);
        return;
    }
    extension_ = file.substr(dot + 1);
    name_ = file.substr(0, dot);
}

std::string FilePath::fileName() const {
    if (extension_.empty()) return name_;
    return name_ + "." + extension_;
}

std::string FilePath::fullPath() const { return directory_ + fileName(); }
