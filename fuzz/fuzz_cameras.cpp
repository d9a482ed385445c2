// Camera list reader on arbitrary bytes; accepted cameras are asked for
// their field of view and eye position.
#include "anim/camera_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CameraList list;
    if (!parseCameras(data, size, list)) return 0;
    for (const auto& cam : list) {
        sm::Vec3 eye;
        cam->position(eye);
        cam->fov(1.0f);
    }
    return 0;
}
