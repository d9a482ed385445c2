#include "render/submesh_classes.h"

#include "content/geometry/geometry.h"
#include "content/material.h"
#include "render/material_programs.h"

bool isGlowing(const SubMesh& submesh) {
    return submesh.material && submesh.material->name.compare(0, 4, "glow") == 0;
}

void classifySubmeshes(const std::vector<SubMesh*>& sorted, SubmeshClasses& classes) {
    classes = SubmeshClasses{};
    for (SubMesh* submesh : sorted) {
        if (!submesh) continue;
        if (submesh->mesh && submesh->mesh->castShadows) classes.shadowCasters.push_back(submesh);
        const bool transparent = isTransparent(*submesh);
        if (isGlowing(*submesh))
            (transparent ? classes.glowTransparent : classes.glowOpaque).push_back(submesh);
        else
            (transparent ? classes.plainTransparent : classes.plainOpaque).push_back(submesh);
    }
}
