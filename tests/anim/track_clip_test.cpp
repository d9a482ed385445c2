#include "anim/track_clip.h"
#include "tests/support/scene_builders.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using murmur::test::addNode;
using murmur::test::linearTrack;
using murmur::test::steppedTrack;
using murmur::test::translationOf;

// A skeleton with one leg, a walk cycle of the given length whose leg steps
// through x = 0, 1, 2, 3 at quarters of the cycle (a step curve searches
// forward from its hint, so a stale hint shows as a wrong step), and a path
// whose point moves along +X at 1030 units per second.
struct Walk {
    explicit Walk(float length) {
        leg = addNode(skeleton, "leg");
        const float q = length / 4.0f;
        addNode(cycle, "leg")->positionTrack =
            steppedTrack({{0, {0, 0, 0}}, {q, {1, 0, 0}}, {2 * q, {2, 0, 0}}, {3 * q, {3, 0, 0}}, {length, {4, 0, 0}}});
        point = addNode(path, "point");
        point->positionTrack = linearTrack({{0.0f, {0, 0, 0}}, {10.0f, {10300, 0, 0}}});
    }
    // The leg's step in the skeleton's own frame.
    float legStep() const { return sm::transformPoint(sm::inverse(skeleton.world), translationOf(leg->world)).x; }

    SceneNode skeleton, cycle, path;
    SceneNode* leg;
    SceneNode* point;
};

TEST(TrackClip, ThousandThirtyUnitsPerSecondIsOneCyclePerSecondForAnyCycleLength) {
    for (float length : {0.6f, 1.0f, 2.5f}) {
        Walk walk(length);
        TrackClip clip(&walk.skeleton, &walk.cycle, &walk.path);
        EXPECT_EQ(clip.cycleLength(), length);
        EXPECT_EQ(clip.endTime(), 10.0f);
        clip.start();
        for (int frame = 0; frame < 25; ++frame) {
            const float t = 0.07f + 0.1f * static_cast<float>(frame);
            clip.update(t, 0.1f);
            const float phase = std::fmod(t, 1.0f);
            ASSERT_NEAR(clip.cycleTime(), phase * length, 1e-3f * length) << "length " << length << " t " << t;
            ASSERT_EQ(walk.legStep(), std::floor(phase * 4.0f)) << "length " << length << " t " << t;
        }
    }
}

TEST(TrackClip, TheFirstStepIsMeasuredFromTheOrigin) {
    Walk walk(1.0f);
    walk.point->positionTrack = linearTrack({{0.0f, {412, 0, 0}}, {10.0f, {10712, 0, 0}}});
    TrackClip clip(&walk.skeleton, &walk.cycle, &walk.path);
    clip.start();
    clip.update(0.0f, 0.0f);
    EXPECT_NEAR(clip.cycleTime(), 0.4f, 1e-6f);
    EXPECT_EQ(clip.lastPosition(), (sm::Vec3{412, 0, 0}));
}

TEST(TrackClip, TheSkeletonStandsOnThePathFacingTheDirectionOfTravel) {
    Walk walk(1.0f);
    walk.point->positionTrack = linearTrack({{0.0f, {0, 0, 0}}, {1.0f, {300, 50, 400}}});
    TrackClip clip(&walk.skeleton, &walk.cycle, &walk.path);
    clip.start();
    clip.update(0.5f, 0.5f);
    const sm::Mat4& m = walk.skeleton.world;
    EXPECT_EQ(translationOf(m), (sm::Vec3{150, 25, 200}));
    // Forward is the travel on the floor, up stays up, side completes it.
    EXPECT_NEAR(m.a[8], 0.6f, 1e-6f);
    EXPECT_EQ(m.a[9], 0.0f);
    EXPECT_NEAR(m.a[10], 0.8f, 1e-6f);
    EXPECT_NEAR(m.a[5], 1.0f, 1e-6f);
    EXPECT_NEAR(m.a[0], 0.8f, 1e-6f);
    EXPECT_NEAR(m.a[2], -0.6f, 1e-6f);
}

// Without movement there is no direction of travel: the skeleton keeps the
// facing of the last frame that moved (upright along +Z before any), instead
// of collapsing to a point.
TEST(TrackClip, AFrameWithoutMovementKeepsThePreviousFacing) {
    Walk walk(1.0f);
    walk.point->positionTrack = linearTrack({{0.0f, {0, 0, 0}}, {1.0f, {1030, 0, 0}}, {2.0f, {1030, 0, 0}}});
    TrackClip clip(&walk.skeleton, &walk.cycle, &walk.path);
    clip.start();
    clip.update(0.0f, 0.0f);
    EXPECT_EQ(walk.skeleton.world, sm::Mat4{});

    clip.update(0.5f, 0.5f);
    clip.update(1.2f, 0.7f);
    const sm::Mat4 arrived = walk.skeleton.world;
    const float cycle = clip.cycleTime();
    EXPECT_EQ(arrived.a[8], 1.0f);
    EXPECT_EQ(translationOf(arrived), (sm::Vec3{1030, 0, 0}));
    clip.update(1.5f, 0.3f);
    clip.update(1.9f, 0.4f);
    EXPECT_EQ(walk.skeleton.world, arrived);
    EXPECT_EQ(clip.cycleTime(), cycle);
}

TEST(TrackClip, AWalkCycleWithoutKeysHoldsItsPoseInsteadOfGoingNaN) {
    Walk walk(1.0f);
    SceneNode still;
    addNode(still, "leg")->position = {7, 0, 0};
    TrackClip clip(&walk.skeleton, &still, &walk.path);
    EXPECT_NE(clip.problem(), nullptr);
    clip.start();
    for (float t = 0.1f; t < 2.0f; t += 0.1f) clip.update(t, 0.1f);
    EXPECT_EQ(clip.cycleTime(), 0.0f);
    EXPECT_EQ(walk.legStep(), 7.0f);
}

TEST(TrackClip, MissingContentMakesAnInertClipThatSaysWhy) {
    Walk walk(1.0f);
    SceneNode bare;
    TrackClip noSkeleton(nullptr, &walk.cycle, &walk.path), noCycle(&walk.skeleton, nullptr, &walk.path),
        noPath(&walk.skeleton, &walk.cycle, nullptr), noPoint(&walk.skeleton, &walk.cycle, &bare);
    for (TrackClip* clip : {&noSkeleton, &noCycle, &noPath, &noPoint}) {
        clip->stop();
        clip->start();
        clip->update(1.0f, 0.1f);
        EXPECT_NE(clip->problem(), nullptr);
    }
    EXPECT_EQ(noPath.endTime(), 0.0f);
    EXPECT_EQ(walk.skeleton.world, sm::Mat4{});
    EXPECT_EQ(walk.leg->positionTrack, nullptr);
}

}  // namespace
