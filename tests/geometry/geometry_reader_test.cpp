#include "content/geometry/byte_writer.h"
#include "content/geometry/geometry_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

namespace {

// Hand-made files, byte by byte, so that the layout is checked apart from
// the writer.
void header(ByteWriter& w, std::uint16_t version) {
    w.writeBytes("QLNMDL", 6);
    w.writeUInt16(version);
}

void vertexFloats(ByteWriter& w, std::initializer_list<float> fs) {
    for (float f : fs) w.writeFloat32(f);
}

std::unique_ptr<Geometry> parse(const ByteWriter& w, std::string* error = nullptr) {
    return parseGeometry(w.bytes().data(), w.bytes().size(), error);
}

TEST(GeometryReader, FileWithoutHeaderHasVersionZeroAndNoTransforms) {
    ByteWriter w;
    w.writeInt32(1);       // meshCount
    w.writeInt32(42);      // id
    w.writeString("fan");  // name, then straight to the submesh count
    w.writeInt32(1);
    w.writeString("metal");
    w.writeUInt8(0);
    w.writeInt32(1);
    vertexFloats(w, {1, 2, 3});
    w.writeInt32(0);  // properties
    std::string error;
    auto g = parse(w, &error);
    ASSERT_TRUE(g) << error;
    EXPECT_FALSE(g->hasHeader);
    EXPECT_EQ(g->version, 0);
    ASSERT_EQ(g->meshes.size(), 1u);
    const Mesh& m = *g->meshes[0];
    EXPECT_EQ(m.id(), 42);
    EXPECT_EQ(m.name, "fan");
    EXPECT_EQ(m.geometry, g.get());
    EXPECT_EQ(m.fileTransform, sm::identityMatrix());
    ASSERT_EQ(m.subMeshes.size(), 1u);
    EXPECT_EQ(m.subMeshes[0]->materialName, "metal");
    EXPECT_EQ(m.subMeshes[0]->mesh, &m);
    EXPECT_EQ(m.subMeshes[0]->vertexBuffer, 0u);
    ASSERT_EQ(g->allSubMeshes.size(), 1u);
}

TEST(GeometryReader, VersionOneCarriesTransformBetweenNameAndSubmeshCount) {
    ByteWriter w;
    header(w, 1);
    w.writeInt32(1);
    w.writeInt32(7);
    w.writeString("hub");
    // translation (10, 20, 30)
    vertexFloats(w, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 20, 30, 1});
    w.writeInt32(0);
    w.writeInt32(0);
    std::string error;
    auto g = parse(w, &error);
    ASSERT_TRUE(g) << error;
    EXPECT_TRUE(g->hasHeader);
    EXPECT_EQ(g->version, 1);
    const Mesh& m = *g->meshes[0];
    EXPECT_EQ(m.fileTransform.a[12], 10);
    EXPECT_EQ(m.fileTransform.a[14], 30);
    EXPECT_FLOAT_EQ(m.fileTransformInverse.a[13], -20);
    EXPECT_TRUE(m.subMeshes.empty());
}

TEST(GeometryReader, HeaderWithVersionZeroHasNoTransforms) {
    ByteWriter w;
    header(w, 0);
    w.writeInt32(1);
    w.writeInt32(7);
    w.writeString("a");
    w.writeInt32(0);
    w.writeInt32(0);
    auto g = parse(w);
    ASSERT_TRUE(g);
    EXPECT_TRUE(g->hasHeader);
    EXPECT_EQ(g->meshes.size(), 1u);
}

TEST(GeometryReader, BoundsAndSphereOfFormatTwoVertices) {
    ByteWriter w;
    w.writeInt32(1);
    w.writeInt32(1);
    w.writeString("m");
    w.writeInt32(1);
    w.writeString("mat");
    w.writeUInt8(2);
    w.writeInt32(3);
    // position, uv, normal: x spans -1..3, y 0..2, z stays 5.
    vertexFloats(w, {-1, 0, 5, 0.5f, 0.5f, 0, 0, 1});
    vertexFloats(w, {3, 1, 5, 0, 0, 0, 0, 1});
    vertexFloats(w, {0, 2, 5, 1, 1, 0, 0, 1});
    w.writeInt32(0);
    auto g = parse(w);
    ASSERT_TRUE(g);
    const SubMesh& s = *g->meshes[0]->subMeshes[0];
    EXPECT_EQ(s.vertices.size(), 96u);
    EXPECT_EQ(s.vertexCount, 3);
    const BoundingBox& b = s.bounds;
    EXPECT_EQ(b.minX, -1);
    EXPECT_EQ(b.maxX, 3);
    EXPECT_EQ(b.minY, 0);
    EXPECT_EQ(b.maxY, 2);
    EXPECT_EQ(b.minZ, 5);
    EXPECT_EQ(b.maxZ, 5);
    EXPECT_EQ(b.centreX, 1);
    EXPECT_EQ(b.centreY, 1);
    EXPECT_EQ(b.centreZ, 5);
    EXPECT_FLOAT_EQ(s.sphere.radius, std::sqrt(5.0f));
    EXPECT_EQ(s.sphere.centreX, 1);
    EXPECT_EQ(s.sphere.centreZ, 5);
}

TEST(GeometryReader, NoVerticesGiveZeroBounds) {
    ByteWriter w;
    w.writeInt32(1);
    w.writeInt32(1);
    w.writeString("m");
    w.writeInt32(1);
    w.writeString("mat");
    w.writeUInt8(5);
    w.writeInt32(0);
    w.writeInt32(0);
    auto g = parse(w);
    ASSERT_TRUE(g);
    const SubMesh& s = *g->meshes[0]->subMeshes[0];
    EXPECT_EQ(s.bounds.minX, 0);
    EXPECT_EQ(s.bounds.maxZ, 0);
    EXPECT_EQ(s.sphere.radius, 0);
}

TEST(GeometryReader, CountsOfZeroOrLessMeanNone) {
    ByteWriter w;
    w.writeInt32(-3);
    auto g = parse(w);
    ASSERT_TRUE(g);
    EXPECT_TRUE(g->meshes.empty());
    EXPECT_EQ(g->findMesh("anything"), nullptr);

    ByteWriter v;
    v.writeInt32(1);
    v.writeInt32(1);
    v.writeString("m");
    v.writeInt32(-1);  // submeshes
    v.writeInt32(-5);  // properties
    auto h = parse(v);
    ASSERT_TRUE(h);
    EXPECT_TRUE(h->meshes[0]->subMeshes.empty());
    EXPECT_TRUE(h->meshes[0]->properties.empty());
}

// Builds a file with one mesh holding one submesh of format 1 and two
// vertices, plus one animated float property, and returns the bytes.
std::vector<std::uint8_t> wellFormed() {
    ByteWriter w;
    header(w, 1);
    w.writeInt32(1);
    w.writeInt32(3);
    w.writeString("mesh");
    vertexFloats(w, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    w.writeInt32(1);
    w.writeString("mat");
    w.writeUInt8(1);
    w.writeInt32(2);
    vertexFloats(w, {0, 0, 0, 0, 1, 0, 1, 1, 1, 0, 1, 0});
    w.writeInt32(1);
    w.writeString("speed");
    w.writeUInt8(kPropFloat);
    w.writeUInt8(kPropLinear);
    w.writeInt32(2);
    vertexFloats(w, {0.0f, 1.5f, 2.0f, 3.5f});
    return w.take();
}

TEST(GeometryReader, EveryTruncationIsRefusedWithAReason) {
    const auto bytes = wellFormed();
    ASSERT_TRUE(parseGeometry(bytes.data(), bytes.size()));
    // Every proper prefix that is longer than the header is malformed. (A
    // prefix of under 8 bytes is read as a headerless file and fails too.)
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        std::string error;
        EXPECT_FALSE(parseGeometry(cut.data(), cut.size(), &error)) << n;
        EXPECT_FALSE(error.empty()) << n;
    }
}

TEST(GeometryReader, AnimatedFloatPropertyReadsCountAndPairs) {
    const auto bytes = wellFormed();
    auto g = parseGeometry(bytes.data(), bytes.size());
    ASSERT_TRUE(g);
    MeshProperty* p = g->meshes[0]->findProperty("speed");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(g->meshes[0]->findProperty("Speed"), nullptr);
    auto* c = p->curve<float>();
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->keyCount(), 2);
    float out = 0;
    c->evaluate(1.0f, out, 0);
    EXPECT_FLOAT_EQ(out, 2.5f);
}

TEST(GeometryReader, CountsThatRunPastTheEndAreRefused) {
    // A vertex count whose byte size wraps around 32 bits: 0x4EC4EC4F * 52 =
    // 4 (mod 2^32).
    ByteWriter w;
    w.writeInt32(1);
    w.writeInt32(1);
    w.writeString("m");
    w.writeInt32(1);
    w.writeString("mat");
    w.writeUInt8(5);
    w.writeInt32(0x4EC4EC4F);
    vertexFloats(w, {1, 2, 3, 4});
    w.writeInt32(0);
    std::string error;
    EXPECT_FALSE(parse(w, &error));
    EXPECT_NE(error.find("past the end"), std::string::npos) << error;

    for (std::int32_t huge : {0x7fffffff, 0x10000000}) {
        ByteWriter m;
        m.writeInt32(huge);  // meshes
        m.writeInt32(0);
        EXPECT_FALSE(parse(m)) << huge;
    }
    ByteWriter s;  // string length past the end
    s.writeInt32(1);
    s.writeInt32(1);
    s.writeInt32(1000);
    s.writeBytes("abc", 3);
    EXPECT_FALSE(parse(s));
}

TEST(GeometryReader, UnknownVertexFormatAndNegativeVertexCountAreRefused) {
    for (auto [format, count] : {std::pair<int, int>{6, 0}, {255, 0}, {1, -1}}) {
        ByteWriter w;
        w.writeInt32(1);
        w.writeInt32(1);
        w.writeString("m");
        w.writeInt32(1);
        w.writeString("mat");
        w.writeUInt8(static_cast<std::uint8_t>(format));
        w.writeInt32(count);
        w.writeInt32(0);
        std::string error;
        EXPECT_FALSE(parse(w, &error)) << format;
        EXPECT_FALSE(error.empty());
    }
}

ByteWriter oneMeshWithProperty(const std::string& name, std::uint8_t type, std::uint8_t kind,
                               const std::function<void(ByteWriter&)>& value) {
    ByteWriter w;
    w.writeInt32(1);
    w.writeInt32(1);
    w.writeString("m");
    w.writeInt32(0);
    w.writeInt32(1);
    w.writeString(name);
    w.writeUInt8(type);
    w.writeUInt8(kind);
    value(w);
    return w;
}

TEST(GeometryReader, CastShadowsComesFromTheExactPropertyHoldingOne) {
    auto shadows = [](const ByteWriter& w) {
        auto g = parse(w);
        EXPECT_TRUE(g);
        return g && g->meshes[0]->castShadows;
    };
    EXPECT_TRUE(shadows(oneMeshWithProperty("castShadows", kPropInt, 0, [](ByteWriter& w) { w.writeInt32(1); })));
    EXPECT_FALSE(shadows(oneMeshWithProperty("castShadows", kPropInt, 0, [](ByteWriter& w) { w.writeInt32(2); })));
    EXPECT_FALSE(shadows(oneMeshWithProperty("castshadows", kPropInt, 0, [](ByteWriter& w) { w.writeInt32(1); })));
    EXPECT_TRUE(shadows(oneMeshWithProperty("castShadows", kPropBool, 0, [](ByteWriter& w) { w.writeUInt8(1); })));
    EXPECT_FALSE(shadows(oneMeshWithProperty("castShadows", kPropBool, 0, [](ByteWriter& w) { w.writeUInt8(2); })));
    EXPECT_FALSE(
        shadows(oneMeshWithProperty("castShadows", kPropFloat, 0, [](ByteWriter& w) { w.writeFloat32(1); })));
    // Animated int: the value at time 0.
    EXPECT_TRUE(shadows(oneMeshWithProperty("castShadows", kPropInt, kPropStep, [](ByteWriter& w) {
        w.writeInt32(2);
        w.writeFloat32(0);
        w.writeInt32(1);
        w.writeFloat32(5);
        w.writeInt32(0);
    })));
    EXPECT_FALSE(shadows(
        oneMeshWithProperty("castShadows", kPropInt, kPropStep, [](ByteWriter& w) { w.writeInt32(0); })));
}

TEST(GeometryReader, PropertyHoldersFollowTypeAndKind) {
    // A step bool keeps a curve, but its keys are times alone and add nothing.
    auto g = parse(oneMeshWithProperty("b", kPropBool, kPropStep, [](ByteWriter& w) {
        w.writeInt32(2);
        w.writeFloat32(0);
        w.writeFloat32(1);
    }));
    ASSERT_TRUE(g);
    auto* bc = g->meshes[0]->findProperty("b")->curve<bool>();
    ASSERT_NE(bc, nullptr);
    EXPECT_EQ(bc->keyCount(), 0);
    // A linear string has no holder; its key times are still consumed.
    g = parse(oneMeshWithProperty("s", kPropString, kPropLinear, [](ByteWriter& w) {
        w.writeInt32(1);
        w.writeFloat32(0);
    }));
    ASSERT_TRUE(g);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(g->meshes[0]->findProperty("s")->value));
    // A type above 4 stores nothing as a constant.
    g = parse(oneMeshWithProperty("x", 9, kPropConstant, [](ByteWriter&) {}));
    ASSERT_TRUE(g);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(g->meshes[0]->findProperty("x")->value));
    // Constants of every type.
    g = parse(oneMeshWithProperty("v", kPropVec3, kPropConstant, [](ByteWriter& w) {
        w.writeFloat32(1);
        w.writeFloat32(2);
        w.writeFloat32(3);
    }));
    ASSERT_TRUE(g);
    const sm::Vec3* v = g->meshes[0]->findProperty("v")->constant<sm::Vec3>();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(*v, (sm::Vec3{1, 2, 3}));
    g = parse(oneMeshWithProperty("t", kPropString, kPropConstant, [](ByteWriter& w) { w.writeString("hello"); }));
    ASSERT_TRUE(g);
    EXPECT_EQ(*g->meshes[0]->findProperty("t")->constant<std::string>(), "hello");
}

TEST(GeometryReader, FindMeshIsExactAndTakesTheFirst) {
    ByteWriter w;
    w.writeInt32(3);
    for (auto [id, name] : {std::pair<int, const char*>{1, "glowa"}, {2, "glowa_trg"}, {3, "glowa"}}) {
        w.writeInt32(id);
        w.writeString(name);
        w.writeInt32(0);
        w.writeInt32(0);
    }
    auto g = parse(w);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->findMesh("glowa")->id(), 1);
    EXPECT_EQ(g->findMesh("glowa_trg")->id(), 2);
    EXPECT_EQ(g->findMesh("Glowa"), nullptr);
    EXPECT_EQ(g->findMesh("glow"), nullptr);
}

TEST(GeometryReader, MissingFileGivesNull) {
    std::string error;
    EXPECT_FALSE(readGeometryFile("/nonexistent/murmur/none.geo", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(loadGeometry("/nonexistent/murmur/none.geo"), nullptr);
}

}  // namespace
