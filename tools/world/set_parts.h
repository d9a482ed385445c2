#pragma once
// The pieces of the set, each adding its meshes to the factory model.
#include "tools/model/model.h"
#include "tools/model/primitives.h"
#include "tools/model/surface.h"
#include "tools/model/transform.h"

namespace world {

void addHall(model::Model& m);        // floor and lanes, walls, windows, doors' frame, roof, columns, views out
void addCrane(model::Model& m);       // the gantry crane on its rails
void addLamps(model::Model& m);       // the hanging lamps
void addMachines(model::Model& m);    // machines, control panels, chimneys, the platform
void addConveyor(model::Model& m);    // the conveyor belt and its feeder
void addPipes(model::Model& m);       // pipe runs, the low swing pipe, valves
void addStorage(model::Model& m);     // racks, crates (and the row to jump), barrels, pallets
void addOffice(model::Model& m);      // the desk nook, the posters
void addFanMount(model::Model& m);    // the fan's housing and motor on the west wall

// Shorthands used by the pieces.
inline model::Shape at(model::Shape s, const sm::Mat4& m) { return model::transformed(std::move(s), m); }
// A box standing on the floor (or on y0) at (x, z), no bottom face.
model::Shape standingBox(const std::string& material, sm::Vec3 size, float x, float z, float y0 = 0.0f,
                         float bevel = 0.0f);
// Stretches a shape's surface coordinates over [0, 1] (pictures shown once).
void fitUv(model::Shape& s);

} // namespace world
