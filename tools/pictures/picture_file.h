#pragma once
// What both picture writers do before encoding: check that the pixels match
// the picture's size and create the file.
#include "tools/pictures/canvas.h"

#include <cstdio>
#include <string>

namespace pictures {

// The new file open for binary writing, or null with `error` naming the file.
std::FILE* createPictureFile(const std::string& path, const Image& image, std::string& error);

} // namespace pictures
