#include "demo/developer_tools.h"

#include "app/log.h"
#include "app/main_loop.h"
#include "content/geometry/geometry.h"

namespace {

// How far one press of T or G moves a bias value.
constexpr float kBiasStep = 0.0001f;

}  // namespace

DeveloperTools::DeveloperTools(const sm::Mat4& mainView, float& biasScale, float& biasClamp,
                               const std::vector<SubMesh*>& sceneSubmeshes)
    : mainView_(mainView), biasScale_(biasScale), biasClamp_(biasClamp), sceneSubmeshes_(sceneSubmeshes) {}

void DeveloperTools::onClick() {
    logMessage("changeGreetzProp->SetValue(%d, %.4f);", greetzToggle,
               toolClockMs / 1000.0f - kStartOffsetMs / 1000.0f);
    greetzToggle = greetzToggle == 1 ? 0 : 1;
}

void DeveloperTools::onKeyDown(int virtualKey) {
    switch (virtualKey) {
        case 'B':
            fovToggle = fovToggle == 0 ? 1 : 0;
            logMessage("m_fovAnim->SetValue(%d, %.4f);", fovToggle, toolClockMs / 1000.0f);
            break;
        case 'C':
            logMatrix("Camera", "m_view.a[%d] = %.4ff;");
            break;
        case 'L':
            // The scene light rides with the main camera.
            logMatrix("Light", "lightTransform.a[%d] = %.4ff;");
            break;
        case 'T':
            biasScale_ += kBiasStep;
            break;
        case 'G':
            biasClamp_ += kBiasStep;
            break;
        case 'X':
            for (SubMesh* submesh : sceneSubmeshes_)
                if (submesh) submesh->lightMap = nullptr;
            break;
        default:
            break;
    }
}

void DeveloperTools::logMatrix(const char* title, const char* line) const {
    logMessage("%s", title);
    for (int i = 0; i < 16; ++i) logMessage(line, i, mainView_.a[i]);
    logMessage("%s", "");
}
