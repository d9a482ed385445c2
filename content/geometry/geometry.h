#pragma once

#include "anim/core/interpolator.h"
#include "anim/core/linear_interpolator.h"
#include "anim/core/state_interpolator.h"
#include "anim/core/tcb_interpolator.h"
#include "anim/core/transformable.h"
#include "math/mat4.h"
#include "math/vec.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

class Material;
struct Texture;
class Geometry;
class Mesh;

struct BoundingBox {
    float minX = 0, maxX = 0, minY = 0, maxY = 0, minZ = 0, maxZ = 0;
    float centreX = 0, centreY = 0, centreZ = 0;
};

struct BoundingSphere {
    float radius = 0, centreX = 0, centreY = 0, centreZ = 0;
};

// One vertex buffer with one vertex format and one material name.
class SubMesh {
public:
    unsigned int vertexBuffer = 0;  // GL buffer name, 0 until uploaded
    Material* material = nullptr;   // set by the content manager's resolve pass
    Texture* lightMap = nullptr;    // set by the light-map pass
    std::uint8_t vertexFormat = 0;  // 0 to 5
    std::int32_t vertexCount = 0;
    std::vector<std::uint8_t> vertices;  // vertexCount x stride bytes, kept after the upload
    Mesh* mesh = nullptr;
    BoundingBox bounds;
    BoundingSphere sphere;
    bool enabled = true;
    std::string materialName;
    bool hidden = false;

    // Sets format, count and bytes from whole vertices of float fields laid
    // out as the format says, and recomputes the bounds. Returns false (and
    // changes nothing) for an unknown format or a float count that is not a
    // whole number of vertices.
    bool setVertices(int format, const std::vector<float>& fields);
    // The bounding box and sphere of the positions.
    void computeBounds();
    // With vertexBuffer bound to GL_ARRAY_BUFFER, points the vertex attributes
    // of the format's fields at it (needs a current GL context).
    void setAttributePointers() const;
};

// Value type and animation kind codes of a mesh property, as stored.
enum PropertyValueType : std::int32_t { kPropBool = 0, kPropInt = 1, kPropFloat = 2, kPropVec3 = 3, kPropString = 4 };
enum PropertyAnimationKind : std::int32_t { kPropConstant = 0, kPropStep = 1, kPropLinear = 2, kPropTcb = 3 };

// The value of a property: a constant (a bool is kept as its stored byte),
// a curve, or nothing when the type and kind have no holder.
using PropertyValue =
    std::variant<std::monostate, std::uint8_t, std::int32_t, float, sm::Vec3, std::string,
                 std::unique_ptr<IInterpolator<bool>>, std::unique_ptr<IInterpolator<int>>,
                 std::unique_ptr<IInterpolator<float>>, std::unique_ptr<IInterpolator<sm::Vec3>>,
                 std::unique_ptr<IInterpolator<std::string>>>;

// A named, typed and possibly animated value attached to a mesh.
class MeshProperty {
public:
    std::string name;
    std::int32_t valueType = kPropBool;
    std::int32_t animationKind = kPropConstant;
    PropertyValue value;

    // Makes the empty holder that (animationKind, valueType) call for:
    // default constants, empty curves of the kind, or nothing.
    void createHolder();
    // The constant of type T, or null when the value is not one.
    template <class T> const T* constant() const { return std::get_if<T>(&value); }
    // The curve over T, or null when the value is not one.
    template <class T> IInterpolator<T>* curve() const {
        auto* p = std::get_if<std::unique_ptr<IInterpolator<T>>>(&value);
        return p ? p->get() : nullptr;
    }
};

// A named, transformable part of a geometry, made of submeshes.
class Mesh : public ITransformable {
public:
    std::int32_t meshId = 0;
    std::string name;
    sm::Mat4 fileTransform;         // from the file when its version is not 0
    sm::Mat4 fileTransformInverse;  // inverse of fileTransform
    std::vector<std::unique_ptr<SubMesh>> subMeshes;
    sm::Mat4 renderMatrixValue;  // written by the driving scene node
    sm::Mat4 nodeMatrixValue;
    Geometry* geometry = nullptr;
    bool castShadows = false;
    std::map<std::string, std::unique_ptr<MeshProperty>> properties;

    bool isCamera() const override { return false; }
    int id() const override { return meshId; }
    sm::Mat4& renderMatrix() override { return renderMatrixValue; }
    sm::Mat4& nodeMatrix() override { return nodeMatrixValue; }
    const sm::Mat4& modelMatrix() const override;

    // The property with exactly this name, or null.
    MeshProperty* findProperty(const std::string& propertyName) const;
    // Appends a submesh owned by this mesh and returns it.
    SubMesh* addSubMesh();
    // Stores the property under its name, replacing one of the same name.
    MeshProperty* addProperty(std::unique_ptr<MeshProperty> property);
    // The shadow flag that the "castShadows" property gives (see the reader).
    bool castShadowsFromProperty() const;
};

// One geometry file in memory.
class Geometry {
public:
    std::vector<std::unique_ptr<Mesh>> meshes;  // file order
    sm::Mat4 transform;                          // model transform; scene objects set it
    std::vector<SubMesh*> allSubMeshes;          // every submesh, meshes in order
    // How the file was (or is to be) stored: with the "QLNMDL" header or
    // without, and the header's version (0 without a header). Mesh records
    // carry a file transform when the version is not 0.
    bool hasHeader = false;
    std::uint16_t version = 0;

    Geometry() = default;
    Geometry(const Geometry&) = delete;
    Geometry& operator=(const Geometry&) = delete;

    // Appends every submesh of every mesh, meshes in order.
    void collectSubMeshes(std::vector<SubMesh*>& list) const;
    // The first mesh with exactly this name, or null.
    Mesh* findMesh(const std::string& meshName) const;
    // Appends a mesh owned by this geometry and returns it.
    Mesh* addMesh(std::int32_t id, const std::string& meshName);
    // Refills allSubMeshes.
    void refreshSubMeshList();
};
