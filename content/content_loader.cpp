#include "content/content_loader.h"

#include "anim/animation_file.h"
#include "content/geometry/geometry_reader.h"
#include "content/material.h"
#include "content/shader_program.h"
#include "content/texture.h"

namespace {

template <class T>
T* keep(std::vector<std::unique_ptr<T>>& owner, std::unique_ptr<T> object) {
    if (!object) return nullptr;
    owner.push_back(std::move(object));
    return owner.back().get();
}

}  // namespace

ContentLoader::ContentLoader() = default;
ContentLoader::~ContentLoader() = default;

Texture* ContentLoader::loadTexture(const std::string& path) {
    return keep(textures_, ::loadTexture(path));
}

ShaderProgram* ContentLoader::loadProgram(const std::string& vertexPath, const std::string& fragmentPath) {
    return keep(programs_, ::createProgram(vertexPath, fragmentPath));
}

Geometry* ContentLoader::loadGeometry(const std::string& path) {
    return keep(geometries_, std::unique_ptr<Geometry>(::loadGeometry(path)));
}

SceneNode* ContentLoader::loadAnimation(const std::string& path) {
    return keep(animations_, readAnimationFile(path));
}

Material* ContentLoader::loadMaterial(const std::string& path) { return keep(materials_, readMaterialFile(path)); }
