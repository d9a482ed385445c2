#include "anim/animation_writer.h"
#include "content/content_loader.h"
#include "content/content_manager.h"
#include "content/content_observer.h"
#include "content/geometry/geometry_writer.h"
#include "content/material.h"
#include "image_files.h"
#include "tests/support/gl_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// One list of what happened, in order: the loader's calls and what the
// observer heard, interleaved.
struct Journal {
    std::vector<std::string> events;
};

class JournalLoader : public ContentLoader {
public:
    explicit JournalLoader(Journal& journal) : journal_(journal) {}
    Texture* loadTexture(const std::string& path) override {
        journal_.events.push_back("load " + path);
        return ContentLoader::loadTexture(path);
    }
    ShaderProgram* loadProgram(const std::string& v, const std::string& f) override {
        journal_.events.push_back("load " + v);
        return ContentLoader::loadProgram(v, f);
    }
    Geometry* loadGeometry(const std::string& path) override {
        journal_.events.push_back("load " + path);
        return ContentLoader::loadGeometry(path);
    }
    SceneNode* loadAnimation(const std::string& path) override {
        journal_.events.push_back("load " + path);
        return ContentLoader::loadAnimation(path);
    }
    Material* loadMaterial(const std::string& path) override {
        journal_.events.push_back("load " + path);
        return ContentLoader::loadMaterial(path);
    }

private:
    Journal& journal_;
};

class JournalObserver : public IContentObserver {
public:
    explicit JournalObserver(Journal& journal) : journal_(journal) {}
    void onError(const std::string& message) override { journal_.events.push_back("error " + message); }
    void onBegin(int count) override { journal_.events.push_back("begin " + std::to_string(count)); }
    void onProgress() override { journal_.events.push_back("progress"); }
    void onFinish() override { journal_.events.push_back("finish"); }

private:
    Journal& journal_;
};

void writeText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

class ContentObserverGl : public murmur::test::GlTest {
protected:
    std::string dir(const std::string& relative) {
        fs::create_directories(fs::path(scratch_.file(relative)));
        return scratch_.file(relative) + "/";
    }
    std::string root() { return scratch_.file(""); }
    murmur::test::ScratchDir scratch_;
};

TEST_F(ContentObserverGl, AWholeScanAnnouncesItsSizeReportsEveryFileAndNamesEveryFailure) {
    const std::string models = dir("models"), parts = dir("models/robot_parts"), textures = dir("textures"),
                      dream = dir("textures/dream"), effects = dir("effects"), animations = dir("animations"),
                      materials = dir("materials");
    Geometry g;
    g.addMesh(1, "body")->addSubMesh()->materialName = "steel";
    ASSERT_TRUE(saveGeometry(g, models + "robot.geo"));
    writeText(parts + "arm.geo", "\x02");  // cut short
    murmur::test::writeRgbPng(textures + "steel_d.png", 2, 2, std::vector<std::uint8_t>(12, 90));
    writeText(dream + "dream1.png", "not a png");
    writeText(effects + "Flat.vpr", "#version 110\nattribute vec3 a_position;\n"
                                    "void main() { gl_Position = vec4(a_position, 1.0); }\n");
    writeText(effects + "Flat.fpr", "#version 110\nvoid main() { gl_FragColor = vec4(1.0); }\n");
    writeText(effects + "Lonely.vpr", "#version 110\nvoid main() { gl_Position = vec4(0.0); }\n");  // no .fpr
    SceneNode tree;
    ASSERT_TRUE(saveAnimation(tree, animations + "idle.ani"));
    Material steel;
    steel.name = "steel";
    steel.diffuseMapName = "steel_d";
    ASSERT_TRUE(saveMaterial(steel, materials + "steel.mat"));
    writeText(materials + "torn.mat", "<Material Name=\"torn\"><Param");

    Journal journal;
    JournalLoader loader(journal);
    JournalObserver observer(journal);
    ContentManager content(&loader, &observer);
    content.loadAll(root());

    const std::vector<std::string> expected = {
        "begin 9",
        "load " + models + "robot.geo", "progress",
        "load " + parts + "arm.geo", "error could not load geometry " + parts + "arm.geo", "progress",
        "load " + textures + "steel_d.png", "progress",
        "load " + dream + "dream1.png", "error could not load texture " + dream + "dream1.png", "progress",
    };
    ASSERT_GE(journal.events.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(journal.events.begin(), journal.events.begin() + 11), expected);
    // Programs, animations and materials follow in that order; the two
    // programs come in the order the directory lists them.
    const auto find = [&](const std::string& e) {
        return std::find(journal.events.begin(), journal.events.end(), e) - journal.events.begin();
    };
    EXPECT_LT(find("load " + effects + "Flat.vpr"), find("load " + animations + "idle.ani"));
    EXPECT_LT(find("load " + effects + "Lonely.vpr"), find("load " + animations + "idle.ani"));
    EXPECT_LT(find("load " + animations + "idle.ani"), find("load " + materials + "steel.mat"));
    const std::vector<std::string> errors = [&] {
        std::vector<std::string> e;
        for (const std::string& s : journal.events) {
            if (s.rfind("error ", 0) == 0) e.push_back(s);
        }
        return e;
    }();
    EXPECT_EQ(errors.size(), 4u);
    EXPECT_NE(find("error could not load program " + effects + "Lonely.vpr with " + effects + "Lonely.fpr"),
              static_cast<long>(journal.events.size()));
    EXPECT_NE(find("error could not load material " + materials + "torn.mat"),
              static_cast<long>(journal.events.size()));
    EXPECT_EQ(std::count(journal.events.begin(), journal.events.end(), "progress"), 9);
    EXPECT_EQ(journal.events.back(), "finish");
    // The scan ends with the references resolved.
    ASSERT_NE(content.findGeometry("robot"), nullptr);
    EXPECT_EQ(content.findGeometry("robot")->allSubMeshes.at(0)->material, content.findMaterial("steel"));
    EXPECT_NE(content.findMaterial("steel")->diffuseMap, nullptr);
}

TEST_F(ContentObserverGl, NamesThatNoFileCarriesAreReportedOncePerUser) {
    const std::string models = dir("models"), textures = dir("textures"), materials = dir("materials");
    Geometry robot;
    Mesh* body = robot.addMesh(1, "body");
    for (const char* name : {"steel", "nowhere", "nowhere", "torn", ""}) body->addSubMesh()->materialName = name;
    robot.addMesh(2, "head")->addSubMesh()->materialName = "nowhere";
    ASSERT_TRUE(saveGeometry(robot, models + "robot.geo"));
    Geometry arm;
    arm.addMesh(1, "arm")->addSubMesh()->materialName = "nowhere";
    ASSERT_TRUE(saveGeometry(arm, models + "arm.geo"));
    murmur::test::writeRgbPng(textures + "steel_d.png", 2, 2, std::vector<std::uint8_t>(12, 90));
    writeText(textures + "broken_lm.png", "not a png");
    Material steel;
    steel.name = "steel";
    steel.diffuseMapName = "steel_d";
    steel.bumpMapName = "missing_n";
    steel.lightMapName = "broken_lm";
    steel.environmentMapName = "never_looked_up";
    ASSERT_TRUE(saveMaterial(steel, materials + "steel.mat"));
    writeText(materials + "torn.mat", "<Material Name=\"torn\"><Param");

    Journal journal;
    JournalLoader loader(journal);
    JournalObserver observer(journal);
    ContentManager content(&loader, &observer);
    content.loadAll(root());

    std::vector<std::string> errors;
    for (const std::string& e : journal.events)
        if (e.rfind("error ", 0) == 0) errors.push_back(e);
    std::sort(errors.begin(), errors.end());
    const std::vector<std::string> expected = {
        "error could not load material " + materials + "torn.mat",
        "error could not load texture " + textures + "broken_lm.png",
        "error geometry arm uses the material \"nowhere\", which is missing",
        "error geometry robot uses the material \"nowhere\", which is missing",
        "error material steel names the texture \"missing_n\", which is missing",
    };
    EXPECT_EQ(errors, expected);
    // The references are resolved all the same.
    EXPECT_NE(content.findMaterial("steel")->diffuseMap, nullptr);
    EXPECT_EQ(content.findMaterial("steel")->bumpMap, nullptr);
    EXPECT_EQ(journal.events.back(), "finish");
}

TEST_F(ContentObserverGl, SingleDirectoriesReportTheirFilesWithoutAnnouncingAScan) {
    const std::string textures = dir("textures");
    murmur::test::writeRgbPng(textures + "a.png", 1, 1, {1, 2, 3});
    writeText(textures + "b.jpg", "");
    Journal journal;
    JournalLoader loader(journal);
    JournalObserver observer(journal);
    ContentManager content(&loader);
    content.loadTextures(textures);  // no observer yet: nothing heard
    EXPECT_EQ(std::count(journal.events.begin(), journal.events.end(), "progress"), 0);
    content.setObserver(&observer);
    journal.events.clear();
    content.loadTextures(textures);
    const std::vector<std::string> expected = {"load " + textures + "a.png", "progress",
                                               "load " + textures + "b.jpg",
                                               "error could not load texture " + textures + "b.jpg", "progress"};
    EXPECT_EQ(journal.events, expected);
}

TEST(ContentObserver, AnEmptyDataDirectoryAnnouncesNothingToLoadAndFinishes) {
    murmur::test::ScratchDir scratch;
    Journal journal;
    JournalLoader loader(journal);
    JournalObserver observer(journal);
    ContentManager content(&loader, &observer);
    content.loadAll(scratch.file("nothing-here"));
    EXPECT_EQ(journal.events, (std::vector<std::string>{"begin 0", "finish"}));
}

}  // namespace
