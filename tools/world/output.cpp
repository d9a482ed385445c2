#include "tools/world/output.h"

#include "anim/animation_writer.h"
#include "content/geometry/geometry_writer.h"
#include "tools/content/staging.h"
#include "tools/world/materials.h"

namespace world {

namespace {

bool store(content::Staging& staging, const std::string& relative, const std::vector<std::uint8_t>& bytes)
{
    return staging.writeBytes(relative, std::string(bytes.begin(), bytes.end()));
}

} // namespace

bool saveGeometryFile(content::Staging& staging, const std::string& relative, const Geometry& g)
{
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!writeGeometry(g, bytes, &error)) {
        staging.fail(relative + ": " + error);
        return false;
    }
    return store(staging, relative, bytes);
}

std::unique_ptr<Geometry> saveModel(content::Staging& staging, const std::string& relative, const model::Model& m,
                                    bool lightmapped, void (*decorate)(Geometry&))
{
    std::string error;
    auto g = model::buildGeometry(m, surfaceLookup(lightmapped), &error);
    if (!g) {
        staging.fail(relative + ": " + error);
        return nullptr;
    }
    if (decorate) decorate(*g);
    if (!saveGeometryFile(staging, relative, *g)) return nullptr;
    return g;
}

bool saveAnimationFile(content::Staging& staging, const std::string& relative, const SceneNode& root)
{
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!writeAnimation(root, bytes, &error)) {
        staging.fail(relative + ": " + error);
        return false;
    }
    return store(staging, relative, bytes);
}

bool saveCameraFile(content::Staging& staging, const std::string& relative, const CameraList& cameras)
{
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!writeCameras(cameras, bytes, &error)) {
        staging.fail(relative + ": " + error);
        return false;
    }
    return store(staging, relative, bytes);
}

} // namespace world
