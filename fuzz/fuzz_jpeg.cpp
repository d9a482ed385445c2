// JPEG decoder on arbitrary bytes, through the entry the file loader uses;
// whatever the colour space, a decoded picture is RGB.
#include "fuzz/image_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Image image;
    const bool ok = decodeJpeg(data, size, "input.jpg", image);
    checkDecoded(ok, image, true);
    return 0;
}
