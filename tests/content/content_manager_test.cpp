#include "anim/animation_writer.h"
#include "content/content_loader.h"
#include "content/content_manager.h"
#include "content/geometry/geometry_writer.h"
#include "content/material.h"
#include "content/shader_program.h"
#include "content/texture.h"
#include "image_files.h"
#include "tests/support/gl_context.h"

#include <gtest/gtest.h>

#include <jpeglib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// The real loaders, with every call recorded.
class RecordingLoader : public ContentLoader {
public:
    std::vector<std::string> calls;

    Texture* loadTexture(const std::string& path) override {
        calls.push_back("texture " + path);
        return ContentLoader::loadTexture(path);
    }
    ShaderProgram* loadProgram(const std::string& v, const std::string& f) override {
        calls.push_back("program " + v + " " + f);
        return ContentLoader::loadProgram(v, f);
    }
    Geometry* loadGeometry(const std::string& path) override {
        calls.push_back("geometry " + path);
        return ContentLoader::loadGeometry(path);
    }
    SceneNode* loadAnimation(const std::string& path) override {
        calls.push_back("animation " + path);
        return ContentLoader::loadAnimation(path);
    }
    Material* loadMaterial(const std::string& path) override {
        calls.push_back("material " + path);
        return ContentLoader::loadMaterial(path);
    }
};

void writeText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

void png(const std::string& path, int size) {
    murmur::test::writeRgbPng(path, size, size, std::vector<std::uint8_t>(static_cast<std::size_t>(size * size * 3), 9));
}

void jpg(const std::string& path, int size) {
    murmur::test::writeJpeg(path, size, size, 3, JCS_RGB,
                            std::vector<std::uint8_t>(static_cast<std::size_t>(size * size * 3), 9));
}

const char* kVertex = "attribute vec3 a_position;\nvoid main() { gl_Position = vec4(a_position, 1.0); }\n";
const char* kFragment = "void main() { gl_FragColor = vec4(1.0); }\n";

class ContentManagerGl : public murmur::test::GlTest {
protected:
    void SetUp() override {
        murmur::test::GlTest::SetUp();
        root_ = fs::path(scratch_.file(""));
    }
    std::string dir(const std::string& relative) {
        fs::create_directories(root_ / relative);
        return (root_ / relative).string() + "/";
    }

    murmur::test::ScratchDir scratch_;
    fs::path root_;
};

TEST_F(ContentManagerGl, JpegWinsOverPngAndLaterDirectoriesReplace) {
    const std::string textures = dir("textures"), dream = dir("textures/dream"), maps = dir("textures/lightmaps");
    png(textures + "black.png", 2);
    jpg(textures + "black.jpg", 4);
    png(textures + "Upper.PNG", 2);  // the extension matches whatever its case
    writeText(textures + "notes.txt", "not a picture");
    fs::create_directories(textures + "folder.png");  // a directory is not a file
    png(dream + "shared.png", 2);
    png(maps + "shared.png", 8);
    writeText(maps + "broken.png", "not a png");

    RecordingLoader loader;
    ContentManager cm(&loader);
    cm.loadTextures(textures);
    cm.loadTextures(dream);
    cm.loadTextures(maps);

    ASSERT_NE(cm.findTexture("black"), nullptr);
    EXPECT_EQ(cm.findTexture("black")->width, 4);
    ASSERT_NE(cm.findTexture("Upper"), nullptr);
    EXPECT_EQ(cm.findTexture("upper"), nullptr);
    EXPECT_EQ(cm.findTexture("shared")->width, 8);
    EXPECT_EQ(cm.findTexture("notes"), nullptr);
    EXPECT_EQ(cm.findTexture("folder"), nullptr);
    // A file that fails to load leaves a null entry.
    ASSERT_EQ(cm.textures().count("broken"), 1u);
    EXPECT_EQ(cm.findTexture("broken"), nullptr);
    EXPECT_EQ(cm.textures().size(), 4u);
    // All PNG names of a directory come before its JPEG names.
    const auto first = std::find(loader.calls.begin(), loader.calls.end(), "texture " + textures + "black.jpg");
    const auto last = std::find(loader.calls.begin(), loader.calls.end(), "texture " + textures + "black.png");
    EXPECT_LT(last, first);
}

TEST_F(ContentManagerGl, ProgramsPairSourcesAndKeepTheCaseOfNames) {
    const std::string effects = dir("effects");
    writeText(effects + "Sprite.vpr", kVertex);
    writeText(effects + "Sprite.fpr", kFragment);
    writeText(effects + "glow.vpr", kVertex);  // no glow.fpr
    writeText(effects + "orphan.fpr", kFragment);
    RecordingLoader loader;
    ContentManager cm(&loader);
    cm.loadPrograms(effects);
    ASSERT_NE(cm.findProgram("Sprite"), nullptr);
    EXPECT_NE(cm.findProgram("Sprite")->program, 0u);
    EXPECT_EQ(cm.findProgram("sprite"), nullptr);
    EXPECT_EQ(cm.programs().count("glow"), 1u);
    EXPECT_EQ(cm.findProgram("glow"), nullptr);
    EXPECT_EQ(cm.programs().count("orphan"), 0u);
    EXPECT_NE(std::find(loader.calls.begin(), loader.calls.end(),
                        "program " + effects + "glow.vpr " + effects + "glow.fpr"),
              loader.calls.end());
}

TEST_F(ContentManagerGl, ResolveLinksMaterialsAndTexturesByName) {
    const std::string models = dir("models"), textures = dir("textures"), materials = dir("materials"),
                      animations = dir("animations");
    Geometry g;
    Mesh* m = g.addMesh(1, "body");
    m->addSubMesh()->materialName = "steel";
    m->addSubMesh()->materialName = "steel";
    m->addSubMesh()->materialName = "nowhere";
    ASSERT_TRUE(saveGeometry(g, models + "robot.geo"));
    writeText(models + "cut.geo", "\x02");
    png(textures + "steel_d.png", 2);
    Material steel;
    steel.name = "steel";
    steel.diffuseMapName = "steel_d";
    steel.bumpMapName = "missing_n";
    steel.environmentMapName = "steel_d";
    ASSERT_TRUE(saveMaterial(steel, materials + "steel.mat"));
    SceneNode tree;
    tree.addChild(std::make_unique<SceneNode>())->name = "Hip";
    ASSERT_TRUE(saveAnimation(tree, animations + "bind_pose.ani"));

    RecordingLoader loader;
    ContentManager cm(&loader);
    cm.loadGeometries(models);
    cm.loadTextures(textures);
    cm.loadAnimations(animations);
    cm.loadMaterials(materials);
    cm.resolveReferences();

    Geometry* robot = cm.findGeometry("robot");
    ASSERT_NE(robot, nullptr);
    EXPECT_EQ(cm.geometries().count("cut"), 1u);
    EXPECT_EQ(cm.findGeometry("cut"), nullptr);
    Material* mat = cm.findMaterial("steel");
    ASSERT_NE(mat, nullptr);
    EXPECT_EQ(robot->allSubMeshes.at(0)->material, mat);
    EXPECT_EQ(robot->allSubMeshes.at(1)->material, mat);
    EXPECT_EQ(robot->allSubMeshes.at(2)->material, nullptr);
    EXPECT_EQ(mat->diffuseMap, cm.findTexture("steel_d"));
    EXPECT_NE(mat->diffuseMap, nullptr);
    EXPECT_EQ(mat->bumpMap, nullptr);
    EXPECT_EQ(mat->opacityMap, nullptr);
    ASSERT_NE(cm.findAnimation("bind_pose"), nullptr);
    EXPECT_NE(cm.findAnimation("bind_pose")->findNode("Hip"), nullptr);
}

TEST(ContentManager, EmptyOrMissingDirectoriesChangeNothing) {
    murmur::test::ScratchDir scratch;
    const std::string full = scratch.file("full/"), empty = scratch.file("empty/");
    fs::create_directories(full);
    fs::create_directories(empty);
    Material m;
    m.name = "kept";
    ASSERT_TRUE(saveMaterial(m, full + "kept.mat"));
    SceneNode tree;
    ASSERT_TRUE(saveAnimation(tree, full + "idle.ani"));
    ContentLoader loader;
    ContentManager cm(&loader);
    cm.loadMaterials(full);
    cm.loadAnimations(full);
    Material* kept = cm.findMaterial("kept");
    SceneNode* idle = cm.findAnimation("idle");
    ASSERT_NE(kept, nullptr);
    ASSERT_NE(idle, nullptr);
    for (const std::string& dir : {empty, scratch.file("nothere/"), std::string("/nonexistent/murmur/")}) {
        cm.loadTextures(dir);
        cm.loadPrograms(dir);
        cm.loadGeometries(dir);
        cm.loadAnimations(dir);
        cm.loadMaterials(dir);
    }
    cm.resolveReferences();
    EXPECT_TRUE(cm.textures().empty());
    EXPECT_TRUE(cm.programs().empty());
    EXPECT_TRUE(cm.geometries().empty());
    ASSERT_EQ(cm.animations().size(), 1u);
    ASSERT_EQ(cm.materials().size(), 1u);
    EXPECT_EQ(cm.findMaterial("kept"), kept);
    EXPECT_EQ(cm.findAnimation("idle"), idle);
    EXPECT_EQ(cm.findMaterial(""), nullptr);
}

TEST(ListFiles, MatchesExtensionsWithoutCaseAndAppends) {
    murmur::test::ScratchDir scratch;
    for (const char* name : {"a.geo", "B.GEO", "c.geo.bak", "d.ge", "geo", "e.Geo"})
        writeText(scratch.file(name), "");
    std::vector<std::string> names{"kept"};
    listFiles(scratch.file(""), "*.geo", names);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0], "kept");
    std::sort(names.begin() + 1, names.end());
    EXPECT_EQ(names[1], "B.GEO");
    EXPECT_EQ(names[2], "a.geo");
    EXPECT_EQ(names[3], "e.Geo");
    EXPECT_TRUE(wildcardMatch("*.png", ".png"));
    EXPECT_TRUE(wildcardMatch("a*b?c", "AxxbYc"));
    EXPECT_FALSE(wildcardMatch("*.png", "x.pngx"));
}

}  // namespace
