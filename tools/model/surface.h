#pragma once
// Surface detail of shapes: texture projections at a fixed texel density
// (coordinates in centimetres; the writer divides by the material's tile
// size), normals and tangents.
#include "tools/model/shape.h"

namespace model {

// The upright texture frame of a flat face by the axis its normal faces
// most: u to the right and v up as seen from the front.
void boxFaceFrame(sm::Vec3 normal, sm::Vec3& u, sm::Vec3& v);

// uv = distances from origin along uAxis and vAxis (unit vectors).
void planarProject(Shape& shape, sm::Vec3 origin, sm::Vec3 uAxis, sm::Vec3 vAxis);
// Each triangle projected along the axis its normal faces most, with the
// upright frames of box faces (walls read upright, floors as seen from
// above). Vertices are split where neighbours take different axes.
void boxProject(Shape& shape, sm::Vec3 origin = {});
// u = angle about the axis times `radius`, v = height along the axis; the
// seam lies where the angle wraps, opposite `front` (a unit vector normal to
// the axis).
void cylindricalProject(Shape& shape, sm::Vec3 base, sm::Vec3 axis, sm::Vec3 front, float radius);

// Gives every triangle its own corners with the triangle's normal.
void flatNormals(Shape& shape);
// Averages the normals of triangles that meet at a position and bend by less
// than creaseDegrees; sharper edges stay hard.
void smoothNormals(Shape& shape, float creaseDegrees);
// Tangents along +u of uv, orthogonal to the normals (computed per vertex
// from the triangles that use it).
void computeTangents(Shape& shape);
// Every triangle its own three vertices (a step that the projections take).
void unshare(Shape& shape);

} // namespace model
