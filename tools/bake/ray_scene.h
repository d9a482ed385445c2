#pragma once
// Triangles to cast rays against (Embree), for the bake and the previews.
// Built on one thread, so the hierarchy and every answer are the same on
// every run; queries may come from any number of threads.
#include "tools/model/shape.h"

#include "math/vec.h"

namespace bake {

struct RayHit {
    unsigned geometry = 0;  // the order in which the shape was added
    unsigned triangle = 0;  // index into the shape's triangles
    float u = 0, v = 0;     // weights of the triangle's second and third corners
    float distance = 0;
    sm::Vec3 normal;        // geometric, not normalised, facing as the triangle winds
};

class RayScene {
public:
    RayScene();
    ~RayScene();
    RayScene(const RayScene&) = delete;
    RayScene& operator=(const RayScene&) = delete;

    // Adds the shape's triangles (positions as they are) as the next geometry.
    void add(const model::Shape& shape);
    // Builds the hierarchy; call once after the last add.
    void commit();
    // Whether anything lies along the ray before `far`.
    bool occluded(sm::Vec3 origin, sm::Vec3 direction, float far) const;
    // The nearest hit along the ray, if any.
    bool intersect(sm::Vec3 origin, sm::Vec3 direction, RayHit& hit) const;

private:
    struct Impl;
    Impl* impl_;
};

} // namespace bake
