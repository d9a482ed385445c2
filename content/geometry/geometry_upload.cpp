#include "content/geometry/geometry_reader.h"
#include "content/geometry/vertex_format.h"

#include <GL/glew.h>

void uploadGeometry(Geometry& geometry) {
    for (SubMesh* s : geometry.allSubMeshes) {
        GLuint name = 0;
        glGenBuffers(1, &name);
        glBindBuffer(GL_ARRAY_BUFFER, name);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(s->vertices.size()),
                     s->vertices.empty() ? nullptr : s->vertices.data(), GL_STATIC_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        s->vertexBuffer = name;
    }
}

void SubMesh::setAttributePointers() const {
    const VertexLayout* layout = vertexLayout(vertexFormat);
    if (!layout) return;
    auto point = [&](GLuint location, int components, int offset) {
        if (offset < 0) return;
        glVertexAttribPointer(location, components, GL_FLOAT, GL_FALSE, layout->stride,
                              reinterpret_cast<const void*>(static_cast<std::uintptr_t>(offset)));
    };
    // Format 0 has only the position, which still goes to location 0.
    point(0, 3, layout->position);
    point(1, 2, layout->diffuseUv);
    point(2, 2, layout->lightmapUv);
    point(3, 3, layout->normal);
    point(4, 3, layout->tangent);
}
