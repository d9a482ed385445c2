#pragma once

#include <memory>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "anim/core/interpolator.h"
#include "anim/core/transformable.h"
#include "math/mat4.h"

// One node of an animation tree: a constant or animated position, rotation
// and scale composed down the tree, driving at most one attachment (a mesh or
// a camera with the node's id).
//
// Ownership: a node owns the children added with addChild; appendChild links
// a node that another parent owns (a node may have two parents, and each
// update of either parent updates it). Tracks are shared: copyTracksFrom makes
// nodes of several trees point at the same curves.
class SceneNode {
public:
    using Vec3Track = std::shared_ptr<IInterpolator<sm::Vec3>>;
    using QuatTrack = std::shared_ptr<IInterpolator<sm::Quat>>;

    SceneNode() = default;
    SceneNode(const SceneNode&) = delete;
    SceneNode& operator=(const SceneNode&) = delete;

    // Takes ownership of child and appends it to the children; returns it.
    SceneNode* addChild(std::unique_ptr<SceneNode> child);
    // Appends a node owned elsewhere to the children.
    void appendChild(SceneNode* child);

    // Evaluates the tracks at time (storing the hints), composes this node's
    // world matrix under parent and writes it into the attachment, then
    // updates the children. A camera node writes the camera's view matrix and
    // leaves its own world matrix and its children alone. dt is handed down
    // unchanged.
    void updateNode(float time, float dt, const sm::Mat4& parent);
    // Computes world matrices only (hints neither used nor stored; no model
    // matrix, pivot or camera case); writes the attachment's nodeMatrix.
    void updatePose(float time, const sm::Mat4& parent);

    // This node first, then each child's subtree depth-first.
    SceneNode* findNode(const std::string& name);
    // Descendants only: the direct children first, then each child's findChild.
    SceneNode* findChild(const std::string& name);
    SceneNode* findNodeById(int id);
    // Appends this node and its subtree in pre-order.
    void collectNodes(std::vector<SceneNode*>& list);

    // Children first, then this node: a node with id != 0 takes the first
    // object of meshes with an equal id as its attachment; no match keeps the
    // attachment it had.
    void bindMeshes(std::span<ITransformable* const> meshes);
    // Accepts any range of meshes or of (smart) pointers to them.
    template <typename Range>
        requires(!std::is_convertible_v<Range &&, std::span<ITransformable* const>>)
    void bindMeshes(Range&& meshes);
    // Children first, then this node: a node with id != 0 equal to the
    // camera's id takes the camera as its attachment.
    void bindCamera(ITransformable* camera);

    // Takes the pivot, constants and track pointers of every equally named
    // node of source (the last namesake wins) and resets the hints and the
    // cached duration of the nodes that changed.
    void copyTracksFrom(SceneNode& source);
    void resetTrackHints();
    // Latest key time of this subtree (at least 0), cached on first call.
    float duration();
    // Latest key time of the tracks of the node with that id (children not
    // counted); 0 when no node has the id.
    float trackEnd(int id);

    int id = 0;
    std::string name;
    sm::Mat4 pivot;
    sm::Mat4 world;
    sm::Vec3 position{0.0f, 0.0f, 0.0f};
    sm::Quat rotation{1.0f, 0.0f, 0.0f, 0.0f};
    sm::Vec3 scale{1.0f, 1.0f, 1.0f};
    Vec3Track positionTrack;
    QuatTrack rotationTrack;
    Vec3Track scaleTrack;
    int positionHint = 0;
    int rotationHint = 0;
    int scaleHint = 0;
    std::vector<SceneNode*> children;
    ITransformable* attachment = nullptr;

private:
    float ownTrackEnd() const;

    float durationCache_ = -1.0f;
    std::vector<std::unique_ptr<SceneNode>> ownedChildren_;
};

template <typename Range>
    requires(!std::is_convertible_v<Range &&, std::span<ITransformable* const>>)
void SceneNode::bindMeshes(Range&& meshes) {
    std::vector<ITransformable*> list;
    for (auto&& mesh : meshes) {
        if constexpr (std::is_base_of_v<ITransformable, std::remove_cvref_t<decltype(mesh)>>)
            list.push_back(&mesh);
        else
            list.push_back(&*mesh);
    }
    bindMeshes(std::span<ITransformable* const>(list));
}
