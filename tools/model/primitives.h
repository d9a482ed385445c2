#pragma once
// Shapes built in code. Every primitive is built at its final size (scale
// distorts the texture density; place shapes with rigid transforms), faces
// outwards, and gives surface coordinates in centimetres (see shape.h).
#include "tools/model/shape.h"

#include <string>
#include <vector>

namespace model {

// Faces of a box, by the axis and side they face.
enum BoxFace : unsigned {
    kPosX = 1, kNegX = 2, kPosY = 4, kNegY = 8, kPosZ = 16, kNegZ = 32, kAllFaces = 63
};

// Axis-aligned box centred at the origin; `faces` leaves out faces that
// nothing will see (a box standing on the floor needs no bottom).
Shape box(const std::string& material, sm::Vec3 size, unsigned faces = kAllFaces);
// Box centred at the origin whose edges and corners are cut by flat bevels
// of the given width (clamped to half the smallest side).
Shape bevelBox(const std::string& material, sm::Vec3 size, float bevel, unsigned faces = kAllFaces);
// Rectangle in the XY plane centred at the origin, facing +Z; uv = (x, y).
Shape rectangle(const std::string& material, Vec2 size);
// A flat polygon in the XY plane (counter-clockwise seen from +Z, may be
// concave), facing +Z; uv = (x, y).
Shape polygon(const std::string& material, const std::vector<Vec2>& outline);

// Surface of revolution about the Y axis. profile: points (radius, y) in the
// order that keeps the outside on the right of the direction of travel
// (bottom to top for an outer wall). Profile corners sharper than
// creaseDegrees get hard edges and start a new light-map chart. The sweep
// runs from angle0 to angle1 (radians, about +Y, from +X towards -Z).
Shape lathe(const std::string& material, const std::vector<Vec2>& profile, int segments,
            float creaseDegrees = 40.0f, float angle0 = 0.0f, float angle1 = 2.0f * kPi);
// Cylinder along +Y from y = 0 to y = height, optionally closed by caps.
Shape cylinder(const std::string& material, float radius, float height, int segments, bool caps = true);
// Truncated cone along +Y (radius0 at y = 0, radius1 at y = height).
Shape cone(const std::string& material, float radius0, float radius1, float height, int segments,
           bool caps = true);
Shape sphere(const std::string& material, float radius, int segments, int rings);
// Cylinder of the given length (along Y, centred at the origin) with
// hemispherical ends.
Shape capsule(const std::string& material, float radius, float length, int segments, int rings);
// Ring in the XZ plane about the Y axis.
Shape torus(const std::string& material, float majorRadius, float minorRadius, int segments, int sides);

// A closed cross-section (counter-clockwise, may be concave) carried along a
// path. Frames follow the path without twist; the section's y axis starts as
// close to `up` as the path allows. A straight path along +Z with up +Y maps
// the section's (x, y) onto world (x, y). Open paths get caps.
Shape sweep(const std::string& material, const std::vector<sm::Vec3>& path, const std::vector<Vec2>& section,
            bool closedPath = false, bool caps = true, sm::Vec3 up = {0.0f, 1.0f, 0.0f},
            float creaseDegrees = 40.0f);
// An outline (counter-clockwise in XY, may be concave) extruded along +Z from
// z = 0 to z = depth.
Shape extrude(const std::string& material, const std::vector<Vec2>& outline, float depth, bool caps = true);
// A tube of the given radius along a path.
Shape tube(const std::string& material, const std::vector<sm::Vec3>& path, float radius, int sides,
           bool caps = true);

// Outlines and paths.
std::vector<Vec2> circleOutline(float radius, int segments);
std::vector<Vec2> rectangleOutline(float width, float height);
std::vector<Vec2> roundedRectangleOutline(float width, float height, float radius, int cornerSegments);
// Points of an arc in the XZ plane about centre (angles about +Y as in lathe).
std::vector<sm::Vec3> arcPath(sm::Vec3 centre, float radius, float angle0, float angle1, int segments);
// A smooth path through the points (Catmull-Rom), `samples` points per span.
std::vector<sm::Vec3> smoothPath(const std::vector<sm::Vec3>& points, int samples);
// A polyline whose corners are rounded with arcs of the given radius (the
// radius shrinks where a leg is too short); pipe runs with bends.
std::vector<sm::Vec3> roundCorners(const std::vector<sm::Vec3>& points, float radius, int segmentsPerBend);

// Triangulates a simple polygon (counter-clockwise); index triples.
std::vector<int> triangulate(const std::vector<Vec2>& outline);

} // namespace model
