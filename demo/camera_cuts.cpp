#include "demo/camera_cuts.h"

AnimCamera* CameraCuts::cut(float time) {
    const auto count = static_cast<std::uint32_t>(cameras.size());
    while (index_ < count && time > cameras[index_]->endTime) ++index_;
    if (count == 0) return nullptr;
    return cameras[index_ < count ? index_ : count - 1].get();
}
