#include "anim/camera_file.h"

#include "content/geometry/binary_cursor.h"
#include "content/geometry/byte_writer.h"

#include <algorithm>

namespace {

// Smallest camera record: id, name length, view, two flags with constants,
// near and far.
constexpr std::size_t kMinCameraRecord = 4 + 4 + 64 + 1 + 4 + 1 + 4 + 4 + 4;

std::unique_ptr<TCBInterpolator<float>> readTrack(BinaryCursor& c, const char* what) {
    const std::size_t at = c.position();
    const std::int32_t keys = c.readInt32();
    if (!c.ok()) return nullptr;
    if (keys < 0) {
        c.fail(std::string("negative ") + what + " key count " + std::to_string(keys) + " at byte " +
               std::to_string(at));
        return nullptr;
    }
    if (!c.canRead(keys, 8)) return nullptr;
    auto track = std::make_unique<TCBInterpolator<float>>();
    for (std::int32_t k = 0; k < keys; ++k) {
        const float time = c.readFloat32();
        const float value = c.readFloat32();
        track->appendKey(time, value, false);
    }
    return track;
}

bool fail(std::string* error, const std::string& reason) {
    if (error) *error = reason;
    return false;
}

bool hasStepKey(const TCBInterpolator<float>* track) {
    if (!track) return false;
    for (int k = 0; k < track->keyCount(); ++k) {
        float time = 0, value = 0;
        bool step = false;
        track->getKey(k, time, value, step);
        if (step) return true;
    }
    return false;
}

void writeTrackOrConstant(ByteWriter& w, const TCBInterpolator<float>* track, float constant) {
    w.writeUInt8(track ? 1 : 0);
    if (!track) {
        w.writeFloat32(constant);
        return;
    }
    w.writeInt32(track->keyCount());
    for (int k = 0; k < track->keyCount(); ++k) {
        float time = 0, value = 0;
        bool step = false;
        track->getKey(k, time, value, step);
        w.writeFloat32(time);
        w.writeFloat32(value);
    }
}

}  // namespace

const sm::Mat4& cameraFileBasis() {
    static const sm::Mat4 basis = sm::rotationAxisAngle({1.0f, 0.0f, 0.0f}, 1.5707963705062866f);
    return basis;
}

std::unique_ptr<AnimCamera> readCamera(BinaryCursor& c) {
    auto cam = std::make_unique<AnimCamera>();
    cam->cameraId = c.readInt32();
    cam->name = c.readString();
    sm::Mat4 stored;
    for (float& f : stored.a) f = c.readFloat32();
    cam->view = cameraFileBasis() * stored;
    if (c.readUInt8() == 0) cam->fovValue = c.readFloat32();
    else cam->fovTrack = readTrack(c, "fov");
    if (c.readUInt8() == 0) cam->auxValue = c.readFloat32();
    else cam->auxTrack = readTrack(c, "aux");
    cam->nearValue = c.readFloat32();
    cam->farValue = c.readFloat32();
    if (!c.ok()) return nullptr;
    return cam;
}

bool parseCameras(const std::uint8_t* data, std::size_t size, CameraList& list, std::string* error) {
    BinaryCursor c(data, size);
    const std::int32_t count = c.readInt32();
    if (c.ok() && count < 0) c.fail("negative camera count " + std::to_string(count));
    CameraList read;
    if (c.canRead(count, kMinCameraRecord)) {
        for (std::int32_t i = 0; i < count; ++i) {
            auto cam = readCamera(c);
            if (!cam) break;
            read.push_back(std::move(cam));
        }
    }
    if (!c.ok()) return fail(error, c.error());
    for (auto& cam : read) list.push_back(std::move(cam));
    return true;
}

bool loadCameras(CameraList& list, const std::string& path, SceneNode* root, std::string* error) {
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes)) return fail(error, "cannot be opened or read");
    CameraList read;
    if (!parseCameras(bytes.data(), bytes.size(), read, error)) return false;
    for (auto& cam : read) {
        if (root) {
            cam->endTime = root->trackEnd(cam->cameraId);
            root->bindCamera(cam.get());
        }
        list.push_back(std::move(cam));
    }
    // Equal end times keep their file order.
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a->endTime < b->endTime; });
    return true;
}

bool writeCameras(std::span<const AnimCamera* const> cameras, std::vector<std::uint8_t>& out, std::string* error) {
    ByteWriter w;
    w.writeInt32(static_cast<std::int32_t>(cameras.size()));
    const sm::Mat4 toFile = sm::inverse(cameraFileBasis());
    for (const AnimCamera* cam : cameras) {
        if (hasStepKey(cam->fovTrack.get()) || hasStepKey(cam->auxTrack.get()))
            return fail(error, "camera \"" + cam->name + "\" has a step key, which the file cannot hold");
        w.writeInt32(cam->cameraId);
        w.writeString(cam->name);
        const sm::Mat4 stored = toFile * cam->view;
        for (float f : stored.a) w.writeFloat32(f);
        writeTrackOrConstant(w, cam->fovTrack.get(), cam->fovValue);
        writeTrackOrConstant(w, cam->auxTrack.get(), cam->auxValue);
        w.writeFloat32(cam->nearValue);
        w.writeFloat32(cam->farValue);
    }
    out = w.take();
    return true;
}

bool writeCameras(const CameraList& cameras, std::vector<std::uint8_t>& out, std::string* error) {
    std::vector<const AnimCamera*> list;
    for (const auto& cam : cameras) list.push_back(cam.get());
    return writeCameras(std::span<const AnimCamera* const>(list), out, error);
}

bool saveCameras(const CameraList& cameras, const std::string& path, std::string* error) {
    std::vector<std::uint8_t> bytes;
    if (!writeCameras(cameras, bytes, error)) return false;
    if (!writeWholeFile(path, bytes)) return fail(error, "cannot write " + path);
    return true;
}
