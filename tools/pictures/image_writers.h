#pragma once
// PNG and JPEG files from 8-bit pictures. Both writers are deterministic: the
// same pixels give the same bytes (no time stamps, fixed settings).
#include "tools/pictures/canvas.h"

#include <string>

namespace pictures {

// 1 channel is written as grey, 3 as RGB, 4 as RGBA. On failure returns false
// and sets `error` to a message naming the file.
bool writePng(const std::string& path, const Image& image, std::string& error);

// 3 channels (RGB) or 1 (grey); quality 1..100.
bool writeJpeg(const std::string& path, const Image& image, int quality, std::string& error);

} // namespace pictures
