#pragma once

#include "anim/camera.h"
#include "anim/core/scene_node.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class BinaryCursor;

using CameraList = std::vector<std::unique_ptr<AnimCamera>>;

// Reads one camera record. The view becomes X · V, with V as stored and X the
// rotation by π/2 about the X axis. Null when the record is cut short or a
// key count is negative (the cursor then holds the reason).
std::unique_ptr<AnimCamera> readCamera(BinaryCursor& cursor);

// Every camera record of a camera file, in file order, with no binding. A
// malformed file gives false, leaves list unchanged and puts the reason in
// error.
bool parseCameras(const std::uint8_t* data, std::size_t size, CameraList& list, std::string* error = nullptr);

// Reads the camera file at path and appends its cameras to list. With a
// root, each camera's endTime becomes root.trackEnd(id) and the camera is
// bound to the node with its id. The list is then sorted by endTime. A file
// that cannot be read or is malformed gives false and changes nothing.
bool loadCameras(CameraList& list, const std::string& path, SceneNode* root, std::string* error = nullptr);

// Encodes cameras as a camera file. The stored view is X⁻¹ · view, so that
// reading gives the view back (within float rounding). A fov or aux track is
// stored as keys (even with none); without one the constant is stored.
// Refused, with the reason: a key with the step flag set (the reader makes
// smooth tracks only).
bool writeCameras(std::span<const AnimCamera* const> cameras, std::vector<std::uint8_t>& out,
                  std::string* error = nullptr);
bool writeCameras(const CameraList& cameras, std::vector<std::uint8_t>& out, std::string* error = nullptr);
bool saveCameras(const CameraList& cameras, const std::string& path, std::string* error = nullptr);

// The fixed rotation between a camera node's frame and the view.
const sm::Mat4& cameraFileBasis();
