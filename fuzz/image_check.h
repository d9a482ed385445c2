#pragma once

#include "content/image.h"
#include "content/image_limits.h"
#include "fuzz/fuzz_check.h"

// What a decoder leaves behind: nothing on failure; on success a picture
// within the side limit whose pixels fill exactly width x height x channels.
inline void checkDecoded(bool ok, const Image& image, bool rgbOnly) {
    if (!ok) {
        require(image.pixels.empty() && image.width == 0 && image.height == 0 && image.channels == 0,
                "a failed decode leaves an empty picture");
        return;
    }
    require(image.width > 0 && image.height > 0, "a decoded picture has pixels");
    require(image.width <= kMaxImageSide && image.height <= kMaxImageSide, "a decoded picture is within the limit");
    require(image.channels == 3 || (!rgbOnly && image.channels == 4), "a decoded picture is RGB or RGBA");
    require(image.pixels.size() == image.rowBytes() * image.height, "the pixels fill the picture exactly");
}
