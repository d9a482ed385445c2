#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

#include "anim/core/linear_interpolator.h"
#include "anim/core/scene_node.h"
#include "anim/core/state_interpolator.h"
#include "content/geometry/geometry.h"

// Small animation trees and geometries built in memory, for suites that
// drive scene objects without content files.
namespace murmur::test {

using TimedVec3 = std::pair<float, sm::Vec3>;

// A child of parent with this name and id.
inline SceneNode* addNode(SceneNode& parent, const std::string& name, int id = 0) {
    auto node = std::make_unique<SceneNode>();
    node->name = name;
    node->id = id;
    return parent.addChild(std::move(node));
}

// A straight-line position track through the keys.
inline std::shared_ptr<LinearInterpolator<sm::Vec3>> linearTrack(std::initializer_list<TimedVec3> keys) {
    auto track = std::make_shared<LinearInterpolator<sm::Vec3>>();
    for (const auto& [time, value] : keys) track->appendKey(time, value, false);
    return track;
}

// A position track that holds each key's value until the next key.
inline std::shared_ptr<StateInterpolator<sm::Vec3>> steppedTrack(std::initializer_list<TimedVec3> keys) {
    auto track = std::make_shared<StateInterpolator<sm::Vec3>>();
    for (const auto& [time, value] : keys) track->appendKey(time, value, false);
    return track;
}

// A mesh of geometry with `count` empty submeshes; refreshes the
// geometry's submesh list.
inline Mesh* addMesh(Geometry& geometry, int id, const std::string& name, int count = 1) {
    Mesh* mesh = geometry.addMesh(id, name);
    for (int i = 0; i < count; ++i) mesh->addSubMesh();
    geometry.refreshSubMeshList();
    return mesh;
}

inline sm::Vec3 translationOf(const sm::Mat4& m) { return {m.a[12], m.a[13], m.a[14]}; }

}  // namespace murmur::test
