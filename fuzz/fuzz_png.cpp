// PNG decoder on arbitrary bytes, through the entry the file loader uses.
#include "fuzz/image_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Image image;
    const bool ok = decodePng(data, size, "input.png", image);
    checkDecoded(ok, image, false);
    return 0;
}
