#include "content/geometry/geometry_reader.h"
#include "content/geometry/geometry_writer.h"
#include "content/geometry/vertex_format.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<MeshProperty> property(const std::string& name, std::int32_t type, std::int32_t kind) {
    auto p = std::make_unique<MeshProperty>();
    p->name = name;
    p->valueType = type;
    p->animationKind = kind;
    p->createHolder();
    return p;
}

// A geometry using every vertex format and every property kind that the
// file can hold.
std::unique_ptr<Geometry> sample(bool header, std::uint16_t version) {
    auto g = std::make_unique<Geometry>();
    g->hasHeader = header;
    g->version = version;
    for (int format = 0; format < kVertexFormatCount; ++format) {
        Mesh* m = g->addMesh(100 + format, "mesh" + std::to_string(format));
        m->fileTransform = sm::translation({1.0f * format, 2, 3});
        const int floats = vertexLayout(format)->stride / 4;
        std::vector<float> fields;
        for (int v = 0; v < 3 * floats; ++v) fields.push_back(0.25f * static_cast<float>(v * (format + 1)) - 3);
        SubMesh* s = m->addSubMesh();
        s->materialName = "mat" + std::to_string(format % 2);
        EXPECT_TRUE(s->setVertices(format, fields));
        m->addSubMesh()->materialName = "empty";  // format 0, no vertices
    }
    Mesh* m = g->meshes[0].get();
    auto b = property("castShadows", kPropBool, kPropConstant);
    b->value = std::uint8_t{1};
    m->addProperty(std::move(b));
    m->castShadows = true;
    auto i = property("count", kPropInt, kPropConstant);
    i->value = std::int32_t{-7};
    m->addProperty(std::move(i));
    auto f = property("size_start", kPropFloat, kPropConstant);
    f->value = 12.5f;
    m->addProperty(std::move(f));
    auto v = property("drift", kPropVec3, kPropConstant);
    v->value = sm::Vec3{0, 200, 0};
    m->addProperty(std::move(v));
    auto s = property("label", kPropString, kPropConstant);
    s->value = std::string("CreditSprite");
    m->addProperty(std::move(s));
    const std::int32_t kinds[] = {kPropStep, kPropLinear, kPropTcb};
    for (std::int32_t kind : kinds) {
        auto ip = property("i" + std::to_string(kind), kPropInt, kind);
        ip->curve<int>()->appendKey(0, 1, false);
        ip->curve<int>()->appendKey(2.5f, 0, false);
        m->addProperty(std::move(ip));
        auto fp = property("f" + std::to_string(kind), kPropFloat, kind);
        fp->curve<float>()->appendKey(0, 1.5f, false);
        fp->curve<float>()->appendKey(2, 3.5f, false);
        fp->curve<float>()->appendKey(4, -1, false);
        m->addProperty(std::move(fp));
        m->addProperty(property("v" + std::to_string(kind), kPropVec3, kind));
    }
    m->addProperty(property("bs", kPropBool, kPropStep));
    m->addProperty(property("ss", kPropString, kPropStep));
    g->refreshSubMeshList();
    return g;
}

template <class T>
void expectSameCurve(IInterpolator<T>* a, IInterpolator<T>* b) {
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(a->keyCount(), b->keyCount());
    for (int k = 0; k < a->keyCount(); ++k) {
        float ta = 0, tb = 0;
        T va{}, vb{};
        bool sa = false, sb = false;
        a->getKey(k, ta, va, sa);
        b->getKey(k, tb, vb, sb);
        EXPECT_EQ(ta, tb);
        EXPECT_EQ(va, vb);
    }
}

void expectSame(const Geometry& a, const Geometry& b) {
    EXPECT_EQ(a.hasHeader, b.hasHeader);
    EXPECT_EQ(a.version, b.version);
    ASSERT_EQ(a.meshes.size(), b.meshes.size());
    for (std::size_t i = 0; i < a.meshes.size(); ++i) {
        const Mesh& ma = *a.meshes[i];
        const Mesh& mb = *b.meshes[i];
        EXPECT_EQ(ma.id(), mb.id());
        EXPECT_EQ(ma.name, mb.name);
        if (a.version != 0) {
            EXPECT_EQ(ma.fileTransform, mb.fileTransform);
        }
        EXPECT_EQ(ma.castShadows, mb.castShadows);
        ASSERT_EQ(ma.subMeshes.size(), mb.subMeshes.size());
        for (std::size_t k = 0; k < ma.subMeshes.size(); ++k) {
            const SubMesh& sa = *ma.subMeshes[k];
            const SubMesh& sb = *mb.subMeshes[k];
            EXPECT_EQ(sa.materialName, sb.materialName);
            EXPECT_EQ(sa.vertexFormat, sb.vertexFormat);
            EXPECT_EQ(sa.vertexCount, sb.vertexCount);
            EXPECT_EQ(sa.vertices, sb.vertices);
            EXPECT_EQ(sa.bounds.minX, sb.bounds.minX);
            EXPECT_EQ(sa.sphere.radius, sb.sphere.radius);
        }
        ASSERT_EQ(ma.properties.size(), mb.properties.size());
        for (const auto& [name, pa] : ma.properties) {
            const MeshProperty* pb = mb.findProperty(name);
            ASSERT_NE(pb, nullptr) << name;
            EXPECT_EQ(pa->valueType, pb->valueType);
            EXPECT_EQ(pa->animationKind, pb->animationKind);
            ASSERT_EQ(pa->value.index(), pb->value.index()) << name;
            if (auto* x = pa->constant<std::uint8_t>()) {
                EXPECT_EQ(*x, *pb->constant<std::uint8_t>());
            }
            if (auto* x = pa->constant<std::int32_t>()) {
                EXPECT_EQ(*x, *pb->constant<std::int32_t>());
            }
            if (auto* x = pa->constant<float>()) {
                EXPECT_EQ(*x, *pb->constant<float>());
            }
            if (auto* x = pa->constant<sm::Vec3>()) {
                EXPECT_EQ(*x, *pb->constant<sm::Vec3>());
            }
            if (auto* x = pa->constant<std::string>()) {
                EXPECT_EQ(*x, *pb->constant<std::string>());
            }
            if (pa->curve<int>()) expectSameCurve(pa->curve<int>(), pb->curve<int>());
            if (pa->curve<float>()) expectSameCurve(pa->curve<float>(), pb->curve<float>());
        }
    }
}

TEST(GeometryWriter, RoundTripsWithAndWithoutHeader) {
    for (auto [header, version] : {std::pair<bool, int>{false, 0}, {true, 0}, {true, 1}, {true, 7}}) {
        auto g = sample(header, static_cast<std::uint16_t>(version));
        std::vector<std::uint8_t> bytes;
        std::string error;
        ASSERT_TRUE(writeGeometry(*g, bytes, &error)) << error;
        auto back = parseGeometry(bytes.data(), bytes.size(), &error);
        ASSERT_TRUE(back) << error;
        expectSame(*g, *back);
        // Writing what was read gives the same bytes.
        std::vector<std::uint8_t> again;
        ASSERT_TRUE(writeGeometry(*back, again, &error)) << error;
        EXPECT_EQ(again, bytes);
    }
}

TEST(GeometryWriter, HeaderAndTransformSizes) {
    auto g = std::make_unique<Geometry>();
    g->addMesh(1, "a");
    std::vector<std::uint8_t> plain, versioned;
    ASSERT_TRUE(writeGeometry(*g, plain));
    g->hasHeader = true;
    g->version = 1;
    ASSERT_TRUE(writeGeometry(*g, versioned));
    EXPECT_EQ(versioned.size(), plain.size() + 8 + 64);
    EXPECT_EQ(std::string(versioned.begin(), versioned.begin() + 6), "QLNMDL");
}

TEST(GeometryWriter, RefusesWhatCannotBeStored) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    {
        Geometry g;
        g.version = 1;  // a version needs the header
        EXPECT_FALSE(writeGeometry(g, bytes, &error));
    }
    {
        Geometry g;
        SubMesh* s = g.addMesh(1, "m")->addSubMesh();
        s->vertexFormat = 2;
        s->vertexCount = 3;
        s->vertices.resize(95);
        EXPECT_FALSE(writeGeometry(g, bytes, &error));
        EXPECT_NE(error.find("\"m\""), std::string::npos) << error;
        s->vertices.resize(96);
        EXPECT_TRUE(writeGeometry(g, bytes, &error)) << error;
        s->vertexFormat = 6;
        EXPECT_FALSE(writeGeometry(g, bytes, &error));
    }
    {
        Geometry g;
        Mesh* m = g.addMesh(1, "m");
        auto p = property("x", kPropInt, kPropConstant);
        p->value = 1.0f;  // a float held by an int property
        m->addProperty(std::move(p));
        EXPECT_FALSE(writeGeometry(g, bytes, &error));
    }
    {
        Geometry g;
        Mesh* m = g.addMesh(1, "m");
        auto p = property("v", kPropVec3, kPropLinear);
        p->curve<sm::Vec3>()->appendKey(0, {1, 2, 3}, false);  // Vec3 keys hold no value in the file
        m->addProperty(std::move(p));
        EXPECT_FALSE(writeGeometry(g, bytes, &error));
    }
    {
        Geometry g;
        g.addMesh(1, "m")->castShadows = true;  // no property says so: it would be lost
        EXPECT_FALSE(writeGeometry(g, bytes, &error));
    }
}

TEST(GeometryWriter, SetVerticesRefusesPartialVertices) {
    SubMesh s;
    EXPECT_FALSE(s.setVertices(1, {1, 2, 3, 4, 5}));
    EXPECT_FALSE(s.setVertices(6, {}));
    EXPECT_TRUE(s.setVertices(0, {-1, 0, 5, 3, 2, 5}));
    EXPECT_EQ(s.vertexCount, 2);
    EXPECT_EQ(s.bounds.maxX, 3);
}

}  // namespace
