#include "content/geometry/geometry.h"

#include "content/geometry/vertex_format.h"
#include "math/scalar.h"

#include <cstring>

bool SubMesh::setVertices(int format, const std::vector<float>& fields) {
    const VertexLayout* layout = vertexLayout(format);
    if (!layout) return false;
    const std::size_t perVertex = static_cast<std::size_t>(layout->stride) / sizeof(float);
    if (fields.size() % perVertex != 0 || fields.size() / perVertex > 0x7fffffffu) return false;
    vertexFormat = static_cast<std::uint8_t>(format);
    vertexCount = static_cast<std::int32_t>(fields.size() / perVertex);
    vertices.resize(fields.size() * sizeof(float));
    if (!fields.empty()) std::memcpy(vertices.data(), fields.data(), vertices.size());
    computeBounds();
    return true;
}

void SubMesh::computeBounds() {
    bounds = BoundingBox{};
    sphere = BoundingSphere{};
    const VertexLayout* layout = vertexLayout(vertexFormat);
    if (!layout || vertexCount <= 0) return;
    const auto stride = static_cast<std::size_t>(layout->stride);
    const std::size_t count = std::min(static_cast<std::size_t>(vertexCount), vertices.size() / stride);
    for (std::size_t i = 0; i < count; ++i) {
        float p[3];
        std::memcpy(p, vertices.data() + i * stride + static_cast<std::size_t>(layout->position), sizeof p);
        if (i == 0) {
            bounds.minX = bounds.maxX = p[0];
            bounds.minY = bounds.maxY = p[1];
            bounds.minZ = bounds.maxZ = p[2];
            continue;
        }
        bounds.minX = std::min(bounds.minX, p[0]);
        bounds.maxX = std::max(bounds.maxX, p[0]);
        bounds.minY = std::min(bounds.minY, p[1]);
        bounds.maxY = std::max(bounds.maxY, p[1]);
        bounds.minZ = std::min(bounds.minZ, p[2]);
        bounds.maxZ = std::max(bounds.maxZ, p[2]);
    }
    bounds.centreX = (bounds.minX + bounds.maxX) / 2;
    bounds.centreY = (bounds.minY + bounds.maxY) / 2;
    bounds.centreZ = (bounds.minZ + bounds.maxZ) / 2;
    sphere.centreX = bounds.centreX;
    sphere.centreY = bounds.centreY;
    sphere.centreZ = bounds.centreZ;
    const float dx = bounds.maxX - bounds.centreX, dy = bounds.maxY - bounds.centreY,
                dz = bounds.maxZ - bounds.centreZ;
    sphere.radius = sm::fsqrt(dx * dx + dy * dy + dz * dz);
}

void MeshProperty::createHolder() {
    value = std::monostate{};
    if (animationKind == kPropConstant) {
        switch (valueType) {
        case kPropBool: value = std::uint8_t{0}; break;
        case kPropInt: value = std::int32_t{0}; break;
        case kPropFloat: value = 0.0f; break;
        case kPropVec3: value = sm::Vec3{}; break;
        case kPropString: value = std::string(); break;
        default: break;
        }
        return;
    }
    if (animationKind == kPropStep) {
        switch (valueType) {
        case kPropBool: value = std::unique_ptr<IInterpolator<bool>>(new StateInterpolator<bool>); break;
        case kPropInt: value = std::unique_ptr<IInterpolator<int>>(new StateInterpolator<int>); break;
        case kPropFloat: value = std::unique_ptr<IInterpolator<float>>(new StateInterpolator<float>); break;
        case kPropVec3: value = std::unique_ptr<IInterpolator<sm::Vec3>>(new StateInterpolator<sm::Vec3>); break;
        case kPropString:
            value = std::unique_ptr<IInterpolator<std::string>>(new StateInterpolator<std::string>);
            break;
        default: break;
        }
        return;
    }
    if (animationKind == kPropLinear) {
        switch (valueType) {
        case kPropInt: value = std::unique_ptr<IInterpolator<int>>(new LinearInterpolator<int>); break;
        case kPropFloat: value = std::unique_ptr<IInterpolator<float>>(new LinearInterpolator<float>); break;
        case kPropVec3: value = std::unique_ptr<IInterpolator<sm::Vec3>>(new LinearInterpolator<sm::Vec3>); break;
        default: break;
        }
        return;
    }
    if (animationKind == kPropTcb) {
        switch (valueType) {
        case kPropInt: value = std::unique_ptr<IInterpolator<int>>(new TCBInterpolator<int>); break;
        case kPropFloat: value = std::unique_ptr<IInterpolator<float>>(new TCBInterpolator<float>); break;
        case kPropVec3: value = std::unique_ptr<IInterpolator<sm::Vec3>>(new TCBInterpolator<sm::Vec3>); break;
        default: break;
        }
    }
}

const sm::Mat4& Mesh::modelMatrix() const {
    static const sm::Mat4 kIdentity;
    return geometry ? geometry->transform : kIdentity;
}

MeshProperty* Mesh::findProperty(const std::string& propertyName) const {
    auto it = properties.find(propertyName);
    return it == properties.end() ? nullptr : it->second.get();
}

SubMesh* Mesh::addSubMesh() {
    subMeshes.push_back(std::make_unique<SubMesh>());
    subMeshes.back()->mesh = this;
    return subMeshes.back().get();
}

MeshProperty* Mesh::addProperty(std::unique_ptr<MeshProperty> property) {
    auto& slot = properties[property->name];
    slot = std::move(property);
    return slot.get();
}

bool Mesh::castShadowsFromProperty() const {
    const MeshProperty* p = findProperty("castShadows");
    if (!p) return false;
    std::int32_t v = 0;
    if (p->animationKind == kPropConstant) {
        if (const auto* i = p->constant<std::int32_t>()) v = *i;
        else if (const auto* b = p->constant<std::uint8_t>()) v = *b;
        else return false;
    } else if (auto* c = p->curve<int>()) {
        if (c->keyCount() == 0) return false;
        int out = 0;
        c->evaluate(0.0f, out, 0);
        v = out;
    } else if (auto* c = p->curve<bool>()) {
        if (c->keyCount() == 0) return false;
        bool out = false;
        c->evaluate(0.0f, out, 0);
        v = out ? 1 : 0;
    } else {
        return false;
    }
    return v == 1;
}

void Geometry::collectSubMeshes(std::vector<SubMesh*>& list) const {
    for (const auto& mesh : meshes)
        for (const auto& sub : mesh->subMeshes) list.push_back(sub.get());
}

Mesh* Geometry::findMesh(const std::string& meshName) const {
    for (const auto& mesh : meshes)
        if (mesh->name == meshName) return mesh.get();
    return nullptr;
}

Mesh* Geometry::addMesh(std::int32_t id, const std::string& meshName) {
    meshes.push_back(std::make_unique<Mesh>());
    Mesh* m = meshes.back().get();
    m->meshId = id;
    m->name = meshName;
    m->geometry = this;
    return m;
}

void Geometry::refreshSubMeshList() {
    allSubMeshes.clear();
    collectSubMeshes(allSubMeshes);
}
