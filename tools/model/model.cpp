#include "tools/model/model.h"

#include "content/geometry/vertex_format.h"
#include "tools/model/surface.h"

namespace model {

int vertexFormatFor(const SurfaceNeeds& needs)
{
    if (!needs.diffuse) return needs.lightmap || needs.normalMap ? -1 : 1;
    if (needs.normalMap) return needs.lightmap ? 5 : 4;
    return needs.lightmap ? 3 : 2;
}

void ModelMesh::add(const Shape& shape)
{
    if (Shape* existing = find(shape.material)) existing->append(shape);
    else shapes.push_back(shape);
}

Shape* ModelMesh::find(const std::string& material)
{
    for (Shape& s : shapes)
        if (s.material == material) return &s;
    return nullptr;
}

std::size_t ModelMesh::triangleCount() const
{
    std::size_t n = 0;
    for (const Shape& s : shapes) n += s.triangles.size();
    return n;
}

ModelMesh& Model::addMesh(const std::string& name, int id)
{
    meshes.push_back({});
    meshes.back().name = name;
    meshes.back().id = id;
    return meshes.back();
}

ModelMesh* Model::findMesh(const std::string& name)
{
    for (ModelMesh& m : meshes)
        if (m.name == name) return &m;
    return nullptr;
}

std::size_t Model::triangleCount() const
{
    std::size_t n = 0;
    for (const ModelMesh& m : meshes) n += m.triangleCount();
    return n;
}

std::unique_ptr<Geometry> buildGeometry(const Model& model, const SurfaceLookup& lookup, std::string* error)
{
    auto geometry = std::make_unique<Geometry>();
    geometry->hasHeader = true;
    geometry->version = static_cast<std::uint16_t>(model.version);
    for (const ModelMesh& mm : model.meshes) {
        Mesh* mesh = geometry->addMesh(mm.id, mm.name);
        mesh->fileTransform = mm.fileTransform;
        mesh->fileTransformInverse = sm::inverse(mm.fileTransform);
        for (const Shape& original : mm.shapes) {
            SurfaceNeeds needs;
            std::string where = "mesh \"" + mm.name + "\", material \"" + original.material + "\"";
            if (!lookup(mm, original.material, needs)) {
                if (error) *error = where + ": unknown material";
                return nullptr;
            }
            int format = vertexFormatFor(needs);
            if (format < 0) {
                if (error) *error = where + ": a normal or light map needs diffuse coordinates";
                return nullptr;
            }
            Shape shape = original;
            if (needs.normalMap) computeTangents(shape);
            const VertexLayout& layout = *vertexLayout(format);
            const int floats = layout.stride / 4;
            std::vector<float> data(shape.triangles.size() * 3 * static_cast<std::size_t>(floats), 0.0f);
            std::size_t at = 0;
            auto put = [&](int offset, std::initializer_list<float> values) {
                if (offset < 0) return;
                std::size_t k = at + static_cast<std::size_t>(offset / 4);
                for (float v : values) data[k++] = v;
            };
            for (const Triangle& t : shape.triangles)
                for (int c = 0; c < 3; ++c) {
                    const Vertex& v = shape.vertices[t.v[c]];
                    put(layout.position, {v.position.x, v.position.y, v.position.z});
                    put(layout.diffuseUv, {v.uv.x / needs.tile, v.uv.y / needs.tile});
                    put(layout.lightmapUv, {t.lightUv[c].x, t.lightUv[c].y});
                    put(layout.normal, {v.normal.x, v.normal.y, v.normal.z});
                    put(layout.tangent, {v.tangent.x, v.tangent.y, v.tangent.z});
                    at += static_cast<std::size_t>(floats);
                }
            SubMesh* sub = mesh->addSubMesh();
            sub->materialName = shape.material;
            sub->setVertices(format, data);
        }
    }
    geometry->refreshSubMeshList();
    return geometry;
}

} // namespace model
