#include "demo/factory.h"

#include "content/content_manager.h"
#include "content/geometry/geometry.h"

Factory::Factory(const ContentManager& content) : content_(content) {}

void Factory::init() { geometry_ = content_.findGeometry("factory"); }

const std::vector<SubMesh*>& Factory::submeshes() const {
    return geometry_ ? geometry_->allSubMeshes : GameObject::submeshes();
}

void Factory::problems(std::vector<std::string>& out) const {
    if (!geometry_) out.push_back("no geometry \"factory\": the factory hall is not drawn");
}
