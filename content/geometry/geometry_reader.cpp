#include "content/geometry/geometry_reader.h"

#include "content/geometry/binary_cursor.h"
#include "content/geometry/vertex_format.h"

#include <cstring>

namespace {

// Reads keyCount keys of (time, value) and appends them to the curve (when
// there is one). Keys of types without a value in the file are times alone.
template <class T, class ReadValue>
void readKeys(BinaryCursor& c, std::int32_t count, IInterpolator<T>* curve, std::size_t keySize, ReadValue read) {
    if (count <= 0 || !c.canRead(count, keySize)) return;
    for (std::int32_t k = 0; k < count && c.ok(); ++k) {
        const float time = c.readFloat32();
        T v = read();
        if (curve && c.ok()) curve->appendKey(time, v, false);
    }
}

std::unique_ptr<MeshProperty> readProperty(BinaryCursor& c) {
    auto p = std::make_unique<MeshProperty>();
    p->name = c.readString();
    p->valueType = c.readUInt8();
    p->animationKind = c.readUInt8();
    if (!c.ok()) return nullptr;
    p->createHolder();
    if (p->animationKind == kPropConstant) {
        switch (p->valueType) {
        case kPropBool: p->value = c.readUInt8(); break;
        case kPropInt: p->value = c.readInt32(); break;
        case kPropFloat: p->value = c.readFloat32(); break;
        case kPropVec3: {
            sm::Vec3 v;
            v.x = c.readFloat32();
            v.y = c.readFloat32();
            v.z = c.readFloat32();
            p->value = v;
            break;
        }
        case kPropString: p->value = c.readString(); break;
        default: break;  // stores nothing
        }
        return p;
    }
    const std::int32_t count = c.readInt32();
    if (p->valueType == kPropInt) {
        readKeys<int>(c, count, p->curve<int>(), 8, [&] { return static_cast<int>(c.readInt32()); });
    } else if (p->valueType == kPropFloat) {
        readKeys<float>(c, count, p->curve<float>(), 8, [&] { return c.readFloat32(); });
    } else {
        // A key of any other type is its time alone and adds nothing.
        IInterpolator<float>* none = nullptr;
        readKeys<float>(c, count, none, 4, [] { return 0.0f; });
    }
    return p;
}

bool readSubMesh(BinaryCursor& c, SubMesh& s) {
    s.materialName = c.readString();
    s.vertexFormat = c.readUInt8();
    s.vertexCount = c.readInt32();
    if (!c.ok()) return false;
    const VertexLayout* layout = vertexLayout(s.vertexFormat);
    if (!layout) {
        c.fail("unknown vertex format " + std::to_string(s.vertexFormat) + " in submesh \"" + s.materialName +
               "\"");
        return false;
    }
    if (s.vertexCount < 0) {
        c.fail("negative vertex count " + std::to_string(s.vertexCount) + " in submesh \"" + s.materialName +
               "\"");
        return false;
    }
    if (!c.canRead(s.vertexCount, static_cast<std::size_t>(layout->stride))) return false;
    s.vertices.resize(static_cast<std::size_t>(s.vertexCount) * static_cast<std::size_t>(layout->stride));
    if (!c.readBytes(s.vertices.data(), s.vertices.size())) return false;
    s.computeBounds();
    return true;
}

bool readMesh(BinaryCursor& c, Mesh& m, std::uint16_t version) {
    m.meshId = c.readInt32();
    m.name = c.readString();
    if (version != 0) {
        for (float& f : m.fileTransform.a) f = c.readFloat32();
        m.fileTransformInverse = sm::inverse(m.fileTransform);
    }
    const std::int32_t subMeshCount = c.readInt32();
    // Every submesh record takes at least 9 bytes: a fit check before looping.
    if (subMeshCount > 0 && !c.canRead(subMeshCount, 9)) return false;
    for (std::int32_t i = 0; i < subMeshCount && c.ok(); ++i)
        if (!readSubMesh(c, *m.addSubMesh())) return false;
    const std::int32_t propertyCount = c.readInt32();
    if (propertyCount > 0 && !c.canRead(propertyCount, 6)) return false;
    for (std::int32_t i = 0; i < propertyCount && c.ok(); ++i) {
        auto p = readProperty(c);
        if (!p || !c.ok()) return false;
        m.addProperty(std::move(p));
    }
    if (!c.ok()) return false;
    m.castShadows = m.castShadowsFromProperty();
    return true;
}

}  // namespace

std::unique_ptr<Geometry> parseGeometry(const std::uint8_t* data, std::size_t size, std::string* error) {
    auto g = std::make_unique<Geometry>();
    std::size_t start = 0;
    if (size >= 8 && std::memcmp(data, kGeometryMagic, sizeof kGeometryMagic) == 0) {
        g->hasHeader = true;
        std::memcpy(&g->version, data + 6, sizeof g->version);
        start = 8;
    }
    BinaryCursor c(data, size, start);
    const std::int32_t meshCount = c.readInt32();
    // A mesh record takes at least 12 bytes (id, name length, submesh count).
    if (meshCount > 0 && c.canRead(meshCount, 12)) {
        for (std::int32_t i = 0; i < meshCount && c.ok(); ++i) {
            Mesh* m = g->addMesh(0, {});
            if (!readMesh(c, *m, g->version)) break;
        }
    }
    if (!c.ok()) {
        if (error) *error = c.error();
        return nullptr;
    }
    g->refreshSubMeshList();
    return g;
}

std::unique_ptr<Geometry> readGeometryFile(const std::string& path, std::string* error) {
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes)) {
        if (error) *error = "cannot be opened or read";
        return nullptr;
    }
    return parseGeometry(bytes.data(), bytes.size(), error);
}

Geometry* loadGeometry(const std::string& path) {
    auto g = readGeometryFile(path);
    if (!g) return nullptr;
    uploadGeometry(*g);
    return g.release();
}
