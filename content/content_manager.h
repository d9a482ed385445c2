#pragma once

#include "content/graphics_engine.h"

#include <map>
#include <string>
#include <vector>

// Scans content directories, hands every file to the engine's loader and
// files the result (null included) under the file's base name, one registry
// per kind; then links submeshes to materials and materials to textures by
// name. Owns none of the objects.
class ContentManager {
public:
    explicit ContentManager(IGraphicsEngine* engine);

    // Each scans one directory (a path ending in a separator; one without
    // gets "/" added) and loads every matching file; a name found again
    // replaces the earlier entry. Textures list "*.png" before "*.jpg", so a
    // JPEG wins over a PNG of the same name. Programs take NAME.vpr with
    // NAME.fpr from the same directory.
    void loadTextures(const std::string& directory);
    void loadPrograms(const std::string& directory);
    void loadGeometries(const std::string& directory);
    void loadAnimations(const std::string& directory);
    void loadMaterials(const std::string& directory);

    // Sets every submesh's material and every material's four textures by
    // name (null where no entry has the name).
    void resolveReferences();

    Texture* findTexture(const std::string& name) const;
    ShaderProgram* findProgram(const std::string& name) const;
    Geometry* findGeometry(const std::string& name) const;
    SceneNode* findAnimation(const std::string& name) const;
    Material* findMaterial(const std::string& name) const;

    const std::map<std::string, Texture*>& textures() const { return textures_; }
    const std::map<std::string, ShaderProgram*>& programs() const { return programs_; }
    const std::map<std::string, Geometry*>& geometries() const { return geometries_; }
    const std::map<std::string, SceneNode*>& animations() const { return animations_; }
    const std::map<std::string, Material*>& materials() const { return materials_; }

private:
    IGraphicsEngine* engine_;
    std::map<std::string, Texture*> textures_;
    std::map<std::string, ShaderProgram*> programs_;
    std::map<std::string, Geometry*> geometries_;
    std::map<std::string, SceneNode*> animations_;
    std::map<std::string, Material*> materials_;
};

// Appends the name (no directory) of every regular file in directory that
// matches the wildcard pattern ('*' any run, '?' one character, letters
// compared without case), in the order the system lists them. A directory
// that does not exist or cannot be read adds nothing.
void listFiles(const std::string& directory, const std::string& pattern, std::vector<std::string>& names);

// Wildcard match as listFiles does it.
bool wildcardMatch(const std::string& pattern, const std::string& name);
