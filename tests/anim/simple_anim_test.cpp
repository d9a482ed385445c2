#include "anim/simple_anim.h"
#include "tests/support/scene_builders.h"

#include <gtest/gtest.h>

namespace {

using murmur::test::addMesh;
using murmur::test::addNode;
using murmur::test::linearTrack;
using murmur::test::translationOf;

// A door (mesh id 3, two submeshes) sliding 10 units per second along +X.
struct Prop {
    Prop() {
        addNode(root, "door", 3)->positionTrack = linearTrack({{0.0f, {0, 0, 0}}, {20.0f, {200, 0, 0}}});
        door = addMesh(geometry, 3, "door", 2);
    }
    bool hidden() const { return geometry.allSubMeshes[0]->hidden && geometry.allSubMeshes[1]->hidden; }
    bool shown() const { return !geometry.allSubMeshes[0]->hidden && !geometry.allSubMeshes[1]->hidden; }

    SceneNode root;
    Geometry geometry;
    Mesh* door;
};

TEST(SimpleAnim, StaysHiddenUntilAfterItsShowTimeButMovesAllAlong) {
    Prop prop;
    SimpleAnim anim(&prop.root, &prop.geometry, 10.0f, "doors");
    EXPECT_TRUE(prop.hidden());
    EXPECT_TRUE(prop.door->castShadows);

    anim.update(5.0f, 0.1f);
    EXPECT_TRUE(prop.hidden());
    EXPECT_EQ(translationOf(prop.door->renderMatrix()), (sm::Vec3{50, 0, 0}));
    anim.update(10.0f, 0.1f);
    EXPECT_TRUE(prop.hidden());
    EXPECT_FALSE(anim.started());
    anim.update(10.001f, 0.1f);
    EXPECT_TRUE(prop.shown());
    // Going back in time does not hide it again.
    anim.update(3.0f, 0.1f);
    EXPECT_TRUE(prop.shown());
    EXPECT_NEAR(prop.door->renderMatrix().a[12], 30.0f, 1e-4f);
}

TEST(SimpleAnim, AShowTimeBeforeTheFirstUpdateShowsItAtOnce) {
    Prop prop;
    SimpleAnim anim(&prop.root, &prop.geometry, 0.0f);
    anim.update(0.016f, 0.016f);
    EXPECT_TRUE(prop.shown());
}

TEST(SimpleAnim, DropsOnlyItsOwnLightMapsAndSharesTheEmptyListOfPlainObjects) {
    Prop prop, other;
    Texture* baked = reinterpret_cast<Texture*>(&other);  // never dereferenced
    for (SubMesh* sub : prop.geometry.allSubMeshes) sub->lightMap = baked;
    for (SubMesh* sub : other.geometry.allSubMeshes) sub->lightMap = baked;
    SimpleAnim anim(&prop.root, &prop.geometry, 0.0f);
    EXPECT_EQ(anim.submeshes(), prop.geometry.allSubMeshes);
    anim.dropLightmaps();
    for (SubMesh* sub : prop.geometry.allSubMeshes) EXPECT_EQ(sub->lightMap, nullptr);
    for (SubMesh* sub : other.geometry.allSubMeshes) EXPECT_EQ(sub->lightMap, baked);

    GameObject a, b;
    EXPECT_EQ(&a.submeshes(), &b.submeshes());
    EXPECT_TRUE(a.submeshes().empty());
}

TEST(SimpleAnim, MissingContentLeavesThePropOutAndNamesIt) {
    Prop prop;
    SimpleAnim noGeometry(&prop.root, nullptr, 0.0f, "kubek"), noAnimation(nullptr, &prop.geometry, 0.0f, "kubek");
    for (SimpleAnim* anim : {&noGeometry, &noAnimation}) {
        anim->update(1.0f, 0.1f);
        anim->dropLightmaps();
        EXPECT_TRUE(anim->submeshes().empty());
        std::vector<std::string> problems;
        anim->problems(problems);
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_NE(problems[0].find("\"kubek\""), std::string::npos) << problems[0];
    }
    EXPECT_FALSE(prop.door->castShadows);
    EXPECT_EQ(prop.door->renderMatrix(), sm::Mat4{});
}

}  // namespace
