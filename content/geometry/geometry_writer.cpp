#include "content/geometry/geometry_writer.h"

#include "content/geometry/byte_writer.h"
#include "content/geometry/geometry_reader.h"
#include "content/geometry/vertex_format.h"

#include <limits>

namespace {

bool fail(std::string* error, const std::string& reason) {
    if (error) *error = reason;
    return false;
}

template <class T, class WriteValue>
void writeKeys(ByteWriter& w, IInterpolator<T>* curve, WriteValue write) {
    const int n = curve ? curve->keyCount() : 0;
    w.writeInt32(n);
    for (int i = 0; i < n; ++i) {
        float time = 0;
        T v{};
        bool step = false;
        curve->getKey(i, time, v, step);
        w.writeFloat32(time);
        write(v);
    }
}

bool writeProperty(ByteWriter& w, const MeshProperty& p, const std::string& where, std::string* error) {
    if (p.valueType < 0 || p.valueType > 255 || p.animationKind < 0 || p.animationKind > 255)
        return fail(error, where + ": type or kind code does not fit a byte");
    // The holder must be the one the reader would create for these codes.
    MeshProperty expected;
    expected.valueType = p.valueType;
    expected.animationKind = p.animationKind;
    expected.createHolder();
    if (expected.value.index() != p.value.index())
        return fail(error, where + ": value does not match type " + std::to_string(p.valueType) + " and kind " +
                               std::to_string(p.animationKind));
    w.writeString(p.name);
    w.writeUInt8(static_cast<std::uint8_t>(p.valueType));
    w.writeUInt8(static_cast<std::uint8_t>(p.animationKind));
    if (p.animationKind == kPropConstant) {
        if (auto* b = p.constant<std::uint8_t>()) w.writeUInt8(*b);
        else if (auto* i = p.constant<std::int32_t>()) w.writeInt32(*i);
        else if (auto* f = p.constant<float>()) w.writeFloat32(*f);
        else if (auto* v = p.constant<sm::Vec3>()) {
            w.writeFloat32(v->x);
            w.writeFloat32(v->y);
            w.writeFloat32(v->z);
        } else if (auto* s = p.constant<std::string>()) w.writeString(*s);
        return true;
    }
    if (auto* c = p.curve<int>()) {
        writeKeys<int>(w, c, [&](int v) { w.writeInt32(v); });
    } else if (auto* c = p.curve<float>()) {
        writeKeys<float>(w, c, [&](float v) { w.writeFloat32(v); });
    } else {
        // Keys of the other types hold no value in the file; a curve holding
        // keys would come back empty.
        int n = 0;
        if (auto* b = p.curve<bool>()) n = b->keyCount();
        else if (auto* v = p.curve<sm::Vec3>()) n = v->keyCount();
        else if (auto* s = p.curve<std::string>()) n = s->keyCount();
        if (n != 0) return fail(error, where + ": keys of this type cannot be stored");
        w.writeInt32(0);
    }
    return true;
}

}  // namespace

bool writeGeometry(const Geometry& g, std::vector<std::uint8_t>& out, std::string* error) {
    ByteWriter w;
    if (g.hasHeader) {
        w.writeBytes(kGeometryMagic, sizeof kGeometryMagic);
        w.writeUInt16(g.version);
    } else if (g.version != 0) {
        return fail(error, "version " + std::to_string(g.version) + " needs the header");
    }
    constexpr auto kMax = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    if (g.meshes.size() > kMax) return fail(error, "too many meshes");
    w.writeInt32(static_cast<std::int32_t>(g.meshes.size()));
    for (const auto& m : g.meshes) {
        const std::string where = "mesh \"" + m->name + "\"";
        w.writeInt32(m->meshId);
        w.writeString(m->name);
        if (g.version != 0)
            for (float f : m->fileTransform.a) w.writeFloat32(f);
        w.writeInt32(static_cast<std::int32_t>(m->subMeshes.size()));
        for (const auto& s : m->subMeshes) {
            const VertexLayout* layout = vertexLayout(s->vertexFormat);
            if (!layout) return fail(error, where + ": unknown vertex format " + std::to_string(s->vertexFormat));
            if (s->vertexCount < 0 ||
                s->vertices.size() != static_cast<std::size_t>(s->vertexCount) * static_cast<std::size_t>(layout->stride))
                return fail(error, where + ", submesh \"" + s->materialName + "\": " +
                                       std::to_string(s->vertices.size()) + " vertex bytes for " +
                                       std::to_string(s->vertexCount) + " vertices of " +
                                       std::to_string(layout->stride) + " bytes");
            w.writeString(s->materialName);
            w.writeUInt8(s->vertexFormat);
            w.writeInt32(s->vertexCount);
            w.writeBytes(s->vertices.data(), s->vertices.size());
        }
        w.writeInt32(static_cast<std::int32_t>(m->properties.size()));
        for (const auto& [name, p] : m->properties) {
            if (p->name != name)
                return fail(error, where + ": property \"" + p->name + "\" is filed under \"" + name + "\"");
            if (!writeProperty(w, *p, where + ", property \"" + name + "\"", error)) return false;
        }
        if (m->castShadows != m->castShadowsFromProperty())
            return fail(error, where + ": castShadows is " + (m->castShadows ? "set" : "clear") +
                                   " but its \"castShadows\" property says otherwise");
    }
    out = w.take();
    return true;
}

bool saveGeometry(const Geometry& geometry, const std::string& path, std::string* error) {
    std::vector<std::uint8_t> bytes;
    if (!writeGeometry(geometry, bytes, error)) return false;
    if (!writeWholeFile(path, bytes)) return fail(error, "cannot write " + path);
    return true;
}
