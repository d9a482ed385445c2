#pragma once

#include <cstdint>

// Byte layout of one vertex of a submesh. Every field is float32; an offset
// of -1 marks a field that the format does not have.
struct VertexLayout {
    int stride;
    int position;      // 3 floats, attribute location 0
    int diffuseUv;     // 2 floats, location 1
    int lightmapUv;    // 2 floats, location 2
    int normal;        // 3 floats, location 3
    int tangent;       // 3 floats, location 4
};

inline constexpr int kVertexFormatCount = 6;

// The layout of vertex format 0 to 5, or null for any other value.
const VertexLayout* vertexLayout(int format);
