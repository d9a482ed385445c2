#include "content/content_manager.h"

#include "content/file_path.h"
#include "content/geometry/geometry.h"
#include "content/material.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace {

std::string withSeparator(const std::string& directory) {
    if (directory.empty() || directory.back() == '/' || directory.back() == '\\') return directory;
    return directory + "/";
}

template <class T>
T* lookup(const std::map<std::string, T*>& registry, const std::string& name) {
    auto it = registry.find(name);
    return it == registry.end() ? nullptr : it->second;
}

template <class T, class Load>
void loadAll(const std::string& directory, const std::vector<const char*>& patterns,
             std::map<std::string, T*>& registry, Load load) {
    const std::string dir = withSeparator(directory);
    std::vector<std::string> names;
    for (const char* pattern : patterns) listFiles(dir, pattern, names);
    for (const std::string& n : names) {
        const FilePath path(dir + n);
        registry[path.name()] = load(dir, path);
    }
}

}  // namespace

bool wildcardMatch(const std::string& pattern, const std::string& name) {
    // Iterative match with backtracking to the last '*'.
    std::size_t p = 0, n = 0, star = std::string::npos, mark = 0;
    auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || (pattern[p] != '*' && same(pattern[p], name[n])))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

void listFiles(const std::string& directory, const std::string& pattern, std::vector<std::string>& names) {
    std::error_code ec;
    std::filesystem::directory_iterator it(directory.empty() ? std::string(".") : directory, ec);
    if (ec) return;
    for (const std::filesystem::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) break;
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const std::string name = it->path().filename().string();
        if (wildcardMatch(pattern, name)) names.push_back(name);
    }
}

ContentManager::ContentManager(IGraphicsEngine* engine) : engine_(engine) {}

void ContentManager::loadTextures(const std::string& directory) {
    loadAll(directory, {"*.png", "*.jpg"}, textures_,
            [&](const std::string&, const FilePath& p) { return engine_->loadTexture(p.fullPath()); });
}

void ContentManager::loadPrograms(const std::string& directory) {
    loadAll(directory, {"*.vpr"}, programs_, [&](const std::string& dir, const FilePath& p) {
        return engine_->loadProgram(p.fullPath(), dir + p.name() + ".fpr");
    });
}

void ContentManager::loadGeometries(const std::string& directory) {
    loadAll(directory, {"*.geo"}, geometries_,
            [&](const std::string&, const FilePath& p) { return engine_->loadGeometry(p.fullPath()); });
}

void ContentManager::loadAnimations(const std::string& directory) {
    loadAll(directory, {"*.ani"}, animations_,
            [&](const std::string&, const FilePath& p) { return engine_->loadAnimation(p.fullPath()); });
}

void ContentManager::loadMaterials(const std::string& directory) {
    loadAll(directory, {"*.mat"}, materials_,
            [&](const std::string&, const FilePath& p) { return engine_->loadMaterial(p.fullPath()); });
}

void ContentManager::resolveReferences() {
    for (const auto& [key, geometry] : geometries_) {
        if (!geometry) continue;
        std::vector<SubMesh*> subMeshes;
        geometry->collectSubMeshes(subMeshes);
        for (SubMesh* s : subMeshes) s->material = findMaterial(s->materialName);
    }
    for (const auto& [key, m] : materials_) {
        if (!m) continue;
        m->diffuseMap = findTexture(m->diffuseMapName);
        m->opacityMap = findTexture(m->opacityMapName);
        m->bumpMap = findTexture(m->bumpMapName);
        m->lightMap = findTexture(m->lightMapName);
    }
}

Texture* ContentManager::findTexture(const std::string& name) const { return lookup(textures_, name); }
ShaderProgram* ContentManager::findProgram(const std::string& name) const { return lookup(programs_, name); }
Geometry* ContentManager::findGeometry(const std::string& name) const { return lookup(geometries_, name); }
SceneNode* ContentManager::findAnimation(const std::string& name) const { return lookup(animations_, name); }
Material* ContentManager::findMaterial(const std::string& name) const { return lookup(materials_, name); }
