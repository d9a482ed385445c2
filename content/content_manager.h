#pragma once

#include "content/content_observer.h"
#include "content/graphics_engine.h"

#include <map>
#include <string>
#include <vector>

// Scans content directories, hands every file to the engine's loader and
// files the result (null included) under the file's base name, one registry
// per kind; then links submeshes to materials and materials to textures by
// name. Owns none of the objects. An observer, when given, hears of every
// file finished and every file that failed, and of the size of a whole scan
// before it starts.
class ContentManager {
public:
    explicit ContentManager(IGraphicsEngine* engine, IContentObserver* observer = nullptr);

    void setObserver(IContentObserver* observer) { observer_ = observer; }

    // The whole scan of a data directory, in its fixed order: geometries from
    // "models/" and "models/robot_parts/"; textures from "textures/",
    // "textures/greetz/", "textures/dream/", "textures/lightmaps/"; programs
    // from "effects/"; animations from "animations/"; materials from
    // "materials/"; then resolveReferences. Every directory is listed first
    // so that the observer learns the number of files before the first one
    // is loaded.
    void loadAll(const std::string& dataDirectory);

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
    // name (null where no entry has the name). Each name that no file
    // carried is reported to the observer once per user (a geometry or a
    // material); a name whose file failed to load is not reported again.
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
    enum class Kind { Texture, Program, Geometry, Animation, Material };
    // The files of one directory of one kind, listed and not yet loaded.
    struct Listing {
        Kind kind;
        std::string directory;  // ends with a separator
        std::vector<std::string> names;
    };
    static Listing list(Kind kind, const std::string& directory);
    void load(const Listing& listing);

    IGraphicsEngine* engine_;
    IContentObserver* observer_;
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
