#include "anim/wheel_clip.h"
#include "tests/support/scene_builders.h"

#include <gtest/gtest.h>

namespace {

using murmur::test::addMesh;
using murmur::test::addNode;
using murmur::test::linearTrack;
using murmur::test::translationOf;

// A rider (hip 10 above its root, a leg below the hip) and a chair that
// rolls 10 units per second along +X with its seat 50 above it. The chair's
// file also animates a node named like the rider's leg.
struct Ride {
    explicit Ride(const char* seatName = "quellon858") {
        hip = addNode(rider, "Hip");
        hip->position = {0, 10, 0};
        leg = addNode(*hip, "Leg");
        SceneNode* chair = addNode(vehicle, "chair", 1);
        chair->positionTrack = linearTrack({{0.0f, {0, 0, 0}}, {8.0f, {80, 0, 0}}});
        addNode(*chair, seatName)->position = {0, 50, 0};
        addNode(vehicle, "Leg")->positionTrack = linearTrack({{0.0f, {0, 0, 0}}, {8.0f, {0, -8, 0}}});
        chairMesh = addMesh(geometry, 1, "chair", 2);
    }
    bool hidden() const { return geometry.allSubMeshes[0]->hidden && geometry.allSubMeshes[1]->hidden; }
    bool shown() const { return !geometry.allSubMeshes[0]->hidden && !geometry.allSubMeshes[1]->hidden; }

    SceneNode rider, vehicle;
    SceneNode* hip;
    SceneNode* leg;
    Geometry geometry;
    Mesh* chairMesh;
};

TEST(WheelClip, TheVehicleCarriesTheRiderFromItsSeat) {
    Ride ride;
    WheelClip clip(&ride.rider, &ride.vehicle, &ride.geometry);
    EXPECT_TRUE(clip.seated());
    EXPECT_EQ(clip.problem(), nullptr);
    EXPECT_TRUE(ride.chairMesh->castShadows);
    EXPECT_EQ(clip.endTime(), 8.0f);

    clip.start();
    clip.update(4.0f, 0.1f);
    EXPECT_EQ(translationOf(ride.chairMesh->renderMatrix()), (sm::Vec3{40, 0, 0}));
    EXPECT_EQ(translationOf(ride.hip->world), (sm::Vec3{40, 60, 0}));
    EXPECT_EQ(translationOf(ride.leg->world), (sm::Vec3{40, 56, 0}));
    // The rider's own root is not updated by the ride.
    EXPECT_EQ(ride.rider.world, sm::Mat4{});
}

TEST(WheelClip, FindsTheOtherSeatNameWhenTheFirstIsMissing) {
    Ride ride("rama wozka");
    WheelClip clip(&ride.rider, &ride.vehicle, &ride.geometry);
    EXPECT_TRUE(clip.seated());
    clip.start();
    clip.update(2.0f, 0.1f);
    EXPECT_EQ(translationOf(ride.hip->world), (sm::Vec3{20, 60, 0}));
}

TEST(WheelClip, TheVehicleIsShownOnlyWhileTheClipIsCurrent) {
    Ride ride;
    WheelClip clip(&ride.rider, &ride.vehicle, &ride.geometry);
    std::vector<SubMesh*> list;
    clip.collectSubMeshes(list);
    EXPECT_EQ(list, ride.geometry.allSubMeshes);
    clip.stop();
    EXPECT_TRUE(ride.hidden());
    clip.start();
    EXPECT_TRUE(ride.shown());
    clip.stop();
    EXPECT_TRUE(ride.hidden());
    clip.start();
    EXPECT_TRUE(ride.shown());
}

// Without a hip or a seat there is nothing to link: the vehicle still plays
// and the rider stays where it was.
TEST(WheelClip, WithoutAHipOrASeatTheRiderStaysWhereItIs) {
    Ride noSeat("driver's seat");
    Ride noHip;
    noHip.hip->name = "Pelvis";
    for (Ride* ride : {&noSeat, &noHip}) {
        WheelClip clip(&ride->rider, &ride->vehicle, &ride->geometry);
        EXPECT_FALSE(clip.seated());
        EXPECT_NE(clip.problem(), nullptr);
        clip.stop();
        clip.start();
        clip.update(4.0f, 0.1f);
        EXPECT_EQ(translationOf(ride->chairMesh->renderMatrix()), (sm::Vec3{40, 0, 0}));
        EXPECT_EQ(ride->hip->world, sm::Mat4{});
        EXPECT_EQ(ride->leg->world, sm::Mat4{});
    }
}

TEST(WheelClip, WithoutGeometryTheRideGoesOnWithNothingToShow) {
    Ride ride;
    WheelClip clip(&ride.rider, &ride.vehicle, nullptr);
    EXPECT_NE(clip.problem(), nullptr);
    std::vector<SubMesh*> list;
    clip.collectSubMeshes(list);
    EXPECT_TRUE(list.empty());
    clip.stop();
    clip.start();
    clip.update(4.0f, 0.1f);
    EXPECT_EQ(translationOf(ride.hip->world), (sm::Vec3{40, 60, 0}));
}

TEST(WheelClip, WithoutARiderOrAVehicleTheClipIsInert) {
    Ride ride;
    WheelClip noRider(nullptr, &ride.vehicle, &ride.geometry), noVehicle(&ride.rider, nullptr, &ride.geometry);
    for (WheelClip* clip : {&noRider, &noVehicle}) {
        std::vector<SubMesh*> list;
        clip->collectSubMeshes(list);
        EXPECT_TRUE(list.empty());
        clip->stop();
        clip->start();
        clip->update(4.0f, 0.1f);
        EXPECT_EQ(clip->endTime(), 0.0f);
        EXPECT_NE(clip->problem(), nullptr);
    }
    EXPECT_EQ(ride.chairMesh->renderMatrix(), sm::Mat4{});
    EXPECT_TRUE(ride.vehicle.findChild("chair")->children.size() == 1);
}

}  // namespace
