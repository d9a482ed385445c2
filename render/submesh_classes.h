#pragma once

#include <vector>

class SubMesh;

// The draw lists the passes share, built once after loading from the full
// submesh list in its opacity order (each list keeps that order). Every
// submesh is in exactly one of the four glow/plain lists and, besides, in
// shadowCasters when its mesh casts shadows.
struct SubmeshClasses {
    std::vector<SubMesh*> shadowCasters;
    std::vector<SubMesh*> glowOpaque;
    std::vector<SubMesh*> glowTransparent;
    std::vector<SubMesh*> plainOpaque;
    std::vector<SubMesh*> plainTransparent;
};

// A submesh glows when its material's name begins with "glow" (exactly
// those four lower-case letters).
bool isGlowing(const SubMesh& submesh);

// Refills the five lists from the sorted list (null entries are skipped).
void classifySubmeshes(const std::vector<SubMesh*>& sorted, SubmeshClasses& classes);
