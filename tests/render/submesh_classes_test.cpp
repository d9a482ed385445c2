#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "content/geometry/geometry.h"
#include "content/material.h"
#include "render/submesh_classes.h"

namespace {

struct Entry {
    const char* material;  // null: no material
    float opacity;
    bool castShadows;
};

// One mesh per entry, each with one submesh; the list in entry order.
struct Scene {
    Geometry geometry;
    std::vector<std::unique_ptr<Material>> materials;
    std::vector<SubMesh*> list;

    explicit Scene(const std::vector<Entry>& entries) {
        for (const Entry& e : entries) {
            Mesh& mesh = *geometry.addMesh(static_cast<int>(list.size()), "m");
            mesh.castShadows = e.castShadows;
            SubMesh* s = mesh.addSubMesh();
            if (e.material) {
                materials.push_back(std::make_unique<Material>());
                materials.back()->name = e.material;
                materials.back()->opacity = e.opacity;
                s->material = materials.back().get();
            }
            list.push_back(s);
        }
    }
    std::vector<SubMesh*> pick(std::initializer_list<int> indices) const {
        std::vector<SubMesh*> out;
        for (int i : indices) out.push_back(list[static_cast<std::size_t>(i)]);
        return out;
    }
};

TEST(ClassifySubmeshes, GlowIsACaseSensitiveMatchOfTheFirstFourLetters) {
    const Scene scene({{"glow", 1.0f, false},
                       {"glo", 1.0f, false},
                       {"Glowing_sign", 1.0f, false},
                       {"glowing_cup", 0.5f, false},
                       {"a_glow", 1.0f, false},
                       {"GLOW", 0.5f, false},
                       {"glow_lamp", 1.0f, false},
                       {nullptr, 1.0f, false}});
    SubmeshClasses classes;
    classifySubmeshes(scene.list, classes);
    EXPECT_EQ(classes.glowOpaque, scene.pick({0, 6}));
    EXPECT_EQ(classes.glowTransparent, scene.pick({3}));
    EXPECT_EQ(classes.plainOpaque, scene.pick({1, 2, 4, 7}));
    EXPECT_EQ(classes.plainTransparent, scene.pick({5}));
    EXPECT_TRUE(classes.shadowCasters.empty());
}

TEST(ClassifySubmeshes, ListsKeepTheSortedOrderAndCastersAreIndependent) {
    // Already in opacity order, as the loader hands it over.
    const Scene scene({{"floor", 1.0f, true},
                       {"glow_panel", 1.0f, true},
                       {nullptr, 1.0f, false},
                       {"glass", 0.999f, true},
                       {"glowing_cup", 0.5f, true},
                       {"smoke_glass", 0.5f, false},
                       {"glow_haze", 0.2f, false}});
    std::vector<SubMesh*> list = scene.list;
    list.insert(list.begin() + 2, nullptr);  // tolerated, skipped
    SubmeshClasses classes;
    classifySubmeshes(list, classes);
    classifySubmeshes(list, classes);  // refilled, not appended to
    EXPECT_EQ(classes.shadowCasters, scene.pick({0, 1, 3, 4}));
    EXPECT_EQ(classes.glowOpaque, scene.pick({1}));
    EXPECT_EQ(classes.glowTransparent, scene.pick({4, 6}));
    EXPECT_EQ(classes.plainOpaque, scene.pick({0, 2}));
    EXPECT_EQ(classes.plainTransparent, scene.pick({3, 5}));

    // A submesh that lost its mesh is classified but casts nothing.
    SubMesh orphan;
    classifySubmeshes({&orphan}, classes);
    EXPECT_EQ(classes.plainOpaque, (std::vector<SubMesh*>{&orphan}));
    EXPECT_TRUE(classes.shadowCasters.empty());
}

}  // namespace
