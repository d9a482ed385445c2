#pragma once
// Writing the world's files into the staging tree; failures are reported
// through the staging folder with the file's name.
#include "tools/model/model.h"

#include "anim/camera_file.h"
#include "anim/core/scene_node.h"
#include "content/geometry/geometry.h"

#include <memory>
#include <string>

namespace content {
class Staging;
}

namespace world {

// models/NAME.geo (or `folder`/NAME.geo) from a model; returns the geometry
// written (null on failure) so properties can be checked or reused.
std::unique_ptr<Geometry> saveModel(content::Staging& staging, const std::string& relative, const model::Model& m,
                                    bool lightmapped, void (*decorate)(Geometry&) = nullptr);
bool saveGeometryFile(content::Staging& staging, const std::string& relative, const Geometry& g);
bool saveAnimationFile(content::Staging& staging, const std::string& relative, const SceneNode& root);
bool saveCameraFile(content::Staging& staging, const std::string& relative, const CameraList& cameras);

} // namespace world
