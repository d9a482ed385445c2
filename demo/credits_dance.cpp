#include "demo/credits_dance.h"

#include <algorithm>
#include <string>

#include "anim/core/interpolator.h"
#include "anim/core/scene_node.h"
#include "content/content_manager.h"
#include "content/geometry/geometry.h"
#include "content/shader_program.h"
#include "content/texture.h"

namespace {

constexpr const char* kHand = "credits_dance_hand";

bool negatesSide(int greeting) { return greeting == 1 || greeting == 4 || greeting == 7 || greeting == 10; }

}  // namespace

CreditsDance::CreditsDance(const ContentManager& content) : content_(content) {}

void CreditsDance::init() {
    handAnimation_ = content_.findAnimation(kHand);
    handGeometry_ = content_.findGeometry(kHand);
    if (handGeometry_) {
        if (handAnimation_) handAnimation_->bindMeshes(handGeometry_->meshes);
        creditsHand_ = handGeometry_->findMesh("credits_hand");
        handAxis_ = handGeometry_->findMesh("hand_axis");
        const auto& subs = handGeometry_->allSubMeshes;
        for (std::size_t i = 0; i < subs.size() && i < 3; ++i) subs[i]->hidden = true;
    }
    if (creditsHand_)
        if (const MeshProperty* property = creditsHand_->findProperty("credits_visible"))
            visibility_ = property->curve<int>();

    program_ = content_.findProgram("CreditSprite");
    if (program_) programLinks_ = program_->bindAttributes({{"a_position", 0}});
    if (programLinks_) {
        mvpLocation_ = program_->uniformLocation("u_mvp");
        textureLocation_ = program_->uniformLocation("u_tex");
        progressLocation_ = program_->uniformLocation("u_progress");
    }
    for (int i = 0; i < kGreetings; ++i) {
        greetings_[static_cast<std::size_t>(i)] = content_.findTexture("greetz" + std::to_string(i));
        clampToEdge(greetings_[static_cast<std::size_t>(i)]);
    }
}

void CreditsDance::update(float time, float dt) {
    if (started_ == -1.0f) {
        started_ = 0.0f;
        localTime_ += time;
    }
    localTime_ += dt * speed_;
    if (handAnimation_) handAnimation_->updateNode(localTime_, dt, sm::identityMatrix());

    int visible = 0;
    int key = 0;
    if (visibility_) key = visibility_->evaluate(time, visible, 0);
    if (visible != 1) {
        inWindow_ = false;
        speed_ = std::min(1.0f, speed_ + kRamp * dt);
        return;
    }
    if (!inWindow_) openWindow(key);
    // A window of no length is revealed at once.
    if (windowHasGreeting_) progress_ = windowLength_ > 0.0f ? (localTime_ - windowStart_) / windowLength_ : 1.0f;
    speed_ = std::max(kSlowest, speed_ - kRamp * dt);
}

void CreditsDance::openWindow(int key) {
    inWindow_ = true;
    // Twelve greetings: a later rise keeps the last one up, frozen.
    windowHasGreeting_ = greetingIndex_ + 1 < kGreetings;
    if (!windowHasGreeting_) return;
    ++greetingIndex_;

    float start = 0.0f;
    int value = 0;
    bool step = false;
    visibility_->getKey(key, start, value, step);
    float end = start;  // stays so when the rise is the track's last key
    visibility_->getKey(key + 1, end, value, step);
    windowStart_ = start;
    windowLength_ = end - start;

    const sm::Vec3 a0 = axisPositionAt(start);
    const sm::Vec3 a1 = axisPositionAt(end);
    spritePosition_ = a0;
    sm::Vec3 along = a1 - a0;
    spriteWidth_ = sm::length(along);
    sm::normalize(along);
    spriteSide_ = sm::cross(along, {0.0f, 1.0f, 0.0f});
    sm::normalize(spriteSide_);
    if (negatesSide(greetingIndex_)) spriteSide_ = spriteSide_ * -1.0f;
    spriteUp_ = sm::cross(spriteSide_, along);
    sm::normalize(spriteUp_);
}

sm::Vec3 CreditsDance::axisPositionAt(float time) const {
    if (!handAnimation_ || !handAxis_) return {0.0f, 0.0f, 0.0f};
    handAnimation_->updatePose(time, sm::identityMatrix());
    return sm::transformPoint(handAxis_->nodeMatrixValue, {0.0f, 0.0f, 0.0f});
}

const std::vector<SubMesh*>& CreditsDance::submeshes() const {
    return handGeometry_ ? handGeometry_->allSubMeshes : GameObject::submeshes();
}

void CreditsDance::problems(std::vector<std::string>& out) const {
    const std::string hand = std::string("\"") + kHand + "\"";
    if (!handAnimation_) out.push_back("no animation " + hand + ": the credits hand does not move");
    if (!handGeometry_) {
        out.push_back("no geometry " + hand + ": the credits hand and its greetings are not shown");
    } else {
        if (!creditsHand_) out.push_back("no mesh \"credits_hand\" in " + hand + ": no greetings are shown");
        else if (!visibility_)
            out.push_back("no integer track \"credits_visible\" on \"credits_hand\": no greetings are shown");
        if (!handAxis_) out.push_back("no mesh \"hand_axis\" in " + hand + ": the greetings cannot be placed");
    }
    // The program and the pictures are named even without the hand, so that
    // every missing file shows up in one read of the log.
    if (!program_) out.push_back("no program \"CreditSprite\": the greetings are not drawn");
    else if (!programLinks_) out.push_back(linkProblem("\"CreditSprite\"", *program_) + ": the greetings are not drawn");
    for (int i = 0; i < kGreetings; ++i)
        if (!greetings_[static_cast<std::size_t>(i)])
            out.push_back("no texture \"greetz" + std::to_string(i) + "\": that greeting is not drawn");
}
