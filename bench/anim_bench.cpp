// Keyframe curve evaluation and scene tree updates, the per-frame cost of
// every animated thing. Reports nanoseconds per call.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "anim/core/scene_node.h"
#include "anim/core/tcb_interpolator.h"

namespace {

constexpr int kKeys = 1000;
constexpr float kKeySpacing = 1.0f / 30.0f;

template <typename T, typename Make>
std::shared_ptr<TCBInterpolator<T>> tcbCurve(Make make) {
    auto curve = std::make_shared<TCBInterpolator<T>>();
    for (int i = 0; i < kKeys; ++i) curve->appendKey(static_cast<float>(i) * kKeySpacing, make(i), false);
    return curve;
}

auto vec3Curve() {
    return tcbCurve<sm::Vec3>([](int i) {
        const float f = static_cast<float>(i);
        return sm::Vec3{f * 0.1f, (i % 7) * 0.5f, -f * 0.05f};
    });
}

auto quatCurve() {
    return tcbCurve<sm::Quat>([](int i) { return sm::fromAxisAngle({0.0f, 0.6f, 0.8f}, static_cast<float>(i) * 0.05f); });
}

// Playback at 60 frames per second through the whole curve, keeping the hint
// as a scene node does; wraps to the start (hint reset) at the end.
template <typename Curve>
void evaluateForward(benchmark::State& state, const Curve& curve) {
    using T = typename Curve::element_type::ValueType;
    const float end = static_cast<float>(kKeys - 1) * kKeySpacing;
    const float frame = 1.0f / 60.0f;
    float time = 0.0f;
    int hint = 0;
    T out{};
    for (auto _ : state) {
        hint = curve->evaluate(time, out, hint);
        benchmark::DoNotOptimize(out);
        time += frame;
        if (time > end) {
            time = 0.0f;
            hint = 0;
        }
    }
}

void BM_TcbVec3EvaluateForward(benchmark::State& state) { evaluateForward(state, vec3Curve()); }
void BM_TcbQuatEvaluateForward(benchmark::State& state) { evaluateForward(state, quatCurve()); }

// The same curve evaluated without a hint: the search starts at the first key.
void BM_TcbVec3EvaluateNoHint(benchmark::State& state) {
    const auto curve = vec3Curve();
    const float end = static_cast<float>(kKeys - 1) * kKeySpacing;
    float time = 0.0f;
    sm::Vec3 out;
    for (auto _ : state) {
        curve->evaluate(time, out, 0);
        benchmark::DoNotOptimize(out);
        time += 1.0f / 60.0f;
        if (time > end) time = 0.0f;
    }
}

// A 60-node tree (a root with six chains of nine and a few leaves) with
// position, rotation and scale tracks of 1000 keys on every node.
void BM_UpdateNode60(benchmark::State& state) {
    const auto position = vec3Curve();
    const auto rotation = quatCurve();
    const auto scale = tcbCurve<sm::Vec3>([](int i) {
        const float s = 1.0f + static_cast<float>(i % 5) * 0.01f;
        return sm::Vec3{s, s, s};
    });
    SceneNode root;
    std::vector<SceneNode*> nodes{&root};
    for (int chain = 0; chain < 6; ++chain) {
        SceneNode* parent = &root;
        for (int depth = 0; depth < 9; ++depth) {
            parent = parent->addChild(std::make_unique<SceneNode>());
            nodes.push_back(parent);
        }
    }
    while (nodes.size() < 60) nodes.push_back(nodes[nodes.size() % 7 + 1]->addChild(std::make_unique<SceneNode>()));
    for (SceneNode* node : nodes) {
        node->positionTrack = position;
        node->rotationTrack = rotation;
        node->scaleTrack = scale;
    }
    const sm::Mat4 parent = sm::identityMatrix();
    const float end = static_cast<float>(kKeys - 1) * kKeySpacing;
    float time = 0.0f;
    for (auto _ : state) {
        root.updateNode(time, 1.0f / 60.0f, parent);
        benchmark::DoNotOptimize(root.world);
        time += 1.0f / 60.0f;
        if (time > end) {
            time = 0.0f;
            root.resetTrackHints();
        }
    }
    state.counters["nodes"] = static_cast<double>(nodes.size());
}

}  // namespace

BENCHMARK(BM_TcbVec3EvaluateForward);
BENCHMARK(BM_TcbQuatEvaluateForward);
BENCHMARK(BM_TcbVec3EvaluateNoHint);
BENCHMARK(BM_UpdateNode60);
