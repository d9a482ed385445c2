#pragma once

#include <initializer_list>
#include <utility>

#include "demo/credits_dance.h"
#include "tests/demo/memory_content.h"
#include "tests/support/scene_builders.h"

namespace murmur::test {

using VisibilityKey = std::pair<float, int>;

// The credits hand in memory: "credits_hand" (four submeshes) carries the
// visibility track, "hand_axis" (one submesh) moves along +X at `speed`
// units per second of dance time, starting at the origin.
inline void addCreditsHand(MemoryContent& content, std::initializer_list<VisibilityKey> visibility,
                           PropertyAnimationKind kind = kPropStep, float speed = 100.0f) {
    Geometry& geometry = content.geometry("credits_dance_hand");
    Mesh* hand = addMesh(geometry, 1, "credits_hand", 4);
    addMesh(geometry, 2, "hand_axis", 1);
    auto property = std::make_unique<MeshProperty>();
    property->name = "credits_visible";
    property->valueType = kPropInt;
    property->animationKind = kind;
    property->createHolder();
    for (const auto& [time, value] : visibility) property->curve<int>()->appendKey(time, value, false);
    hand->addProperty(std::move(property));
    addNode(content.animation("credits_dance_hand"), "hand_axis", 2)->positionTrack =
        linearTrack({{0.0f, {0, 0, 0}}, {1000.0f, {1000.0f * speed, 0, 0}}});
}

// Greeting textures of the given size; with no GL name (nothing uploads).
inline void addGreetings(MemoryContent& content, int width, int height) {
    for (int i = 0; i < CreditsDance::kGreetings; ++i) {
        auto texture = std::make_unique<Texture>();
        texture->width = width;
        texture->height = height;
        content.texture("greetz" + std::to_string(i), std::move(texture));
    }
}

}  // namespace murmur::test
