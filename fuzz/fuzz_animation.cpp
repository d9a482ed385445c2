// Animation reader on arbitrary bytes: null or a tree; an accepted tree is
// walked and updated once.
#include "anim/animation_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto root = parseAnimation(data, size);
    if (!root) return 0;
    root->duration();
    root->updateNode(0.5f, 0.0f, sm::Mat4{});
    return 0;
}
