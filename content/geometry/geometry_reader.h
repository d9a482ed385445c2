#pragma once

#include "content/geometry/geometry.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// The magic that opens a geometry file with a header, followed by a uint16
// version.
inline constexpr char kGeometryMagic[6] = {'Q', 'L', 'N', 'M', 'D', 'L'};

// Builds a Geometry from the bytes of a geometry file, with no GL: nothing is
// uploaded and every vertexBuffer is 0. A malformed file (a record cut short,
// a count or length running past the end, an unknown vertex format) gives
// null and, when error is given, the reason.
std::unique_ptr<Geometry> parseGeometry(const std::uint8_t* data, std::size_t size, std::string* error = nullptr);

// Reads and parses the file at path (no GL). Errors name the problem; the
// caller adds the file name.
std::unique_ptr<Geometry> readGeometryFile(const std::string& path, std::string* error = nullptr);

// Creates the GL vertex buffer of every submesh (needs a current context).
void uploadGeometry(Geometry& geometry);

// The engine's loader: read, parse, upload. Returns a new Geometry or null.
Geometry* loadGeometry(const std::string& path);
