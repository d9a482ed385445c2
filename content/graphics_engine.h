#pragma once

#include <string>
#include <vector>

class Geometry;
class Material;
class SceneNode;
struct Texture;
class ShaderProgram;

// The loader operations the content manager hands each file to. Each returns
// a new object or null when the file cannot be loaded.
class IGraphicsEngine {
public:
    virtual ~IGraphicsEngine() = default;

    // The texture files about to be loaded, in the order loadTexture will be
    // called for them: a loader may start on them ahead (by default none
    // does).
    virtual void willLoadTextures(const std::vector<std::string>& paths) { (void)paths; }
    virtual Texture* loadTexture(const std::string& path) = 0;
    virtual ShaderProgram* loadProgram(const std::string& vertexPath, const std::string& fragmentPath) = 0;
    virtual Geometry* loadGeometry(const std::string& path) = 0;
    virtual SceneNode* loadAnimation(const std::string& path) = 0;
    virtual Material* loadMaterial(const std::string& path) = 0;
};
