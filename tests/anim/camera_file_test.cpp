#include "anim/camera_file.h"
#include "content/geometry/binary_cursor.h"
#include "content/geometry/byte_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

void expectMatNear(const sm::Mat4& a, const sm::Mat4& b, float tol) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a.a[i], b.a[i], tol) << i;
}

void record(ByteWriter& w, int id, const std::string& name, const sm::Mat4& view, bool fovKeys = false) {
    w.writeInt32(id);
    w.writeString(name);
    for (float f : view.a) w.writeFloat32(f);
    if (fovKeys) {
        w.writeUInt8(1);
        w.writeInt32(2);
        for (float f : {0.0f, 0.5f, 2.0f, 1.0f}) w.writeFloat32(f);
    } else {
        w.writeUInt8(0);
        w.writeFloat32(0.785398f);
    }
    w.writeUInt8(0);
    w.writeFloat32(3.0f);
    w.writeFloat32(10.0f);
    w.writeFloat32(5000.0f);
}

TEST(CameraFile, ReadCameraAppliesTheBasisAndKeepsTheConstants) {
    ByteWriter w;
    const sm::Mat4 stored = sm::translation({0, 0, -100});
    record(w, 4, "cam", stored);
    BinaryCursor c(w.bytes());
    auto cam = readCamera(c);
    ASSERT_TRUE(cam);
    EXPECT_EQ(cam->id(), 4);
    EXPECT_TRUE(cam->isCamera());
    EXPECT_EQ(cam->name, "cam");
    EXPECT_EQ(cam->view, sm::rotationAxisAngle({1, 0, 0}, 1.5707963705062866f) * stored);
    EXPECT_EQ(cam->fov(0), 0.785398f);
    EXPECT_EQ(cam->fov(1000), 0.785398f);
    EXPECT_EQ(cam->auxValue, 3.0f);
    EXPECT_EQ(cam->nearPlane(), 10.0f);
    EXPECT_EQ(cam->farPlane(), 5000.0f);
    EXPECT_EQ(&cam->renderMatrix(), &cam->view);
}

TEST(CameraFile, FovTrackIsEvaluated) {
    ByteWriter w;
    record(w, 1, "c", sm::Mat4{}, true);
    BinaryCursor c(w.bytes());
    auto cam = readCamera(c);
    ASSERT_TRUE(cam);
    ASSERT_TRUE(cam->fovTrack);
    EXPECT_FLOAT_EQ(cam->fov(1.0f), 0.75f);
    EXPECT_FLOAT_EQ(cam->fov(5.0f), 1.0f);
}

TEST(CameraFile, MalformedFilesChangeNothing) {
    ByteWriter w;
    w.writeInt32(2);
    record(w, 1, "a", sm::Mat4{}, true);
    record(w, 2, "b", sm::Mat4{});
    CameraList list;
    ASSERT_TRUE(parseCameras(w.bytes().data(), w.bytes().size(), list));
    ASSERT_EQ(list.size(), 2u);
    for (std::size_t n = 0; n < w.bytes().size(); ++n) {
        CameraList cut;
        std::string error;
        EXPECT_FALSE(parseCameras(w.bytes().data(), n, cut, &error)) << n;
        EXPECT_TRUE(cut.empty());
        EXPECT_FALSE(error.empty());
    }
    ByteWriter neg;
    neg.writeInt32(1);
    neg.writeInt32(1);
    neg.writeString("n");
    for (float f : sm::Mat4{}.a) neg.writeFloat32(f);
    neg.writeUInt8(1);
    neg.writeInt32(-4);  // negative key count
    neg.writeBytes(std::vector<std::uint8_t>(64).data(), 64);
    CameraList none;
    EXPECT_FALSE(parseCameras(neg.bytes().data(), neg.bytes().size(), none));
    std::string error;
    EXPECT_FALSE(loadCameras(none, "/nonexistent/cameras.cam", nullptr, &error));
    EXPECT_FALSE(error.empty());
}

// A camera tree: one node per camera, keyed to end at the given time.
std::unique_ptr<SceneNode> cameraTree(const std::vector<std::pair<int, float>>& ends) {
    auto root = std::make_unique<SceneNode>();
    for (auto [id, end] : ends) {
        SceneNode* n = root->addChild(std::make_unique<SceneNode>());
        n->id = id;
        auto pos = std::make_shared<TCBInterpolator<sm::Vec3>>();
        pos->appendKey(0, {0, 0, 0}, false);
        pos->appendKey(end, {10, 0, 0}, false);
        n->positionTrack = pos;
    }
    return root;
}

TEST(CameraFile, LoadCamerasBindsAndSortsByEndTime) {
    ByteWriter w;
    w.writeInt32(3);
    record(w, 1, "ten", sm::Mat4{});
    record(w, 2, "five", sm::Mat4{});
    record(w, 3, "twenty", sm::Mat4{});
    const auto path = std::filesystem::temp_directory_path() / "murmur_cameras_test.cam";
    ASSERT_TRUE(writeWholeFile(path.string(), w.bytes()));
    auto root = cameraTree({{1, 10}, {2, 5}, {3, 20}});
    CameraList list;
    ASSERT_TRUE(loadCameras(list, path.string(), root.get()));
    std::filesystem::remove(path);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]->name, "five");
    EXPECT_EQ(list[1]->name, "ten");
    EXPECT_EQ(list[2]->name, "twenty");
    EXPECT_EQ(list[0]->endTime, 5.0f);
    EXPECT_EQ(root->children[0]->attachment, list[1].get());

    // The node drives the camera: the view is X · inverse(W), and the eye
    // is the node's translation.
    root->updateNode(10.0f, 0.0f, sm::Mat4{});
    const AnimCamera& ten = *list[1];
    expectMatNear(ten.view, cameraFileBasis() * sm::inverse(sm::translation({10, 0, 0})), 1e-5f);
    sm::Vec3 eye;
    ten.position(eye);
    EXPECT_NEAR(eye.x, 10, 1e-4);
    EXPECT_NEAR(eye.y, 0, 1e-4);
    EXPECT_NEAR(eye.z, 0, 1e-4);
}

TEST(CameraFile, WriterRoundTripsViewsAndTracks) {
    CameraList cams;
    auto a = std::make_unique<AnimCamera>();
    a->cameraId = 9;
    a->name = "dolly";
    a->view = sm::rotationAxisAngle({0, 1, 0}, 0.3f) * sm::translation({-50, 20, 300});
    a->fovTrack = std::make_unique<TCBInterpolator<float>>();
    a->fovTrack->appendKey(0, 0.8f, false);
    a->fovTrack->appendKey(3, 1.1f, false);
    a->auxValue = 0.25f;
    a->nearValue = 10;
    a->farValue = 8000;
    cams.push_back(std::move(a));
    auto b = std::make_unique<AnimCamera>();
    b->name = "empty track";
    b->auxTrack = std::make_unique<TCBInterpolator<float>>();
    cams.push_back(std::move(b));
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(writeCameras(cams, bytes, &error)) << error;
    CameraList back;
    ASSERT_TRUE(parseCameras(bytes.data(), bytes.size(), back, &error)) << error;
    ASSERT_EQ(back.size(), 2u);
    expectMatNear(back[0]->view, cams[0]->view, 1e-4f);
    EXPECT_EQ(back[0]->cameraId, 9);
    EXPECT_EQ(back[0]->name, "dolly");
    ASSERT_TRUE(back[0]->fovTrack);
    EXPECT_EQ(back[0]->fovTrack->keyCount(), 2);
    EXPECT_FLOAT_EQ(back[0]->fov(3), 1.1f);
    EXPECT_EQ(back[0]->auxValue, 0.25f);
    EXPECT_EQ(back[0]->farValue, 8000);
    ASSERT_TRUE(back[1]->auxTrack);
    EXPECT_EQ(back[1]->auxTrack->keyCount(), 0);
    EXPECT_FALSE(back[1]->fovTrack);

    cams[0]->fovTrack->setKey(3, 1.2f, true);
    EXPECT_FALSE(writeCameras(cams, bytes, &error));
}

TEST(ManCam, ConstructionValuesGiveATranslation) {
    ManCam cam;
    sm::Mat4 v;
    cam.viewMatrix(v);
    EXPECT_EQ(v, sm::translation({4862, 0, 0}));
    EXPECT_FLOAT_EQ(cam.fov(123), 1.0471976f);
    EXPECT_EQ(cam.nearPlane(), 100.0f);
    EXPECT_EQ(cam.farPlane(), 12000.0f);
    sm::Vec3 p;
    EXPECT_EQ(cam.position(p), (sm::Vec3{-4862, 0, 0}));
    // Roll is applied last: a point on the X axis in front of the camera
    // turns to Y for a roll of 90°.
    cam.roll = 90;
    cam.positionValue = {0, 0, 0};
    cam.viewMatrix(v);
    const sm::Vec3 r = sm::transformPoint(v, {1, 0, 0});
    EXPECT_NEAR(r.x, 0, 1e-6);
    EXPECT_NEAR(r.y, 1, 1e-6);
}

}  // namespace
