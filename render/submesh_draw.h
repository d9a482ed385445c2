#pragma once

class SubMesh;

// What every pass that draws submeshes shares: which submeshes can be drawn,
// and the draw itself.

// Enabled and not hidden.
bool isVisible(const SubMesh& submesh);
// Can be handed to GL: uploaded, with triangles, a known vertex format and an
// owning mesh for its matrix.
bool isDrawable(const SubMesh& submesh);
// Binds its vertex buffer, points the attributes of its format at it, draws
// its triangles and binds buffer 0 again.
void drawSubmesh(const SubMesh& submesh);
// Enables exactly the attribute arrays of the mask among slots 0 to 4 (bit n
// for slot n) and disables the others.
void enableAttributeArrays(unsigned mask);
