#include "tools/inspect/describe_file.h"

#include "anim/animation_file.h"
#include "anim/camera_file.h"
#include "content/bitmap_font.h"
#include "content/file_path.h"
#include "content/geometry/binary_cursor.h"
#include "content/geometry/geometry_reader.h"
#include "content/image.h"
#include "content/material.h"

#include <algorithm>
#include <cctype>

namespace {

Value matrix(const sm::Mat4& m) { return Value::floats(m.a, 16); }
Value vec3(sm::Vec3 v) {
    const float f[3] = {v.x, v.y, v.z};
    return Value::floats(f, 3);
}
Value quat(sm::Quat q) {
    const float f[4] = {q.w, q.x, q.y, q.z};
    return Value::floats(f, 4);
}

const char* typeName(std::int32_t t) {
    static const char* names[] = {"bool", "int", "float", "vec3", "string"};
    return t >= 0 && t <= 4 ? names[t] : nullptr;
}

const char* kindName(std::int32_t k) {
    static const char* names[] = {"constant", "step", "linear", "tcb"};
    return k >= 0 && k <= 3 ? names[k] : nullptr;
}

Value codeOrName(std::int32_t code, const char* name) {
    return name ? Value::string(name) : Value::integer(code);
}

Value keyValue(int v) { return Value::integer(v); }
Value keyValue(float v) { return Value::number(v); }
Value keyValue(bool v) { return Value::boolean(v); }
Value keyValue(const sm::Vec3& v) { return vec3(v); }
Value keyValue(const sm::Quat& v) { return quat(v); }
Value keyValue(const std::string& v) { return Value::string(v); }

// [[time, value...], ...]: the components of vectors and quaternions are
// spread into the key's array.
template <class T>
Value keys(const IInterpolator<T>* curve) {
    Value list = Value::array();
    if (!curve) return list;
    for (int k = 0; k < curve->keyCount(); ++k) {
        float time = 0;
        T v{};
        bool step = false;
        curve->getKey(k, time, v, step);
        Value key = Value::array();
        key.push(Value::number(time));
        Value value = keyValue(v);
        if (value.kind() == Value::Kind::Array) {
            for (const Value& c : value.items()) key.push(c);
        } else {
            key.push(value);
        }
        list.push(std::move(key));
    }
    return list;
}

Value property(const MeshProperty& p) {
    Value o = Value::object();
    o.set("name", Value::string(p.name));
    o.set("type", codeOrName(p.valueType, typeName(p.valueType)));
    o.set("kind", codeOrName(p.animationKind, kindName(p.animationKind)));
    if (p.animationKind == kPropConstant) {
        Value v;
        if (auto* b = p.constant<std::uint8_t>()) v = *b <= 1 ? Value::boolean(*b == 1) : Value::integer(*b);
        else if (auto* i = p.constant<std::int32_t>()) v = Value::integer(*i);
        else if (auto* f = p.constant<float>()) v = Value::number(*f);
        else if (auto* x = p.constant<sm::Vec3>()) v = vec3(*x);
        else if (auto* s = p.constant<std::string>()) v = Value::string(*s);
        o.set("value", std::move(v));
        return o;
    }
    Value k = Value::array();
    if (auto* c = p.curve<int>()) k = keys(c);
    else if (auto* c = p.curve<float>()) k = keys(c);
    else if (auto* c = p.curve<bool>()) k = keys(c);
    else if (auto* c = p.curve<sm::Vec3>()) k = keys(c);
    else if (auto* c = p.curve<std::string>()) k = keys(c);
    o.set("keys", std::move(k));
    return o;
}

bool geometry(const std::string& path, Value& out, std::string& error) {
    auto g = readGeometryFile(path, &error);
    if (!g) return false;
    out.set("version", Value::integer(g->version));
    Value meshes = Value::array();
    for (const auto& m : g->meshes) {
        Value mo = Value::object();
        mo.set("id", Value::integer(m->id()));
        mo.set("name", Value::string(m->name));
        mo.set("fileTransform", g->version != 0 ? matrix(m->fileTransform) : Value::null());
        mo.set("castShadows", Value::boolean(m->castShadows));
        Value subs = Value::array();
        for (const auto& s : m->subMeshes) {
            Value so = Value::object();
            so.set("material", Value::string(s->materialName));
            so.set("format", Value::integer(s->vertexFormat));
            so.set("vertexCount", Value::integer(s->vertexCount));
            const BoundingBox& b = s->bounds;
            const float box[9] = {b.minX, b.maxX, b.minY, b.maxY, b.minZ, b.maxZ, b.centreX, b.centreY, b.centreZ};
            so.set("bounds", Value::floats(box, 9));
            const float sphere[4] = {s->sphere.radius, s->sphere.centreX, s->sphere.centreY, s->sphere.centreZ};
            so.set("sphere", Value::floats(sphere, 4));
            subs.push(std::move(so));
        }
        mo.set("submeshes", std::move(subs));
        Value props = Value::array();
        for (const auto& [name, p] : m->properties) props.push(property(*p));
        mo.set("properties", std::move(props));
        meshes.push(std::move(mo));
    }
    out.set("meshes", std::move(meshes));
    return true;
}

Value node(const SceneNode& n) {
    Value o = Value::object();
    o.set("id", Value::integer(n.id));
    o.set("name", Value::string(n.name));
    o.set("pivot", matrix(n.pivot));
    o.set("position", n.positionTrack ? Value::null() : vec3(n.position));
    o.set("rotation", n.rotationTrack ? Value::null() : quat(n.rotation));
    o.set("scale", n.scaleTrack ? Value::null() : vec3(n.scale));
    o.set("positionKeys", keys<sm::Vec3>(n.positionTrack.get()));
    o.set("rotationKeys", keys<sm::Quat>(n.rotationTrack.get()));
    o.set("scaleKeys", keys<sm::Vec3>(n.scaleTrack.get()));
    Value children = Value::array();
    for (const SceneNode* c : n.children) children.push(node(*c));
    o.set("children", std::move(children));
    return o;
}

bool animation(const std::string& path, Value& out, std::string& error) {
    auto root = readAnimationFile(path, &error);
    if (!root) return false;
    out.set("duration", Value::number(root->duration()));
    out.set("root", node(*root));
    return true;
}

bool cameras(const std::string& path, Value& out, std::string& error) {
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes)) {
        error = "cannot be opened or read";
        return false;
    }
    CameraList list;
    if (!parseCameras(bytes.data(), bytes.size(), list, &error)) return false;
    Value cams = Value::array();
    for (const auto& c : list) {
        Value o = Value::object();
        o.set("id", Value::integer(c->cameraId));
        o.set("name", Value::string(c->name));
        o.set("view", matrix(c->view));
        o.set("fov", c->fovTrack ? Value::null() : Value::number(c->fovValue));
        o.set("fovKeys", keys<float>(c->fovTrack.get()));
        o.set("aux", c->auxTrack ? Value::null() : Value::number(c->auxValue));
        o.set("auxKeys", keys<float>(c->auxTrack.get()));
        o.set("near", Value::number(c->nearValue));
        o.set("far", Value::number(c->farValue));
        cams.push(std::move(o));
    }
    out.set("cameras", std::move(cams));
    return true;
}

bool material(const std::string& path, Value& out, std::string& error) {
    auto m = readMaterialFile(path, &error);
    if (!m) return false;
    out.set("name", Value::string(m->name));
    out.set("diffuseColor", Value::floats(m->diffuseColor, 3));
    out.set("opacity", Value::number(m->opacity));
    out.set("specularColor", Value::floats(m->specularColor, 3));
    out.set("glossiness", Value::number(m->glossiness));
    out.set("specularLevel", Value::number(m->specularLevel));
    out.set("reflection", Value::number(m->reflection));
    // A texture slot shows the name it is resolved by (null when it has
    // none): the inspector loads no textures, so there is no pointer to show.
    auto texture = [](const std::string& name) { return name.empty() ? Value::null() : Value::string(name); };
    out.set("diffuseMapName", Value::string(m->diffuseMapName));
    out.set("diffuseMap", texture(m->diffuseMapName));
    out.set("opacityMapName", Value::string(m->opacityMapName));
    out.set("opacityMap", texture(m->opacityMapName));
    out.set("bumpMapName", Value::string(m->bumpMapName));
    out.set("bumpMap", texture(m->bumpMapName));
    out.set("environmentMapName", Value::string(m->environmentMapName));
    out.set("lightMapName", Value::string(m->lightMapName));
    out.set("lightMap", texture(m->lightMapName));
    return true;
}

bool font(const std::string& path, Value& out, std::string& error) {
    auto root = XmlElement::load(path);
    if (!root) {
        error = "cannot be read as XML";
        return false;
    }
    FontDescription d;
    if (!parseFontDescription(*root, d, &error)) return false;
    const std::string picture = FilePath(path).directory() + d.bitmap;
    Image image;
    if (!loadImage(picture, image)) {
        error = "its bitmap " + picture + " cannot be decoded";
        return false;
    }
    std::array<Glyph, 256> glyphs;
    fillGlyphs(d, static_cast<int>(image.width), static_cast<int>(image.height), nullptr, glyphs);
    bool defined[256] = {};
    for (const FontEntry& e : d.entries) defined[e.code] = true;
    out.set("bitmap", Value::string(d.bitmap));
    Value list = Value::array();
    for (int code = 0; code < 256; ++code) {
        if (!defined[code]) continue;
        const Glyph& g = glyphs[static_cast<std::size_t>(code)];
        Value o = Value::object();
        o.set("code", Value::integer(code));
        o.set("x", Value::integer(g.x));
        o.set("y", Value::integer(g.y));
        o.set("w", Value::integer(g.w));
        o.set("h", Value::integer(g.h));
        o.set("texCoords", Value::floats(g.texCoords, 8));
        list.push(std::move(o));
    }
    out.set("glyphs", std::move(list));
    return true;
}

bool image(const std::string& path, Value& out, std::string& error) {
    Image img;
    if (!loadImage(path, img)) {
        error = "cannot be decoded as an image";
        return false;
    }
    out.set("width", Value::integer(img.width));
    out.set("height", Value::integer(img.height));
    out.set("channels", Value::integer(img.channels));
    return true;
}

}  // namespace

bool inspectFile(const std::string& path, Value& out, std::string& error) {
    std::string ext = FilePath(path).extension();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    struct Reader {
        const char* extension;
        const char* kind;
        bool (*read)(const std::string&, Value&, std::string&);
    };
    static const Reader readers[] = {{"geo", "geometry", geometry}, {"ani", "animation", animation},
                                     {"cam", "cameras", cameras},   {"mat", "material", material},
                                     {"xml", "font", font},         {"png", "image", image},
                                     {"jpg", "image", image}};
    for (const Reader& r : readers) {
        if (ext != r.extension) continue;
        out = Value::object();
        out.set("kind", Value::string(r.kind));
        return r.read(path, out, error);
    }
    error = ext.empty() ? "has no extension to tell its kind"
                        : "has an unknown extension \"." + ext + "\" (expected .geo, .ani, .cam, .mat, .xml, .png or .jpg)";
    return false;
}
