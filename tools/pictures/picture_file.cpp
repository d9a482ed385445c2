#include "tools/pictures/picture_file.h"

namespace pictures {

std::FILE* createPictureFile(const std::string& path, const Image& image, std::string& error)
{
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<size_t>(image.width) * image.height * image.channels) {
        error = path + ": picture size does not match its pixels";
        return nullptr;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) error = path + ": cannot create the file";
    return file;
}

} // namespace pictures
