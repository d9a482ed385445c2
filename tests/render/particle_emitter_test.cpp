#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "math/runtime_random.h"
#include "render/distort_particle_handler.h"
#include "render/particle_emitter.h"

namespace {

// Replays the process-wide stream from a known state and puts it back
// afterwards, so the suite's order does not matter.
class RandomStreamScope {
public:
    explicit RandomStreamScope(std::uint32_t state) : saved_(sm::runtimeRandState()) {
        sm::setRuntimeRandState(state);
    }
    ~RandomStreamScope() { sm::setRuntimeRandState(saved_); }

private:
    std::uint32_t saved_;
};

// The emitters of these tests draw nothing: a handler without program,
// texture or quad needs no GL context.
struct Emitter {
    DistortParticleHandler handler{nullptr, nullptr, nullptr};
    ParticleEmitter emitter;
    explicit Emitter(unsigned capacity) : emitter(capacity, handler) {}
};

unsigned aliveCount(const ParticleEmitter& e) {
    unsigned n = 0;
    for (const auto& p : e.particles) n += p->alive ? 1u : 0u;
    return n;
}

TEST(ParticleEmitter, FractionalCreditCarriesOverSoTwentyPerSecondSpawnsEveryThirdOrFourthFrame) {
    RandomStreamScope stream(1);
    Emitter e(100);
    e.emitter.particlesPerSecond = 20;
    e.emitter.lifeMin = e.emitter.lifeMax = 100.0f;  // nothing dies
    std::vector<int> spawnFrames;
    for (int frame = 1; frame <= 100; ++frame) {
        const unsigned before = e.emitter.activeCount;
        e.emitter.update(0.016f);
        ASSERT_LE(e.emitter.activeCount, before + 1) << "at most one spawn per frame at this rate";
        if (e.emitter.activeCount > before) spawnFrames.push_back(frame);
        ASSERT_LT(e.emitter.spawnAccumulator, 1.0f);
        ASSERT_GE(e.emitter.spawnAccumulator, 0.0f);
    }
    ASSERT_FALSE(spawnFrames.empty());
    EXPECT_EQ(spawnFrames.front(), 4) << "0.32 per frame reaches 1 on the fourth frame";
    for (std::size_t i = 1; i < spawnFrames.size(); ++i) {
        const int gap = spawnFrames[i] - spawnFrames[i - 1];
        EXPECT_TRUE(gap == 3 || gap == 4) << "gap " << gap << " before frame " << spawnFrames[i];
    }
    // Nothing owed is lost: spawned + still owed = 100 x 0.32.
    EXPECT_NEAR(static_cast<float>(e.emitter.activeCount) + e.emitter.spawnAccumulator, 32.0f, 1e-3f);
    EXPECT_EQ(aliveCount(e.emitter), e.emitter.activeCount);
}

TEST(ParticleEmitter, ParticleAtTheEndOfItsLifeIsReplacedInTheSameUpdate) {
    RandomStreamScope stream(1);
    Emitter e(1);
    e.emitter.particlesPerSecond = 4;  // one particle per 0.25 s frame
    e.emitter.lifeMin = e.emitter.lifeMax = 0.5f;
    e.emitter.origin = {1.0f, 2.0f, 3.0f};
    e.emitter.direction = {0.0f, 0.0f, 0.0f};
    e.emitter.spread = 0.0f;
    e.emitter.drift = {0.0f, 4.0f, 0.0f};
    Particle& slot = *e.emitter.particles[0];

    e.emitter.update(0.25f);  // spawned and advanced at once
    ASSERT_TRUE(slot.alive);
    EXPECT_EQ(slot.age, 0.25f);
    EXPECT_EQ(slot.position, (sm::Vec3{1.0f, 3.0f, 3.0f}));
    EXPECT_EQ(e.emitter.spawnAccumulator, 0.0f);

    e.emitter.update(0.25f);  // the only slot is taken: the credit waits
    EXPECT_EQ(slot.age, 0.5f);
    EXPECT_EQ(slot.position, (sm::Vec3{1.0f, 4.0f, 3.0f}));
    EXPECT_EQ(e.emitter.spawnAccumulator, 1.0f);

    e.emitter.update(0.25f);  // age reached life: retired, and the slot refilled
    EXPECT_TRUE(slot.alive);
    EXPECT_EQ(e.emitter.activeCount, 1u);
    EXPECT_EQ(slot.age, 0.25f);
    EXPECT_EQ(slot.position, (sm::Vec3{1.0f, 3.0f, 3.0f}));
    EXPECT_EQ(e.emitter.spawnAccumulator, 1.0f);
}

TEST(ParticleEmitter, FullEmitterSpawnsNothingWhileItsCreditGrows) {
    RandomStreamScope stream(1);
    Emitter e(3);
    e.emitter.particlesPerSecond = 30;
    e.emitter.lifeMin = e.emitter.lifeMax = 10.0f;
    for (int i = 0; i < 3; ++i) e.emitter.update(0.1f);  // 3 owed per frame: the first fills every slot
    ASSERT_EQ(e.emitter.activeCount, 3u);
    float owed = e.emitter.spawnAccumulator;
    for (int i = 0; i < 5; ++i) {
        e.emitter.update(0.1f);
        EXPECT_EQ(e.emitter.activeCount, 3u);
        EXPECT_GT(e.emitter.spawnAccumulator, owed + 2.9f);
        owed = e.emitter.spawnAccumulator;
    }
    // A stopped emitter owes nothing new and spawns nothing.
    e.emitter.emitting = false;
    e.emitter.update(0.1f);
    EXPECT_EQ(e.emitter.spawnAccumulator, owed);
}

TEST(ParticleEmitter, NothingAliveAndNoWholeParticleOwedLeavesTheHandlerAlone) {
    Emitter e(4);
    sm::Mat4 marker;
    marker.a[3] = 42.0f;
    e.handler.setMatrices(marker, marker);
    e.emitter.view.a[12] = 5.0f;
    e.emitter.particlesPerSecond = 10;
    e.emitter.lifeMin = e.emitter.lifeMax = 1.0f;

    e.emitter.update(0.05f);  // half a particle owed
    EXPECT_EQ(e.handler.modelViewMatrix, marker);
    EXPECT_EQ(e.handler.projectionMatrix, marker);

    e.emitter.update(0.05f);  // now one: spawns and hands its matrices on
    EXPECT_EQ(e.emitter.activeCount, 1u);
    EXPECT_EQ(e.handler.modelViewMatrix, e.emitter.view);
    EXPECT_EQ(e.handler.projectionMatrix, e.emitter.projection);
}

// A point emitter scatters unit directions around its own; an area emitter
// ignores spread and keeps its direction, spawning over its parallelogram.
TEST(ParticleEmitter, SpreadScattersPointEmittersOnly) {
    RandomStreamScope stream(7);
    for (const int type : {ParticleEmitter::kPoint, ParticleEmitter::kArea}) {
        SCOPED_TRACE(type);
        Emitter e(40);
        ParticleEmitter& em = e.emitter;
        em.type = type;
        em.spread = type == ParticleEmitter::kPoint ? 0.6f : 5.0f;
        em.origin = {10.0f, 0.0f, 0.0f};
        em.edge1 = {4.0f, 0.0f, 0.0f};
        em.edge2 = {0.0f, 0.0f, 2.0f};
        em.direction = {0.0f, 1.0f, 0.0f};
        em.particlesPerSecond = 1000;
        em.lifeMin = em.lifeMax = 5.0f;
        em.update(0.04f);  // no speed keys and no drift: nothing moves yet
        ASSERT_EQ(em.activeCount, 40u);
        int scattered = 0;
        for (const auto& p : em.particles) {
            if (type == ParticleEmitter::kArea) {
                EXPECT_EQ(p->direction, em.direction);
                EXPECT_TRUE(p->position.x >= 10.0f && p->position.x <= 14.0f && p->position.z >= 0.0f &&
                            p->position.z <= 2.0f && p->position.y == 0.0f);
                scattered += std::fabs(p->position.x - 12.0f) > 1.0f ? 1 : 0;
            } else {
                EXPECT_NEAR(sm::length(p->direction), 1.0f, 1e-5f);
                EXPECT_GT(p->direction.y, 0.0f) << "0.6 around (0, 1, 0) stays in the upper half";
                EXPECT_EQ(p->position, em.origin);
                scattered += std::fabs(p->direction.x) > 0.05f ? 1 : 0;
            }
        }
        EXPECT_GT(scattered, 10);
    }
}

TEST(ParticleEmitter, SpawnDrawsItsNumbersFromTheSharedStreamInOrder) {
    const std::uint32_t start = 12345;
    std::vector<double> r;
    {
        RandomStreamScope replay(start);
        for (int i = 0; i < 3; ++i) r.push_back(sm::runtimeRand() / 32767.0);
    }
    RandomStreamScope stream(start);
    Emitter e(1);
    e.emitter.type = ParticleEmitter::kArea;
    e.emitter.edge1 = {8.0f, 0.0f, 0.0f};
    e.emitter.edge2 = {0.0f, 16.0f, 0.0f};
    e.emitter.lifeMin = 1.0f;
    e.emitter.lifeMax = 3.0f;
    Particle& p = *e.emitter.particles[0];
    e.emitter.spawn(p);
    EXPECT_FLOAT_EQ(p.position.x, static_cast<float>(8.0 * r[0]));
    EXPECT_FLOAT_EQ(p.position.y, static_cast<float>(16.0 * r[1]));
    EXPECT_FLOAT_EQ(p.life, static_cast<float>(1.0 + 2.0 * r[2]));
}

TEST(ParticleEmitter, SpeedColourAndSizeFollowTheNormalisedAge) {
    RandomStreamScope stream(1);
    Emitter e(1);
    ParticleEmitter& em = e.emitter;
    em.type = ParticleEmitter::kArea;
    em.direction = {1.0f, 0.0f, 0.0f};
    em.lifeMin = em.lifeMax = 1.0f;
    em.particlesPerSecond = 4;
    em.speed.appendKey(0.0f, 8.0f, false);
    em.speed.appendKey(1.0f, 0.0f, false);
    em.size.appendKey(0.0f, 10.0f, false);
    em.size.appendKey(1.0f, 30.0f, false);
    em.colour.appendKey(0.0f, {1.0f, 1.0f, 1.0f, 1.0f}, false);
    em.colour.appendKey(1.0f, {1.0f, 1.0f, 1.0f, 0.0f}, false);
    em.update(0.25f);  // advanced at t = 0
    const Particle& p = *em.particles[0];
    EXPECT_EQ(p.size, 10.0f);
    EXPECT_EQ(p.colour.w, 1.0f);
    EXPECT_EQ(p.position.x, 2.0f);  // 8 x 0.25
    em.update(0.25f);  // advanced at t = 0.25
    EXPECT_EQ(p.size, 15.0f);
    EXPECT_EQ(p.colour.w, 0.75f);
    EXPECT_EQ(p.position.x, 3.5f);  // + 6 x 0.25
}

TEST(ParticleEmitter, ParticleWithoutLifeTimeStaysFinite) {
    RandomStreamScope stream(1);
    Emitter e(2);
    ParticleEmitter& em = e.emitter;
    em.lifeMin = em.lifeMax = 0.0f;
    em.particlesPerSecond = 100;
    em.speed.appendKey(0.0f, 1.0f, false);
    em.speed.appendKey(1.0f, 3.0f, false);
    em.size.appendKey(0.0f, 2.0f, false);
    em.size.appendKey(1.0f, 6.0f, false);
    for (int i = 0; i < 3; ++i) em.update(0.02f);
    for (const auto& p : em.particles) {
        if (!p->alive) continue;
        EXPECT_TRUE(std::isfinite(p->position.x) && std::isfinite(p->position.y) && std::isfinite(p->position.z));
        EXPECT_EQ(p->size, 6.0f) << "a particle without life time is at the end of it";
    }
    EXPECT_GT(em.activeCount, 0u);
}

}  // namespace
