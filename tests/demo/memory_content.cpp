#include "tests/demo/memory_content.h"

#include <unistd.h>

#include <atomic>
#include <fstream>

namespace murmur::test {
namespace {

namespace fs = std::filesystem;

std::string stem(const std::string& path) { return fs::path(path).stem().string(); }

template <typename T>
T* find(const std::map<std::string, std::unique_ptr<T>>& objects, const std::string& path) {
    const auto it = objects.find(stem(path));
    return it == objects.end() ? nullptr : it->second.get();
}

}  // namespace

MemoryContent::MemoryContent() {
    static std::atomic<int> serial{0};
    root_ = fs::temp_directory_path() /
            ("murmur_demo_" + std::to_string(getpid()) + "_" + std::to_string(serial.fetch_add(1)));
    fs::create_directories(root_);
}

MemoryContent::~MemoryContent() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

void MemoryContent::touch(const std::string& folder, const std::string& file, const std::string& text) {
    fs::create_directories(root_ / folder);
    std::ofstream(root_ / folder / file, std::ios::binary) << text;
}

Geometry& MemoryContent::geometry(const std::string& name) {
    touch("models", name + ".geo");
    auto& slot = geometries_[name];
    if (!slot) slot = std::make_unique<Geometry>();
    return *slot;
}

SceneNode& MemoryContent::animation(const std::string& name) {
    touch("animations", name + ".ani");
    auto& slot = animations_[name];
    if (!slot) slot = std::make_unique<SceneNode>();
    return *slot;
}

void MemoryContent::texture(const std::string& name, std::unique_ptr<Texture> texture) {
    touch("textures", name + ".png");
    textures_[name] = std::move(texture);
}

void MemoryContent::program(const std::string& name, const std::string& vertexSource,
                            const std::string& fragmentSource) {
    touch("effects", name + ".vpr", vertexSource);
    touch("effects", name + ".fpr", fragmentSource);
}

const ContentManager& MemoryContent::manager() {
    manager_ = std::make_unique<ContentManager>(this);
    const std::string root = root_.string() + "/";
    manager_->loadGeometries(root + "models/");
    manager_->loadTextures(root + "textures/");
    manager_->loadPrograms(root + "effects/");
    manager_->loadAnimations(root + "animations/");
    return *manager_;
}

Texture* MemoryContent::loadTexture(const std::string& path) { return find(textures_, path); }

ShaderProgram* MemoryContent::loadProgram(const std::string& vertexPath, const std::string& fragmentPath) {
    auto& slot = programs_[stem(vertexPath)];
    if (!slot) slot = createProgram(vertexPath, fragmentPath);
    return slot.get();
}

Geometry* MemoryContent::loadGeometry(const std::string& path) { return find(geometries_, path); }

SceneNode* MemoryContent::loadAnimation(const std::string& path) { return find(animations_, path); }

}  // namespace murmur::test
