#pragma once
// Where things stand in the hall. Centimetres, Y up; the hall spans x from
// -2000 to 2000 (west to east), z from -1250 to 1250 (north to south) and y
// from 0 to 1000. The high windows are in the south wall, the sliding doors
// in the north wall behind the dance stage. The set, the props, the clips
// and the cameras all place themselves by these values.
#include "math/vec.h"

namespace world::layout {

inline constexpr float kHallHalfX = 2000.0f;
inline constexpr float kHallHalfZ = 1250.0f;
inline constexpr float kHallHeight = 1000.0f;
inline constexpr float kWallThickness = 40.0f;

// Windows: a row in the south wall, sills and heads.
inline constexpr float kWindowSill = 600.0f;
inline constexpr float kWindowHead = 880.0f;
inline constexpr float kWindowWidth = 360.0f;
inline constexpr int kWindowCount = 7;
inline constexpr float kWindowSpacing = 520.0f;  // centre to centre, the row centred on x = 0

// Late-afternoon sun: the direction the light travels (from the south-west,
// low over the window row).
inline constexpr sm::Vec3 kSunTravel{0.42f, -0.5f, -0.757f};

// The office nook in the north-west corner: the desk against the north wall,
// the chair in front of it (the rider faces north, -Z).
inline constexpr sm::Vec3 kDeskCentre{-1700.0f, 0.0f, -1140.0f};
inline constexpr sm::Vec3 kDeskSize{170.0f, 76.0f, 80.0f};
inline constexpr sm::Vec3 kChairAtDesk{-1700.0f, 0.0f, -1052.0f};
inline constexpr sm::Vec3 kDeskLamp{-1630.0f, 76.0f, -1165.0f};
// The lamp's cable runs forward over the desk and hangs down its front edge,
// frayed where it bends over the edge (what he grabs).
inline constexpr sm::Vec3 kFrayedCable{-1645.0f, 76.0f, -1099.0f};
// His mug on his right, the e-cigarette on his left, the papers between.
inline constexpr sm::Vec3 kMugOnDesk{-1660.0f, 76.0f, -1112.0f};
inline constexpr sm::Vec3 kECigOnDesk{-1745.0f, 76.0f, -1108.0f};
inline constexpr sm::Vec3 kPapers{-1724.0f, 77.7f, -1128.0f};  // the top sheet
// The poster wall: posters on the north wall around this point (6 m east).
inline constexpr sm::Vec3 kPosterWall{-1100.0f, 190.0f, -1250.0f};
inline constexpr sm::Vec3 kChairAtPosters{-1100.0f, 0.0f, -1010.0f};
// The big wall fan, high on the west wall, blowing into the hall (+X).
inline constexpr sm::Vec3 kFanHub{-1960.0f, 640.0f, -620.0f};
inline constexpr float kFanRadius = 150.0f;

// The run: the low pipe he swings on (along Z, at this x and height), the
// row of crates he jumps (along Z at this x), the raised platform he flips
// off, the dance stage under the ring of lamps and the doors behind it.
inline constexpr float kSwingPipeX = 1000.0f;
inline constexpr float kSwingPipeY = 260.0f;
inline constexpr float kSwingPipeZ0 = -1250.0f, kSwingPipeZ1 = 300.0f;
inline constexpr float kCrateRowX = 1500.0f;
inline constexpr float kCrateRowZ0 = -150.0f, kCrateRowZ1 = 350.0f;
inline constexpr float kCrateSize = 90.0f;
inline constexpr sm::Vec3 kPlatformCentre{1350.0f, 0.0f, 880.0f};
inline constexpr sm::Vec3 kPlatformSize{320.0f, 130.0f, 220.0f};
inline constexpr sm::Vec3 kStageCentre{0.0f, 0.0f, -350.0f};
inline constexpr float kStageRadius = 330.0f;
inline constexpr float kLampRingRadius = 380.0f;
inline constexpr float kLampRingHeight = 620.0f;
inline constexpr int kLampRingCount = 6;
inline constexpr float kDoorWidth = 440.0f;  // the opening in the north wall, centred on x = 0
inline constexpr float kDoorHeight = 470.0f;
// The conveyor belt: along X at this z, from x0 to x1, belt height.
inline constexpr float kConveyorZ = 450.0f;
inline constexpr float kConveyorX0 = -1300.0f, kConveyorX1 = 300.0f;
inline constexpr float kConveyorHeight = 85.0f;
// Machines along the north wall and where their steam leaves them.
inline constexpr sm::Vec3 kPressCentre{-560.0f, 0.0f, -1070.0f};
inline constexpr sm::Vec3 kPressSize{320.0f, 300.0f, 240.0f};
inline constexpr sm::Vec3 kPressChimneyTop{-470.0f, 470.0f, -1110.0f};
inline constexpr sm::Vec3 kBoilerCentre{780.0f, 0.0f, -1080.0f};
inline constexpr float kBoilerRadius = 130.0f, kBoilerHeight = 380.0f;
inline constexpr sm::Vec3 kBoilerChimneyTop{850.0f, 560.0f, -1150.0f};
inline constexpr sm::Vec3 kMillCentre{1480.0f, 0.0f, -1080.0f};
inline constexpr sm::Vec3 kFeederCentre{-1400.0f, 0.0f, 450.0f};
inline constexpr sm::Vec3 kFeederVent{-1440.0f, 262.0f, 450.0f};
inline constexpr sm::Vec3 kPlatformStackTop{1230.0f, 360.0f, 940.0f};
inline constexpr sm::Vec3 kValve{1985.0f, 300.0f, 560.0f};
// The gantry crane: rails along X at z = +-kCraneRailZ, height of the rails;
// the bridge stands over the stage.
inline constexpr float kCraneRailZ = 1000.0f;
inline constexpr float kCraneRailY = 780.0f;
// The underside of the hoist on the crane's trolley, over the stage: the
// credits hand hangs from it.
inline constexpr sm::Vec3 kHoist{kStageCentre.x, kCraneRailY, kStageCentre.z + 160.0f};

} // namespace world::layout
