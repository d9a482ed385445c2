#include "demo/fan.h"

#include "content/content_manager.h"
#include "content/geometry/geometry.h"
#include "math/scalar.h"

namespace {

sm::Mat4 rotationX(float angle) {
    const float c = sm::fcos(angle);
    const float s = sm::fsin(angle);
    sm::Mat4 m;
    m.a[5] = c;
    m.a[6] = s;
    m.a[9] = -s;
    m.a[10] = c;
    return m;
}

}  // namespace

Fan::Fan(const ContentManager& content) : content_(content) {}

void Fan::init() {
    geometry_ = content_.findGeometry("fan");
    angle_ = 0.0f;
}

void Fan::update(float time, float dt) {
    if (!geometry_) return;
    if (time >= kStopTime) {
        for (const auto& mesh : geometry_->meshes) sm::identity(mesh->renderMatrixValue);
        return;
    }
    angle_ += dt * kSpinRate;
    const sm::Mat4 spin = rotationX(angle_);
    for (const auto& mesh : geometry_->meshes)
        mesh->renderMatrixValue = mesh->fileTransformInverse * spin * mesh->fileTransform;
}

const std::vector<SubMesh*>& Fan::submeshes() const {
    return geometry_ ? geometry_->allSubMeshes : GameObject::submeshes();
}

void Fan::problems(std::vector<std::string>& out) const {
    if (!geometry_) out.push_back("no geometry \"fan\": the wall fan is not drawn");
}
