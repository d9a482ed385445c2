#pragma once

#include <string>

// A path split into its directory (up to and including the last '\' or '/'),
// its base name and its extension (after the last dot of the file name, without
// the dot). Byte strings; nothing is converted or case-folded. A file name
// whose only dot leads (".hidden") has no extension.
class FilePath {
public:
    FilePath() = default;
    explicit FilePath(std::string path);

    std::string extension() const { return extension_; }
    std::string name() const { return name_; }
    // name, plus "." and the extension when there is one.
    std::string fileName() const;
    // directory followed by fileName.
    std::string fullPath() const;
    std::string directory() const { return directory_; }

private:
    std::string directory_;
    std::string name_;
    std::string extension_;
};
