#include "render/submesh_draw.h"

#include <GL/glew.h>

#include "content/geometry/geometry.h"
#include "content/geometry/vertex_format.h"

bool isVisible(const SubMesh& submesh) { return submesh.enabled && !submesh.hidden; }

bool isDrawable(const SubMesh& submesh) {
    return submesh.vertexBuffer != 0 && submesh.vertexCount > 0 && submesh.mesh != nullptr &&
           vertexLayout(submesh.vertexFormat) != nullptr;
}

void drawSubmesh(const SubMesh& submesh) {
    glBindBuffer(GL_ARRAY_BUFFER, submesh.vertexBuffer);
    submesh.setAttributePointers();
    glDrawArrays(GL_TRIANGLES, 0, submesh.vertexCount);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void enableAttributeArrays(unsigned mask) {
    for (GLuint slot = 0; slot < 5; ++slot) {
        if (mask & (1u << slot)) {
            glEnableVertexAttribArray(slot);
        } else {
            glDisableVertexAttribArray(slot);
        }
    }
}
