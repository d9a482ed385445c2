#include "tools/world/sight.h"

#include "tools/model/vec_ops.h"
#include "tools/world/layout.h"
#include "tools/world/materials.h"

#include <cmath>

namespace world {

namespace L = layout;

Sight::Sight(const std::vector<const model::Model*>& models)
{
    for (const model::Model* m : models)
        for (const model::ModelMesh& mesh : m->meshes)
            for (const model::Shape& shape : mesh.shapes) {
                const MaterialSpec* mat = findMaterial(shape.material);
                if (!mat || mat->seeThrough() || shape.triangles.empty()) continue;
                scene_.add(shape);
            }
    scene_.commit();
}

bool Sight::canStand(sm::Vec3 eye, float clearance) const
{
    if (std::fabs(eye.x) > L::kHallHalfX - clearance || std::fabs(eye.z) > L::kHallHalfZ - clearance ||
        eye.y < clearance || eye.y > L::kHallHeight - clearance)
        return false;
    // Close to nothing, and outside every closed shape: a ray leaving a
    // machine meets the back of its own surface first.
    const sm::Vec3 directions[] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1},
                                   {0.577f, 0.577f, 0.577f}, {-0.577f, -0.577f, 0.577f}};
    int inside = 0;
    for (sm::Vec3 d : directions) {
        bake::RayHit hit;
        if (!scene_.intersect(eye, d, hit)) continue;
        if (hit.distance < clearance) return false;
        if (sm::dot(hit.normal, d) > 0.0f) ++inside;
    }
    return inside < 3;
}

bool Sight::sees(sm::Vec3 eye, sm::Vec3 point, float slack) const
{
    sm::Vec3 d = point - eye;
    float length = sm::length(d);
    if (length <= slack) return true;
    return !scene_.occluded(eye, model::normalized(d), length - slack);
}

} // namespace world
