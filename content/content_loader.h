#pragma once

#include "content/graphics_engine.h"

#include <memory>
#include <vector>

class ImagePrefetch;

// The loader operations done with the real readers: mipmapped repeating
// textures, linked programs from source pairs, geometries with their vertex
// buffers uploaded, animation trees, materials. Needs a current GL context.
// Everything it loads lives as long as the loader (the registries only point
// at it). Textures announced with willLoadTextures are decoded on worker
// threads ahead of their upload.
class ContentLoader : public IGraphicsEngine {
public:
    ContentLoader();
    ~ContentLoader() override;

    void willLoadTextures(const std::vector<std::string>& paths) override;
    Texture* loadTexture(const std::string& path) override;
    ShaderProgram* loadProgram(const std::string& vertexPath, const std::string& fragmentPath) override;
    Geometry* loadGeometry(const std::string& path) override;
    SceneNode* loadAnimation(const std::string& path) override;
    Material* loadMaterial(const std::string& path) override;

private:
    std::unique_ptr<ImagePrefetch> prefetch_;
    std::vector<std::unique_ptr<Texture>> textures_;
    std::vector<std::unique_ptr<ShaderProgram>> programs_;
    std::vector<std::unique_ptr<Geometry>> geometries_;
    std::vector<std::unique_ptr<SceneNode>> animations_;
    std::vector<std::unique_ptr<Material>> materials_;
};
