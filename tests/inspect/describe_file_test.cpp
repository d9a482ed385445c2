#include "anim/animation_writer.h"
#include "anim/camera_file.h"
#include "anim/core/tcb_interpolator.h"
#include "content/bitmap_font.h"
#include "content/geometry/geometry_writer.h"
#include "content/material.h"
#include "tools/inspect/describe_file.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

class Inspect : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("murmur_inspect_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string file(const std::string& name) const { return (dir_ / name).string(); }

    // Runs the tool; returns the exit status and fills standard output and
    // standard error.
    int run(const std::string& args, std::string& out, std::string& err) {
        const std::string cmd = std::string(MURMUR_BIN_DIR) + "/murmur-inspect " + args + " >" + file("out.txt") +
                                " 2>" + file("err.txt");
        const int status = std::system(cmd.c_str());
        out = slurp(file("out.txt"));
        err = slurp(file("err.txt"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static std::string slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void writePng(const std::string& path, int w, int h) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_TRUE(f);
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, f);
        png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGBA,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        std::vector<png_byte> row(static_cast<std::size_t>(w) * 4, 255);
        for (int y = 0; y < h; ++y) png_write_row(png, row.data());
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
    }

    fs::path dir_;
};

std::string json(const Value& v) { return toJson(v); }

TEST_F(Inspect, GeometryMembers) {
    Geometry g;
    g.hasHeader = true;
    g.version = 1;
    Mesh* m = g.addMesh(3, "hub");
    m->fileTransform = sm::translation({1, 2, 3});
    ASSERT_TRUE(m->addSubMesh()->setVertices(0, {-1, 0, 5, 3, 2, 5}));
    m->subMeshes[0]->materialName = "metal";
    auto p = std::make_unique<MeshProperty>();
    p->name = "opacity_end";
    p->valueType = kPropFloat;
    p->animationKind = kPropLinear;
    p->createHolder();
    p->curve<float>()->appendKey(0, 1.5f, false);
    p->curve<float>()->appendKey(2, 3.5f, false);
    m->addProperty(std::move(p));
    ASSERT_TRUE(saveGeometry(g, file("fan.geo")));
    Value v;
    std::string error;
    ASSERT_TRUE(inspectFile(file("fan.geo"), v, error)) << error;
    const std::string j = json(v);
    EXPECT_NE(j.find("\"kind\": \"geometry\""), std::string::npos) << j;
    EXPECT_NE(j.find("\"version\": 1"), std::string::npos);
    EXPECT_NE(j.find("\"fileTransform\": [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1]"), std::string::npos) << j;
    EXPECT_NE(j.find("\"bounds\": [-1, 3, 0, 2, 5, 5, 1, 1, 5]"), std::string::npos) << j;
    EXPECT_NE(j.find("[0, 1.5]"), std::string::npos) << j;
    EXPECT_NE(j.find("[2, 3.5]"), std::string::npos) << j;
    EXPECT_NE(j.find("\"kind\": \"linear\""), std::string::npos) << j;
}

TEST_F(Inspect, AnimationCamerasMaterialFontImage) {
    SceneNode root;
    SceneNode* n = root.addChild(std::make_unique<SceneNode>());
    n->id = 2;
    n->name = "Hip";
    auto rot = std::make_shared<TCBInterpolator<sm::Quat>>();
    rot->appendKey(0, sm::Quat{}, false);
    rot->appendKey(4, sm::Quat{0, 1, 0, 0}, false);
    n->rotationTrack = rot;
    ASSERT_TRUE(saveAnimation(root, file("walk.ani")));

    CameraList cams;
    cams.push_back(std::make_unique<AnimCamera>());
    cams[0]->cameraId = 5;
    cams[0]->name = "main";
    cams[0]->fovValue = 0.75f;
    ASSERT_TRUE(saveCameras(cams, file("cameras.cam")));

    Material mat;
    mat.name = "glow_red";
    mat.diffuseMapName = "red";
    ASSERT_TRUE(saveMaterial(mat, file("red.mat")));

    writePng(file("font.png"), 256, 128);
    FontDescription font;
    font.bitmap = "font.png";
    font.entries.push_back({'A', 32, 64, 16, 32});
    ASSERT_TRUE(saveFontDescription(font, file("font.xml")));

    Value v;
    std::string error;
    ASSERT_TRUE(inspectFile(file("walk.ani"), v, error)) << error;
    std::string j = json(v);
    EXPECT_NE(j.find("\"duration\": 4"), std::string::npos) << j;
    EXPECT_NE(j.find("\"rotation\": null"), std::string::npos) << j;
    EXPECT_NE(j.find("\"name\": \"Hip\""), std::string::npos) << j;

    ASSERT_TRUE(inspectFile(file("cameras.cam"), v, error)) << error;
    j = json(v);
    EXPECT_NE(j.find("\"kind\": \"cameras\""), std::string::npos) << j;
    EXPECT_NE(j.find("\"fov\": 0.75"), std::string::npos) << j;
    EXPECT_NE(j.find("\"aux\": 0"), std::string::npos) << j;

    ASSERT_TRUE(inspectFile(file("red.mat"), v, error)) << error;
    j = json(v);
    EXPECT_NE(j.find("\"diffuseMapName\": \"red\""), std::string::npos) << j;
    // Every field of the material, texture slots by the names they resolve by.
    EXPECT_NE(j.find("\"diffuseMap\": \"red\""), std::string::npos) << j;
    EXPECT_NE(j.find("\"opacityMap\": null"), std::string::npos) << j;
    EXPECT_NE(j.find("\"bumpMap\": null"), std::string::npos) << j;
    EXPECT_NE(j.find("\"lightMap\": null"), std::string::npos) << j;
    EXPECT_NE(j.find("\"glossiness\": 0.3"), std::string::npos) << j;

    ASSERT_TRUE(inspectFile(file("font.xml"), v, error)) << error;
    j = json(v);
    EXPECT_NE(j.find("\"texCoords\": [0.125, 0.75, 0.125, 0.5, 0.1875, 0.75, 0.1875, 0.5]"), std::string::npos) << j;
    EXPECT_EQ(j.find("\"code\": 66"), std::string::npos);

    ASSERT_TRUE(inspectFile(file("font.png"), v, error)) << error;
    j = json(v);
    EXPECT_NE(j.find("\"width\": 256"), std::string::npos) << j;
    EXPECT_NE(j.find("\"channels\": 4"), std::string::npos) << j;
}

TEST_F(Inspect, ToolReportsBadFilesAndPrintsTheRest) {
    Geometry g;
    g.addMesh(1, "only");
    ASSERT_TRUE(saveGeometry(g, file("ok.geo")));
    std::ofstream(file("cut.geo"), std::ios::binary) << "\x05\x00\x00";
    std::string out, err;
    const int status = run("--json " + file("cut.geo") + " " + file("ok.geo") + " " + file("missing.ani") + " " +
                               file("notes.txt"),
                           out, err);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("\"name\": \"only\""), std::string::npos) << out;
    EXPECT_NE(err.find(file("cut.geo") + ": "), std::string::npos) << err;
    EXPECT_NE(err.find(file("missing.ani") + ": cannot be opened"), std::string::npos) << err;
    EXPECT_NE(err.find("unknown extension"), std::string::npos) << err;

    EXPECT_EQ(run(file("ok.geo"), out, err), 0);
    EXPECT_NE(out.find("name: \"only\""), std::string::npos) << out;
    EXPECT_TRUE(err.empty()) << err;
    EXPECT_EQ(run("", out, err), 2);
}

TEST(InspectJson, StringsAndNumbersStayValid) {
    Value v = Value::object();
    v.set("s", Value::string(std::string("a\"b\\\n\x01\xff\xc3\xa9", 9)));
    v.set("nan", Value::number(std::numeric_limits<float>::quiet_NaN()));
    v.set("f", Value::number(0.1f));
    v.set("empty", Value::array());
    EXPECT_EQ(toJson(v), "{\n  \"s\": \"a\\\"b\\\\\\n\\u0001\\u00ff\xc3\xa9\",\n  \"nan\": null,\n  \"f\": 0.1,\n  "
                         "\"empty\": []\n}\n");
}

}  // namespace
