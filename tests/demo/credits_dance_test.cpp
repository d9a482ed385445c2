#include "tests/demo/credits_hand.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using murmur::test::addCreditsHand;
using murmur::test::addGreetings;
using murmur::test::MemoryContent;
using murmur::test::translationOf;

// Drives the credits with the demo time t from `from` up to `to` in steps of
// dt, calling inspect after every update.
template <typename Inspect>
void play(CreditsDance& credits, float from, float to, float dt, Inspect inspect) {
    const int frames = static_cast<int>(std::lround((to - from) / dt));
    for (int i = 0; i <= frames; ++i) {
        credits.update(from + dt * static_cast<float>(i), dt);
        inspect();
    }
}
void play(CreditsDance& credits, float from, float to, float dt) {
    play(credits, from, to, dt, [] {});
}

TEST(CreditsDance, TheDanceClockStartsAtTheFirstUpdateAndThenRunsOnItsOwn) {
    MemoryContent content;
    addCreditsHand(content, {{0.0f, 0}});
    CreditsDance credits(content.manager());
    credits.init();
    credits.update(3.2f, 0.0f);
    EXPECT_EQ(credits.localTime(), 3.2f);
    credits.update(50.0f, 0.5f);
    EXPECT_EQ(credits.localTime(), 3.7f);
    const Mesh* axis = content.geometry("credits_dance_hand").findMesh("hand_axis");
    EXPECT_NEAR(translationOf(axis->renderMatrixValue).x, 370.0f, 1e-3f);
}

TEST(CreditsDance, HidesTheFirstThreeHandSubmeshesAndContributesThemAll) {
    MemoryContent content;
    addCreditsHand(content, {{0.0f, 0}});
    CreditsDance credits(content.manager());
    credits.init();
    const auto& subs = content.geometry("credits_dance_hand").allSubMeshes;
    ASSERT_EQ(subs.size(), 5u);
    EXPECT_EQ(credits.submeshes(), subs);
    for (std::size_t i = 0; i < subs.size(); ++i) EXPECT_EQ(subs[i]->hidden, i < 3) << i;
}

// Two windows: 10 to 10.25 s and 12 to 12.5 s of demo time.
TEST(CreditsDance, EachRiseChoosesTheNextGreetingPlacedAlongTheHandsSweep) {
    MemoryContent content;
    addCreditsHand(content, {{0.0f, 0}, {10.0f, 1}, {10.25f, 0}, {12.0f, 1}, {12.5f, 0}});
    addGreetings(content, 200, 100);
    CreditsDance credits(content.manager());
    credits.init();
    play(credits, 9.0f, 9.99f, 0.01f);
    EXPECT_EQ(credits.greetingIndex(), -1);
    EXPECT_EQ(credits.speed(), 1.0f);

    float lowest = 1.0f, lastProgress = -1.0f;
    play(credits, 10.0f, 10.24f, 0.01f, [&] {
        ASSERT_TRUE(credits.inWindow());
        ASSERT_GT(credits.progress(), lastProgress);
        lastProgress = credits.progress();
        lowest = std::min(lowest, credits.speed());
    });
    EXPECT_EQ(credits.greetingIndex(), 0);
    EXPECT_EQ(credits.windowStart(), 10.0f);
    EXPECT_EQ(credits.windowLength(), 0.25f);
    // The sweep of "hand_axis" over the window's key times: 1000 to 1025.
    EXPECT_NEAR(credits.spritePosition().x, 1000.0f, 1e-2f);
    EXPECT_NEAR(credits.spriteWidth(), 25.0f, 1e-2f);
    EXPECT_EQ(credits.spriteSide(), (sm::Vec3{0, 0, 1}));
    EXPECT_EQ(credits.spriteUp(), (sm::Vec3{0, 1, 0}));
    // The dance slows at 5 per second down to a tenth; progress runs on the
    // slowed dance clock, so it lags the demo time.
    EXPECT_EQ(lowest, 0.1f);
    EXPECT_LT(lastProgress, 0.5f);

    const float frozen = credits.progress();
    float highest = 0.0f;
    play(credits, 10.25f, 11.99f, 0.01f, [&] {
        ASSERT_FALSE(credits.inWindow());
        ASSERT_EQ(credits.progress(), frozen);
        highest = std::max(highest, credits.speed());
    });
    EXPECT_EQ(highest, 1.0f);
    EXPECT_EQ(credits.greetingIndex(), 0);

    play(credits, 12.0f, 12.1f, 0.01f);
    EXPECT_EQ(credits.greetingIndex(), 1);
    EXPECT_EQ(credits.windowLength(), 0.5f);
    EXPECT_NEAR(credits.spriteWidth(), 50.0f, 1e-2f);
    EXPECT_EQ(credits.spriteSide(), (sm::Vec3{0, 0, -1}));
}

TEST(CreditsDance, AVisibilityOfTwoOrZeroClosesTheWindow) {
    MemoryContent content;
    addCreditsHand(content, {{0.0f, 0}, {10.0f, 1}, {10.2f, 2}, {11.0f, 1}, {11.2f, 0}});
    CreditsDance credits(content.manager());
    credits.init();
    play(credits, 10.0f, 10.1f, 0.05f);
    EXPECT_TRUE(credits.inWindow());
    play(credits, 10.3f, 10.5f, 0.05f);
    EXPECT_FALSE(credits.inWindow());
    play(credits, 11.0f, 11.1f, 0.05f);
    EXPECT_EQ(credits.greetingIndex(), 1);
}

TEST(CreditsDance, GreetingsOneFourSevenAndTenFaceTheOtherSide) {
    MemoryContent content;
    addCreditsHand(content, {{0.0f, 0},  {10.0f, 1}, {10.2f, 0}, {11.0f, 1}, {11.2f, 0}, {12.0f, 1}, {12.2f, 0},
                             {13.0f, 1}, {13.2f, 0}, {14.0f, 1}, {14.2f, 0}, {15.0f, 1}, {15.2f, 0}, {16.0f, 1},
                             {16.2f, 0}, {17.0f, 1}, {17.2f, 0}, {18.0f, 1}, {18.2f, 0}, {19.0f, 1}, {19.2f, 0},
                             {20.0f, 1}, {20.2f, 0}, {21.0f, 1}, {21.2f, 0}, {22.0f, 1}, {22.2f, 0}});
    addGreetings(content, 200, 100);
    CreditsDance credits(content.manager());
    credits.init();
    std::vector<float> sides;
    play(credits, 9.5f, 21.5f, 0.05f, [&] {
        if (credits.greetingIndex() == static_cast<int>(sides.size())) sides.push_back(credits.spriteSide().z);
    });
    EXPECT_EQ(sides, (std::vector<float>{1, -1, 1, 1, -1, 1, 1, -1, 1, 1, -1, 1}));

    // A thirteenth rise has no greeting left: it slows the dance like the
    // others, and the twelfth greeting stays up as it was.
    const sm::Vec3 position = credits.spritePosition();
    const float progress = credits.progress();
    const sm::Mat4 model = credits.greetingModel();
    float lowest = 1.0f;
    play(credits, 21.55f, 22.3f, 0.05f, [&] { lowest = std::min(lowest, credits.speed()); });
    EXPECT_EQ(credits.greetingIndex(), 11);
    EXPECT_LT(lowest, 0.5f);
    EXPECT_EQ(credits.spritePosition(), position);
    EXPECT_EQ(credits.progress(), progress);
    EXPECT_EQ(credits.greetingModel(), model);
}

// The content must not hold such windows, but a window of no length (two
// keys at one time, or a rise on the track's last key) shows its greeting
// at once instead of dividing by zero.
TEST(CreditsDance, AWindowOfNoLengthRevealsItsGreetingAtOnce) {
    MemoryContent linear;
    addCreditsHand(linear, {{0.0f, 0}, {5.0f, 1}, {5.0f, 0}, {8.0f, 0}}, kPropLinear);
    CreditsDance first(linear.manager());
    first.init();
    first.update(5.0f, 0.01f);
    EXPECT_EQ(first.greetingIndex(), 0);
    EXPECT_EQ(first.windowLength(), 0.0f);
    EXPECT_EQ(first.progress(), 1.0f);

    MemoryContent lastKey;
    addCreditsHand(lastKey, {{0.0f, 0}, {6.0f, 1}});
    CreditsDance second(lastKey.manager());
    second.init();
    play(second, 5.9f, 7.0f, 0.05f, [&] { ASSERT_TRUE(std::isfinite(second.progress())); });
    EXPECT_EQ(second.greetingIndex(), 0);
    EXPECT_EQ(second.windowStart(), 6.0f);
    EXPECT_EQ(second.progress(), 1.0f);
}

TEST(CreditsDance, WithoutItsContentTheDanceClockStillRunsAndTheGapsAreNamed) {
    MemoryContent empty;
    CreditsDance credits(empty.manager());
    credits.init();
    play(credits, 3.0f, 4.0f, 0.1f);
    EXPECT_NEAR(credits.localTime(), 4.1f, 1e-4f);
    EXPECT_EQ(credits.greetingIndex(), -1);
    EXPECT_TRUE(credits.submeshes().empty());
    std::vector<std::string> problems;
    credits.problems(problems);
    // The hand's animation and geometry, the program and every picture.
    ASSERT_EQ(problems.size(), 2u + 1u + 12u);
    EXPECT_NE(problems[0].find("\"credits_dance_hand\""), std::string::npos);
    EXPECT_NE(problems.back().find("\"greetz11\""), std::string::npos);

    MemoryContent handOnly;
    addCreditsHand(handOnly, {{0.0f, 0}, {1.0f, 1}, {2.0f, 0}});
    CreditsDance bare(handOnly.manager());
    bare.init();
    play(bare, 0.5f, 1.5f, 0.1f);
    EXPECT_EQ(bare.greetingIndex(), 0);
    problems.clear();
    bare.problems(problems);
    EXPECT_EQ(problems.size(), 13u);  // the program and the twelve pictures
    EXPECT_NE(problems[0].find("\"CreditSprite\""), std::string::npos);
    EXPECT_NE(problems[1].find("\"greetz0\""), std::string::npos);
}

}  // namespace
