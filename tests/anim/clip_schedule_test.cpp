#include "anim/clip_schedule.h"
#include "anim/simple_clip.h"
#include "tests/support/scene_builders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using murmur::test::addNode;
using murmur::test::linearTrack;

// A clip that writes every call it gets into a shared journal.
class JournalClip : public IAnimationClip {
public:
    JournalClip(std::vector<std::string>& journal, std::string name, float end)
        : journal_(journal), name_(std::move(name)), end_(end) {}
    void start() override { journal_.push_back("start " + name_); }
    void stop() override { journal_.push_back("stop " + name_); }
    void update(float time, float) override { journal_.push_back("update " + name_ + " " + std::to_string(time)); }
    float endTime() override { return end_; }
    void collectSubMeshes(std::vector<SubMesh*>&) override {}

private:
    std::vector<std::string>& journal_;
    std::string name_;
    float end_;
};

class ClipScheduleTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (auto [name, end] : {std::pair{"a", 10.0f}, {"b", 20.0f}, {"c", 30.0f}})
            schedule.add(std::make_unique<JournalClip>(journal, name, end));
    }
    std::vector<std::string> step(float time) {
        journal.clear();
        schedule.update(time, 0.01f);
        return journal;
    }
    using Calls = std::vector<std::string>;

    std::vector<std::string> journal;
    ClipSchedule schedule;
};

TEST_F(ClipScheduleTest, AClipEndingAtTheTimeStaysCurrentAndTheNextStartsJustAfter) {
    EXPECT_EQ(step(0.0f), (Calls{"start a", "update a 0.000000"}));
    EXPECT_EQ(step(10.0f), (Calls{"update a 10.000000"}));
    EXPECT_EQ(step(10.001f), (Calls{"stop a", "start b", "update b 10.001000"}));
    EXPECT_EQ(step(15.0f), (Calls{"update b 15.000000"}));
    EXPECT_EQ(schedule.current(), 1u);
    EXPECT_EQ(schedule.active(), 1u);
}

TEST_F(ClipScheduleTest, ClipsPassedOverInOneFrameAreNeitherStartedNorStopped) {
    step(5.0f);
    EXPECT_EQ(step(25.0f), (Calls{"stop a", "start c", "update c 25.000000"}));
}

TEST_F(ClipScheduleTest, TheIndexNeverGoesBackAndPastTheLastClipNothingPlays) {
    step(15.0f);
    EXPECT_EQ(step(2.0f), (Calls{"update b 2.000000"})) << "an earlier time keeps the current clip";
    step(25.0f);
    EXPECT_EQ(step(31.0f), Calls{});
    EXPECT_EQ(step(5.0f), Calls{});
    EXPECT_EQ(schedule.current(), 3u);
    EXPECT_EQ(schedule.active(), 2u);
}

TEST(ClipScheduleEmpty, PlaysNothingAndIgnoresMissingClips) {
    ClipSchedule schedule;
    EXPECT_EQ(schedule.add(nullptr), nullptr);
    schedule.update(1.0f, 0.1f);
    EXPECT_EQ(schedule.size(), 0u);
    EXPECT_EQ(schedule.active(), ClipSchedule::kNone);
}

// The show's animations carry demo times: the clip poses the skeleton at the
// time itself and ends at the animation's last key.
TEST(SimpleClip, PlaysTheSourceOnTheTargetAtTheDemoTime) {
    SceneNode target, source;
    SceneNode* arm = addNode(target, "arm");
    addNode(source, "arm")->positionTrack = linearTrack({{40.0f, {0, 0, 0}}, {50.0f, {10, 0, 0}}});
    SimpleClip clip(&target, &source);
    EXPECT_EQ(clip.endTime(), 50.0f);
    EXPECT_EQ(clip.problem(), nullptr);
    clip.start();
    clip.update(45.0f, 0.01f);
    EXPECT_EQ(murmur::test::translationOf(arm->world), (sm::Vec3{5, 0, 0}));
}

TEST(SimpleClip, WithoutContentItIsInertAndSaysWhy) {
    SceneNode skeleton, animation;
    SceneNode* arm = addNode(skeleton, "arm");
    addNode(animation, "arm")->positionTrack = linearTrack({{0.0f, {0, 0, 0}}, {5.0f, {10, 0, 0}}});
    SimpleClip noAnimation(&skeleton, nullptr), noSkeleton(nullptr, &animation);
    for (SimpleClip* clip : {&noAnimation, &noSkeleton}) {
        clip->stop();
        clip->start();
        clip->update(2.5f, 0.1f);
        EXPECT_NE(clip->problem(), nullptr);
    }
    EXPECT_EQ(noAnimation.endTime(), 0.0f);
    EXPECT_EQ(arm->world, sm::Mat4{});
    EXPECT_EQ(arm->positionTrack, nullptr);
}

}  // namespace
