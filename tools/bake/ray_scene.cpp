#include "tools/bake/ray_scene.h"

#include <embree3/rtcore.h>

#include <limits>

namespace bake {

struct RayScene::Impl {
    RTCDevice device = nullptr;
    RTCScene scene = nullptr;
};

RayScene::RayScene() : impl_(new Impl)
{
    impl_->device = rtcNewDevice("threads=1");
    impl_->scene = rtcNewScene(impl_->device);
}

RayScene::~RayScene()
{
    rtcReleaseScene(impl_->scene);
    rtcReleaseDevice(impl_->device);
    delete impl_;
}

void RayScene::add(const model::Shape& shape)
{
    RTCGeometry g = rtcNewGeometry(impl_->device, RTC_GEOMETRY_TYPE_TRIANGLE);
    auto* vb = static_cast<float*>(rtcSetNewGeometryBuffer(g, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3,
                                                           3 * sizeof(float), shape.vertices.size()));
    for (std::size_t i = 0; i < shape.vertices.size(); ++i) {
        vb[3 * i] = shape.vertices[i].position.x;
        vb[3 * i + 1] = shape.vertices[i].position.y;
        vb[3 * i + 2] = shape.vertices[i].position.z;
    }
    auto* ib = static_cast<unsigned*>(rtcSetNewGeometryBuffer(g, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3,
                                                              3 * sizeof(unsigned), shape.triangles.size()));
    for (std::size_t i = 0; i < shape.triangles.size(); ++i)
        for (int k = 0; k < 3; ++k) ib[3 * i + static_cast<std::size_t>(k)] = shape.triangles[i].v[k];
    rtcCommitGeometry(g);
    rtcAttachGeometry(impl_->scene, g);
    rtcReleaseGeometry(g);
}

void RayScene::commit() { rtcCommitScene(impl_->scene); }

bool RayScene::occluded(sm::Vec3 o, sm::Vec3 d, float far) const
{
    RTCIntersectContext ctx;
    rtcInitIntersectContext(&ctx);
    RTCRay r{};
    r.org_x = o.x, r.org_y = o.y, r.org_z = o.z;
    r.dir_x = d.x, r.dir_y = d.y, r.dir_z = d.z;
    r.tnear = 0.0f;
    r.tfar = far;
    r.mask = 0xFFFFFFFFu;
    rtcOccluded1(impl_->scene, &ctx, &r);
    return r.tfar < 0.0f;
}

bool RayScene::intersect(sm::Vec3 o, sm::Vec3 d, RayHit& hit) const
{
    RTCIntersectContext ctx;
    rtcInitIntersectContext(&ctx);
    RTCRayHit rh{};
    rh.ray.org_x = o.x, rh.ray.org_y = o.y, rh.ray.org_z = o.z;
    rh.ray.dir_x = d.x, rh.ray.dir_y = d.y, rh.ray.dir_z = d.z;
    rh.ray.tnear = 0.0f;
    rh.ray.tfar = std::numeric_limits<float>::infinity();
    rh.ray.mask = 0xFFFFFFFFu;
    rh.hit.geomID = RTC_INVALID_GEOMETRY_ID;
    rtcIntersect1(impl_->scene, &ctx, &rh);
    if (rh.hit.geomID == RTC_INVALID_GEOMETRY_ID) return false;
    hit.geometry = rh.hit.geomID;
    hit.triangle = rh.hit.primID;
    hit.u = rh.hit.u;
    hit.v = rh.hit.v;
    hit.distance = rh.ray.tfar;
    hit.normal = {rh.hit.Ng_x, rh.hit.Ng_y, rh.hit.Ng_z};
    return true;
}

} // namespace bake
