#include "content/content_loader.h"

#include "anim/animation_file.h"
#include "content/geometry/geometry_reader.h"
#include "content/image_prefetch.h"
#include "content/material.h"
#include "content/shader_program.h"
#include "content/texture.h"

#include <algorithm>
#include <thread>

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

namespace {

// Decoded pictures waiting to be uploaded, at most: enough to keep the
// workers busy through a large texture, a few dozen megabytes at most.
constexpr std::size_t kPicturesAhead = 12;

// Decoding leaves a core to the GL thread and the driver's own threads,
// which generate the mipmaps (one decoder was fastest on two cores).
unsigned decodeThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 1 ? cores - 1 : 1;
}

}  // namespace

void ContentLoader::willLoadTextures(const std::vector<std::string>& paths) {
    prefetch_.reset();
    if (!paths.empty()) prefetch_ = std::make_unique<ImagePrefetch>(paths, decodeThreads(), kPicturesAhead);
}

Texture* ContentLoader::loadTexture(const std::string& path) {
    Image image;
    bool decoded = false;
    if (!prefetch_ || !prefetch_->take(path, image, decoded)) return keep(textures_, ::loadTexture(path));
    // The workers are done with once the last announced picture is taken.
    if (prefetch_->done()) prefetch_.reset();
    return decoded ? keep(textures_, uploadContentTexture(image)) : nullptr;
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
