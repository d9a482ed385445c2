#pragma once
// Light-map unwrap: the triangles of a mesh cut into charts, each laid flat
// at one texel density and packed with padding into one atlas.
//
// Charts: a primitive's own charts (Triangle::chart >= 0, coordinates in
// Vertex::chartUv, scaled here to their true area) or, for the other
// triangles, connected pieces that face the same of the six axis directions,
// projected along it. Atlas pixel (x, y) counts y from the bottom (v up),
// and a chart's corner points land no closer than half a texel to its
// border, so every texel its triangles touch lies inside the chart's cell.
#include "tools/model/model.h"

#include <functional>
#include <string>

namespace model {

struct UnwrapOptions {
    float texelSize = 4.0f;  // centimetres per texel
    int padding = 2;         // texels kept free on each side of a chart
    int maxSize = 2048;      // largest atlas side; the density drops to fit
};

struct Atlas {
    int width = 0, height = 0;  // powers of two
    float texelSize = 0.0f;     // the density used
    int charts = 0;
    long long chartTexels = 0;  // texels inside chart cells (without padding)
};

// Fills Triangle::lightUv of every triangle of the shapes whose material
// `takesLightmap` accepts (the others are left alone) and returns the atlas.
Atlas unwrapLightmap(ModelMesh& mesh, const std::function<bool(const std::string& material)>& takesLightmap,
                     const UnwrapOptions& options = {});

} // namespace model
