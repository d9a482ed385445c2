#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>

#include "anim/core/scene_node.h"
#include "anim/core/state_interpolator.h"
#include "anim/core/tcb_interpolator.h"
#include "test_attachments.h"

// Every allocation of this test program passes through here, so a test can
// tell whether a stretch of code allocated.
namespace {
std::atomic<long> allocations{0};
}

// Kept out of line, so that the compiler does not pair an inlined free with
// the operator new at a call site and warn about a mismatch.
[[gnu::noinline]] void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(Allocation, EvaluatingCurvesAndUpdatingTreesAllocatesNothing) {
    auto position = std::make_shared<TCBInterpolator<sm::Vec3>>();
    auto rotation = std::make_shared<TCBInterpolator<sm::Quat>>();
    auto flag = std::make_shared<StateInterpolator<int>>();
    for (int i = 0; i < 100; ++i) {
        const float t = static_cast<float>(i) * 0.1f;
        position->appendKey(t, {t, -t, 0.5f * t}, false);
        rotation->appendKey(t, sm::fromAxisAngle({0, 0, 1}, t), i % 7 == 0);
        flag->appendKey(t, i, false);
    }
    SceneNode root;
    std::vector<std::unique_ptr<TestMesh>> meshes;
    SceneNode* parent = &root;
    for (int i = 1; i <= 10; ++i) {
        auto node = std::make_unique<SceneNode>();
        node->id = i;
        node->name = "node" + std::to_string(i);
        node->positionTrack = position;
        node->rotationTrack = rotation;
        node->scaleTrack = position;
        parent = parent->addChild(std::move(node));
        meshes.push_back(std::make_unique<TestMesh>(i));
    }
    TestCamera camera(5);
    root.bindMeshes(meshes);
    root.bindCamera(&camera);
    root.duration();

    const long before = allocations.load();
    int hint = 0, flagHint = 0, value = 0;
    sm::Vec3 out;
    for (float t = -1.0f; t < 11.0f; t += 0.01f) {
        hint = position->evaluate(t, out, hint);
        flagHint = flag->evaluate(t, value, flagHint);
        root.updateNode(t, 0.01f, sm::identityMatrix());
        root.updatePose(t, sm::identityMatrix());
    }
    root.resetTrackHints();
    EXPECT_EQ(allocations.load() - before, 0);
}

}  // namespace
