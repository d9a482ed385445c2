#include "anim/core/scene_node.h"

namespace {

// π/2 as a float: turns the inverse of a camera node's world matrix into a
// view matrix looking down the node's Y axis with Z up.
const sm::Mat4& cameraBasis() {
    static const sm::Mat4 basis = sm::rotationAxisAngle({1.0f, 0.0f, 0.0f}, 1.570796251296997f);
    return basis;
}

template <typename T, typename Track>
T evaluateTrack(const Track& track, float time, const T& constant, int& hint) {
    T value = constant;
    if (track) hint = track->evaluate(time, value, hint);
    return value;
}

template <typename T, typename Track>
T sampleTrack(const Track& track, float time, const T& constant) {
    T value = constant;
    if (track) track->evaluate(time, value, 0);
    return value;
}

template <typename Track>
float lastKeyTime(const Track& track) {
    if (!track || track->keyCount() == 0) return 0.0f;
    float time = 0.0f;
    typename std::remove_cvref_t<decltype(*track)>::ValueType value{};
    bool step = false;
    track->getKey(track->keyCount() - 1, time, value, step);
    return time;
}

// Calls visit on node and on every node below it, parents before their
// children (the order collectNodes lists them in), without building a list.
template <typename Visit>
void forEachNode(SceneNode& node, Visit& visit) {
    visit(node);
    for (SceneNode* child : node.children) forEachNode(*child, visit);
}

}  // namespace

SceneNode* SceneNode::addChild(std::unique_ptr<SceneNode> child) {
    SceneNode* raw = child.get();
    if (!raw) return nullptr;
    ownedChildren_.push_back(std::move(child));
    children.push_back(raw);
    return raw;
}

void SceneNode::appendChild(SceneNode* child) {
    if (child) children.push_back(child);
}

void SceneNode::updateNode(float time, float dt, const sm::Mat4& parent) {
    const sm::Vec3 p = evaluateTrack(positionTrack, time, position, positionHint);
    const sm::Quat q = evaluateTrack(rotationTrack, time, rotation, rotationHint);

    if (attachment && attachment->isCamera()) {
        sm::Mat4 w = parent * sm::translation(p);
        w = w * sm::rotation(q);
        attachment->renderMatrix() = cameraBasis() * sm::inverse(w);
        return;
    }

    const sm::Vec3 s = evaluateTrack(scaleTrack, time, scale, scaleHint);
    sm::Mat4 m = sm::identityMatrix();
    if (attachment) m = m * attachment->modelMatrix();
    m = m * parent;
    m = m * sm::translation(p);
    m = m * sm::rotation(q);
    m = m * sm::scaling(s);
    world = m;
    if (attachment) {
        attachment->nodeMatrix() = m;
        attachment->renderMatrix() = m * pivot;
    }
    for (SceneNode* child : children) child->updateNode(time, dt, m);
}

void SceneNode::updatePose(float time, const sm::Mat4& parent) {
    const sm::Vec3 p = sampleTrack(positionTrack, time, position);
    const sm::Quat q = sampleTrack(rotationTrack, time, rotation);
    const sm::Vec3 s = sampleTrack(scaleTrack, time, scale);
    sm::Mat4 m = parent * sm::translation(p);
    m = m * sm::rotation(q);
    m = m * sm::scaling(s);
    world = m;
    if (attachment) attachment->nodeMatrix() = m;
    for (SceneNode* child : children) child->updatePose(time, world);
}

// Runs when a clip starts, in the frame: it walks both trees in place
// rather than listing them, so that it allocates nothing.
void SceneNode::copyTracksFrom(SceneNode& source) {
    auto copyInto = [&source](SceneNode& a) {
        auto takeFrom = [&a](SceneNode& b) {
            if (a.name != b.name) return;
            a.durationCache_ = -1.0f;
            a.positionHint = 0;
            a.rotationHint = 0;
            a.scaleHint = 0;
            a.pivot = b.pivot;
            a.position = b.position;
            a.rotation = b.rotation;
            a.scale = b.scale;
            a.positionTrack = b.positionTrack;
            a.rotationTrack = b.rotationTrack;
            a.scaleTrack = b.scaleTrack;
        };
        forEachNode(source, takeFrom);
    };
    forEachNode(*this, copyInto);
}

void SceneNode::resetTrackHints() {
    positionHint = 0;
    rotationHint = 0;
    scaleHint = 0;
    for (SceneNode* child : children) child->resetTrackHints();
}

float SceneNode::ownTrackEnd() const {
    float end = lastKeyTime(positionTrack);
    const float r = lastKeyTime(rotationTrack);
    if (r > end) end = r;
    const float s = lastKeyTime(scaleTrack);
    if (s > end) end = s;
    return end;
}

float SceneNode::duration() {
    if (durationCache_ != -1.0f) return durationCache_;
    float end = ownTrackEnd();
    for (SceneNode* child : children) {
        const float c = child->duration();
        if (c > end) end = c;
    }
    if (!(end > 0.0f)) end = 0.0f;
    durationCache_ = end;
    return end;
}

float SceneNode::trackEnd(int nodeId) {
    const SceneNode* node = findNodeById(nodeId);
    return node ? node->ownTrackEnd() : 0.0f;
}
