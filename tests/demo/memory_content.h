#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "anim/core/scene_node.h"
#include "content/content_manager.h"
#include "content/geometry/geometry.h"
#include "content/shader_program.h"
#include "content/texture.h"

namespace murmur::test {

// A real ContentManager filled with objects built in memory: each object
// added here gets an empty file of its name in a scratch data folder, the
// manager scans that folder as the show does, and the loader hands back the
// object of the file's base name. Objects live as long as this holder.
class MemoryContent : public IGraphicsEngine {
public:
    MemoryContent();
    ~MemoryContent() override;

    Geometry& geometry(const std::string& name);
    SceneNode& animation(const std::string& name);
    void texture(const std::string& name, std::unique_ptr<Texture> texture);
    // A program from the vertex and fragment sources (compiled by the real
    // loader when the folder is scanned; needs a GL context).
    void program(const std::string& name, const std::string& vertexSource, const std::string& fragmentSource);

    // Scans the folder into a fresh manager (again after every change).
    const ContentManager& manager();

    Texture* loadTexture(const std::string& path) override;
    ShaderProgram* loadProgram(const std::string& vertexPath, const std::string& fragmentPath) override;
    Geometry* loadGeometry(const std::string& path) override;
    SceneNode* loadAnimation(const std::string& path) override;
    Material* loadMaterial(const std::string&) override { return nullptr; }

private:
    void touch(const std::string& folder, const std::string& file, const std::string& text = {});

    std::filesystem::path root_;
    std::map<std::string, std::unique_ptr<Geometry>> geometries_;
    std::map<std::string, std::unique_ptr<SceneNode>> animations_;
    std::map<std::string, std::unique_ptr<Texture>> textures_;
    std::map<std::string, std::unique_ptr<ShaderProgram>> programs_;
    std::unique_ptr<ContentManager> manager_;
};

}  // namespace murmur::test
