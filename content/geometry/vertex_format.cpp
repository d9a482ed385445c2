#include "content/geometry/vertex_format.h"

namespace {

constexpr VertexLayout kLayouts[kVertexFormatCount] = {
    {12, 0, -1, -1, -1, -1},  // position
    {24, 0, -1, -1, 12, -1},  // position, normal
    {32, 0, 12, -1, 20, -1},  // + diffuse coordinates
    {40, 0, 12, 20, 28, -1},  // + light-map coordinates
    {44, 0, 12, -1, 20, 32},  // diffuse coordinates, normal, tangent
    {52, 0, 12, 20, 28, 40},  // all five
};

}  // namespace

const VertexLayout* vertexLayout(int format) {
    if (format < 0 || format >= kVertexFormatCount) return nullptr;
    return &kLayouts[format];
}
