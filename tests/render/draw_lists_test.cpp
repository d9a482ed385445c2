#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <vector>

#include "content/content_loader.h"
#include "content/material.h"
#include "material_fixture.h"
#include "render/material_programs.h"
#include "tools/pictures/image_writers.h"

namespace {

namespace fs = std::filesystem;
using namespace murmur::test;

float opacityOf(const SubMesh* s) { return s->material ? s->material->opacity : 1.0f; }

TEST(OpacitySort, PutsOpaqueFirstAndTheMostTransparentLast) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<float> opacities = {0.5f, 1.0f, 0.2f, 0.999f, nan, 1.0f, 0.75f, 0.2f};
    std::vector<Material> materials(opacities.size());
    std::vector<SubMesh> submeshes(opacities.size() + 1);  // the last has no material
    std::vector<SubMesh*> list;
    for (std::size_t i = 0; i < submeshes.size(); ++i) {
        if (i < opacities.size()) {
            materials[i].opacity = opacities[i];
            submeshes[i].material = &materials[i];
        }
        list.push_back(&submeshes[i]);
    }
    sortByOpacity(list);
    ASSERT_EQ(list.size(), submeshes.size());
    // The three opaque ones (1.0, 1.0, no material) and the one whose
    // opacity is not a number lead, in any order.
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_FALSE(isTransparent(*list[i])) << i;
        const float o = opacityOf(list[i]);
        EXPECT_TRUE(o == 1.0f || std::isnan(o)) << i;
    }
    const std::vector<float> rest = {0.999f, 0.75f, 0.5f, 0.2f, 0.2f};
    for (std::size_t i = 0; i < rest.size(); ++i) EXPECT_EQ(opacityOf(list[4 + i]), rest[i]) << i;
    EXPECT_TRUE(isTransparent(*list[4])) << "0.999 is transparent";
    std::vector<SubMesh*> sorted = list;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "every submesh once";
}

TEST(OpacitySort, ManyUnorderedValuesEndNonIncreasing) {
    // Enough entries for the sort to take its large-list path, with values
    // that are not numbers among them.
    std::vector<Material> materials(2000);
    std::vector<SubMesh> submeshes(materials.size());
    std::vector<SubMesh*> list;
    unsigned state = 1;
    for (std::size_t i = 0; i < materials.size(); ++i) {
        state = state * 214013u + 2531011u;
        const unsigned r = (state >> 16) & 0x7fff;
        materials[i].opacity = r % 7 == 0 ? std::numeric_limits<float>::quiet_NaN() : static_cast<float>(r % 11) / 10.0f;
        submeshes[i].material = &materials[i];
        list.push_back(&submeshes[i]);
    }
    sortByOpacity(list);
    auto key = [](const SubMesh* s) {
        const float o = opacityOf(s);
        return std::isnan(o) ? 1.0f : o;
    };
    for (std::size_t i = 1; i < list.size(); ++i) ASSERT_GE(key(list[i - 1]), key(list[i])) << i;
}

class LightMapAssignment : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        dir_ = fs::temp_directory_path() / ("murmur-lightmaps-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        pictures::Image picture;
        picture.width = picture.height = 2;
        picture.channels = 3;
        picture.pixels.assign(12, 200);
        std::string error;
        for (const char* name : {"wallLightingMap.png", "pipeLightingMap.png"}) {
            ASSERT_TRUE(pictures::writePng((dir_ / name).string(), picture, error)) << error;
        }
        content_ = std::make_unique<ContentManager>(&loader_);
        content_->loadTextures(dir_.string());
    }
    void TearDown() override {
        fs::remove_all(dir_);
        GlTest::TearDown();
    }
    fs::path dir_;
    ContentLoader loader_;
    std::unique_ptr<ContentManager> content_;
};

TEST_F(LightMapAssignment, MeshNamedMapsSkipGlowMaterialsTransparencyAndUnmappableVertices) {
    Texture* wallMap = content_->findTexture("wallLightingMap");
    ASSERT_NE(wallMap, nullptr);
    Geometry g;
    Mesh* wall = g.addMesh(1, "wall");
    Mesh* floor = g.addMesh(2, "floor");  // no "floorLightingMap"
    Mesh* upper = g.addMesh(3, "Wall");   // names are compared exactly
    struct Case {
        Mesh* mesh;
        const char* material;  // null: no material
        float opacity;
        int format;
        bool expected;
    };
    const Case cases[] = {
        {wall, "brick", 1.0f, 3, true},     {wall, "glowstrip", 1.0f, 3, false}, {wall, "glow", 1.0f, 5, false},
        {wall, "Glowing", 1.0f, 3, true},   {wall, "gloss", 1.0f, 5, true},      {wall, "brick", 0.5f, 3, false},
        {wall, nullptr, 1.0f, 3, true},     {wall, "brick", 1.0f, 2, false},     {floor, "brick", 1.0f, 3, false},
        {upper, "brick", 1.0f, 3, false},
    };
    std::vector<std::unique_ptr<Material>> materials;
    std::vector<SubMesh*> list;
    for (const Case& c : cases) {
        SubMesh* s = c.mesh->addSubMesh();
        s->vertexFormat = static_cast<std::uint8_t>(c.format);
        if (c.material) {
            materials.push_back(std::make_unique<Material>());
            materials.back()->name = c.material;
            materials.back()->opacity = c.opacity;
            s->material = materials.back().get();
        }
        list.push_back(s);
    }
    // A light map already given stays where no texture is found.
    Texture earlier;
    list[8]->lightMap = &earlier;
    assignLightMaps(list, *content_);
    for (std::size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE(testing::Message() << i << " " << (cases[i].material ? cases[i].material : "(none)"));
        if (i == 8) {
            EXPECT_EQ(list[i]->lightMap, &earlier);
        } else {
            EXPECT_EQ(list[i]->lightMap, cases[i].expected ? wallMap : nullptr);
        }
    }
}

}  // namespace
