#pragma once

#include <vector>

#include "math/mat4.h"

class SubMesh;

// The authors' keys and mouse click. They print the camera matrix and
// keyframe calls into the log as source lines ready to paste, nudge the two
// shadow bias values and strip the light maps. They work on the show's own
// values, handed over at construction, and are always active.
//
//   click  "changeGreetzProp->SetValue(%d, %.4f);"  greetzToggle, then it flips
//   B      fovToggle flips, then "m_fovAnim->SetValue(%d, %.4f);"
//   C / L  "Camera" / "Light", the 16 elements of the main view, an empty line
//   T / G  biasScale / biasClamp += 0.0001
//   X      every scene submesh loses its light map
class DeveloperTools {
public:
    DeveloperTools(const sm::Mat4& mainView, float& biasScale, float& biasClamp,
                   const std::vector<SubMesh*>& sceneSubmeshes);

    // The time the tools print as a keyframe time: the music time of the
    // frame on screen, in milliseconds. The show sets it every frame.
    void setToolClock(float musicTimeMs) { toolClockMs = musicTimeMs; }

    void onClick();
    // Windows virtual-key codes; letters are upper case whatever the Shift
    // state. Keys without a tool do nothing.
    void onKeyDown(int virtualKey);

    int greetzToggle = 1;
    int fovToggle = 0;
    float toolClockMs = 0.0f;

private:
    void logMatrix(const char* title, const char* line) const;

    const sm::Mat4& mainView_;
    float& biasScale_;
    float& biasClamp_;
    const std::vector<SubMesh*>& sceneSubmeshes_;
};
