#include "render/smoke_sources.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "content/geometry/geometry.h"
#include "content/geometry/vertex_format.h"

namespace {

// The value of a constant or curve property at time 0, int or float.
bool numberAtStart(const Mesh& mesh, const char* name, double& value, std::string& problem) {
    const MeshProperty* property = mesh.findProperty(name);
    if (!property) {
        problem = std::string("property \"") + name + "\" is missing";
        return false;
    }
    bool found = false;
    if (const std::int32_t* i = property->constant<std::int32_t>()) {
        value = *i;
        found = true;
    } else if (const float* f = property->constant<float>()) {
        value = *f;
        found = true;
    } else if (const IInterpolator<int>* curve = property->curve<int>()) {
        int v = 0;
        found = curve->keyCount() > 0;
        curve->evaluate(0.0f, v, 0);
        value = v;
    } else if (const IInterpolator<float>* curve = property->curve<float>()) {
        float v = 0.0f;
        found = curve->keyCount() > 0;
        curve->evaluate(0.0f, v, 0);
        value = v;
    } else {
        problem = std::string("property \"") + name + "\" is not a number";
        return false;
    }
    if (!found) {
        problem = std::string("property \"") + name + "\" has no keys";
        return false;
    }
    if (!std::isfinite(value)) {
        problem = std::string("property \"") + name + "\" is not a finite number";
        return false;
    }
    return true;
}

sm::Vec3 positionOf(const SubMesh& submesh, const VertexLayout& layout, int index) {
    float xyz[3];
    std::memcpy(xyz, submesh.vertices.data() + static_cast<std::size_t>(index) * layout.stride + layout.position,
                sizeof xyz);
    return {xyz[0], xyz[1], xyz[2]};
}

sm::Vec3 unit(sm::Vec3 v) { return sm::normalize(v); }

}  // namespace

bool readSmokeSource(const Mesh& mesh, SmokeSource& source, std::string& problem) {
    source = SmokeSource{};
    source.meshName = mesh.name;
    double rate = 0, lifeMin = 0, lifeMax = 0, sizeStart = 0, sizeEnd = 0, opacityStart = 0, opacityEnd = 0,
           speedStart = 0, speedEnd = 0;
    if (!numberAtStart(mesh, "particles_per_second", rate, problem) ||
        !numberAtStart(mesh, "life_time_min", lifeMin, problem) ||
        !numberAtStart(mesh, "life_time_max", lifeMax, problem) ||
        !numberAtStart(mesh, "size_start", sizeStart, problem) ||
        !numberAtStart(mesh, "size_end", sizeEnd, problem) ||
        !numberAtStart(mesh, "opacity_start", opacityStart, problem) ||
        !numberAtStart(mesh, "opacity_end", opacityEnd, problem) ||
        !numberAtStart(mesh, "speed_start", speedStart, problem) ||
        !numberAtStart(mesh, "speed_end", speedEnd, problem))
        return false;
    // The rate goes through float and is truncated; it must fit the counter.
    const float rateAsFloat = static_cast<float>(rate);
    if (!(rateAsFloat >= 0.0f) || rateAsFloat >= 4294967296.0f) {
        problem = "property \"particles_per_second\" is out of range";
        return false;
    }

    if (mesh.subMeshes.empty() || !mesh.subMeshes.front()) {
        problem = "it has no submesh";
        return false;
    }
    const SubMesh& submesh = *mesh.subMeshes.front();
    const VertexLayout* layout = vertexLayout(submesh.vertexFormat);
    if (!layout || submesh.vertexCount < 3 ||
        submesh.vertices.size() < 3 * static_cast<std::size_t>(layout->stride)) {
        problem = "its first submesh has fewer than three vertices";
        return false;
    }
    const sm::Vec3 p0 = positionOf(submesh, *layout, 0);
    const sm::Vec3 p1 = positionOf(submesh, *layout, 1);
    const sm::Vec3 p2 = positionOf(submesh, *layout, 2);

    source.corner = p0;
    source.edge1 = p1 - p0;
    source.edge2 = p2 - p0;
    source.normal = sm::cross(unit(source.edge1), unit(source.edge2));
    source.particlesPerSecond = static_cast<unsigned>(rateAsFloat);
    source.lifeMin = static_cast<float>(lifeMin);
    source.lifeMax = static_cast<float>(lifeMax);
    source.sizeStart = static_cast<float>(sizeStart) * 10.0f;
    source.sizeEnd = static_cast<float>(sizeEnd) * 10.0f;
    source.opacityStart = static_cast<float>(opacityStart);
    source.opacityEnd = static_cast<float>(opacityEnd);
    source.speedStart = static_cast<float>(speedStart);
    source.speedEnd = static_cast<float>(speedEnd);
    return true;
}

std::vector<SmokeSource> readSmokeSources(const Geometry& geometry, const std::string& geometryName,
                                          std::vector<std::string>* problems) {
    std::vector<SmokeSource> sources;
    for (const auto& mesh : geometry.meshes) {
        if (!mesh) continue;
        SmokeSource source;
        std::string problem;
        if (readSmokeSource(*mesh, source, problem))
            sources.push_back(std::move(source));
        else if (problems)
            problems->push_back("geometry " + geometryName + ", mesh \"" + mesh->name + "\" gives no smoke: " + problem);
    }
    return sources;
}
