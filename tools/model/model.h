#pragma once
// Meshes and models: shapes grouped by material into the submeshes of named
// meshes, and the conversion to the engine's Geometry (written with the
// geometry writer).
#include "tools/model/shape.h"

#include "content/geometry/geometry.h"
#include "math/mat4.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace model {

// What the material of a submesh reads from its vertices.
struct SurfaceNeeds {
    bool diffuse = false;    // diffuse texture coordinates
    bool normalMap = false;  // tangents
    bool lightmap = false;   // light-map coordinates
    float tile = 100.0f;     // centimetres per repeat of the diffuse texture
};
// The vertex format that carries what `needs` asks for: 1 (position and
// normal), 2 (+ diffuse coordinates), 3 (+ light-map coordinates), 4
// (diffuse coordinates and tangent) or 5 (all). -1 when a light map or normal
// map is asked for without diffuse coordinates (no program draws that).
int vertexFormatFor(const SurfaceNeeds& needs);

// A named part of a model, drawn with one matrix. Its shapes are kept one
// per material (add merges), and each becomes one submesh, in the order the
// materials first appear.
struct ModelMesh {
    std::string name;
    int id = 0;
    sm::Mat4 fileTransform;  // stored when the model's version is not 0
    float lightmapTexel = 6.0f;  // centimetres per light-map texel, when the mesh is light-mapped
    std::vector<Shape> shapes;

    void add(const Shape& shape);
    Shape* find(const std::string& material);
    std::size_t triangleCount() const;
};

struct Model {
    std::vector<ModelMesh> meshes;
    // 0 writes mesh records without file transforms; 1 stores each mesh's
    // fileTransform (the "QLNMDL" header is always written).
    int version = 0;

    ModelMesh& addMesh(const std::string& name, int id);
    ModelMesh* findMesh(const std::string& name);
    std::size_t triangleCount() const;
};

// Says what a material of a mesh needs; false for a material it does not know.
using SurfaceLookup = std::function<bool(const ModelMesh& mesh, const std::string& material, SurfaceNeeds& needs)>;

// The model as a Geometry: one submesh per material of each mesh, vertices in
// the format the material needs (tangents computed here), diffuse
// coordinates divided by the tile size, the light-map coordinates of the
// unwrap. Null with the reason (naming the mesh and material) for a material
// the lookup does not know or a format no program can draw.
std::unique_ptr<Geometry> buildGeometry(const Model& model, const SurfaceLookup& lookup, std::string* error);

} // namespace model
