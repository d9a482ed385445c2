#pragma once

#include "content/geometry/geometry.h"

#include <cstdint>
#include <string>
#include <vector>

// Encodes a Geometry as a geometry file: the "QLNMDL" header with
// geometry.version when geometry.hasHeader is set (mesh records then carry
// their fileTransform when the version is not 0), every mesh, submesh and
// property in memory order (properties by name). Returns false with the
// reason in error when the geometry cannot be stored as it is: a version
// without a header, an unknown vertex format, vertex bytes that do not match
// vertexCount x stride, a property whose value does not fit its type and
// kind, or a castShadows flag that the "castShadows" property does not give.
bool writeGeometry(const Geometry& geometry, std::vector<std::uint8_t>& out, std::string* error = nullptr);

// writeGeometry, then the bytes to path.
bool saveGeometry(const Geometry& geometry, const std::string& path, std::string* error = nullptr);
