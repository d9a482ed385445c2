#include "anim/track_clip.h"

#include <cmath>

#include "anim/core/scene_node.h"
#include "math/scalar.h"

namespace {

// Normalised, or (0, 0, 0) when v has no length.
sm::Vec3 unitOrZero(sm::Vec3 v) {
    const float length = sm::length(v);
    if (length == 0.0f) return {0.0f, 0.0f, 0.0f};
    return sm::normalize(v);
}

// Local X = side, Y = up, Z = forward (the direction of travel).
sm::Mat4 facingAlong(sm::Vec3 forward) {
    const sm::Vec3 up{0.0f, 1.0f, 0.0f};
    const sm::Vec3 s = unitOrZero(sm::cross(up, forward));
    const sm::Vec3 u = unitOrZero(sm::cross(forward, s));
    const sm::Vec3 r = unitOrZero(sm::cross(u, forward));
    sm::Mat4 basis;
    basis.a[0] = r.x;
    basis.a[1] = r.y;
    basis.a[2] = r.z;
    basis.a[4] = u.x;
    basis.a[5] = u.y;
    basis.a[6] = u.z;
    basis.a[8] = forward.x;
    basis.a[9] = forward.y;
    basis.a[10] = forward.z;
    return basis;
}

}  // namespace

TrackClip::TrackClip(SceneNode* target, SceneNode* walkSource, SceneNode* track)
    : target_(target), walkSource_(walkSource), track_(track) {
    if (walkSource_) cycleLength_ = walkSource_->duration();
}

bool TrackClip::playable() const { return target_ && walkSource_ && track_ && !track_->children.empty(); }

void TrackClip::start() {
    if (playable()) target_->copyTracksFrom(*walkSource_);
}

void TrackClip::update(float time, float dt) {
    if (!playable()) return;
    track_->updateNode(time, dt, sm::identityMatrix());
    const sm::Vec3 p = sm::transformPoint(track_->children.front()->world, {0.0f, 0.0f, 0.0f});

    const sm::Vec3 d{p.x - lastPosition_.x, 0.0f, p.z - lastPosition_.z};
    const float distance = sm::fsqrt(d.x * d.x + 0.0f + d.z * d.z);
    lastPosition_ = p;
    if (distance != 0.0f) facing_ = facingAlong({d.x / distance, 0.0f, d.z / distance});
    const sm::Mat4 placement = sm::translation(p) * facing_;

    if (cycleLength_ > 0.0f) {
        cycleTime_ = cycleTime_ + distance / 412.0f * cycleLength_ * 0.4f;
        if (cycleTime_ >= cycleLength_) target_->resetTrackHints();
        cycleTime_ = static_cast<float>(std::fmod(static_cast<double>(cycleTime_), static_cast<double>(cycleLength_)));
    }
    target_->updateNode(cycleTime_, dt, placement);
}

float TrackClip::endTime() { return track_ ? track_->duration() : 0.0f; }

const char* TrackClip::problem() const {
    if (!track_) return "no path animation";
    if (track_->children.empty()) return "the path animation has no node to follow";
    if (!walkSource_) return "no walk cycle";
    if (!target_) return "no skeleton to play it on";
    if (cycleLength_ <= 0.0f) return "the walk cycle has no keys";
    return nullptr;
}
