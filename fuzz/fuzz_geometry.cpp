// Geometry reader on arbitrary bytes: it must give null or a geometry whose
// every submesh holds exactly vertexCount x stride bytes, and a geometry it
// accepts must write back.
#include "content/geometry/geometry_reader.h"
#include "content/geometry/geometry_writer.h"
#include "content/geometry/vertex_format.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto g = parseGeometry(data, size);
    if (!g) return 0;
    for (SubMesh* s : g->allSubMeshes) {
        const VertexLayout* layout = vertexLayout(s->vertexFormat);
        if (!layout || s->vertices.size() != static_cast<std::size_t>(s->vertexCount) * layout->stride) std::abort();
    }
    std::vector<std::uint8_t> bytes;
    if (!writeGeometry(*g, bytes)) std::abort();
    return 0;
}
