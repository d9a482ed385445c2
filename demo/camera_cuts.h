#pragma once

#include <cstdint>

#include "anim/camera_file.h"

// A camera list cut by time: the current camera gives way to the next on
// the first frame whose time is strictly past its end time, the index only
// moves forward, and the last camera stays on after its end.
class CameraCuts {
public:
    CameraList cameras;

    // Moves past every camera whose end time is less than time and returns
    // the camera to show; null when the list is empty.
    AnimCamera* cut(float time);
    // The current index (the list's length once the last camera has ended).
    std::uint32_t index() const { return index_; }

private:
    std::uint32_t index_ = 0;
};
