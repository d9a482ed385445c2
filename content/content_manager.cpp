#include "content/content_manager.h"

#include "content/file_path.h"
#include "content/geometry/geometry.h"
#include "content/material.h"

#include <cctype>
#include <filesystem>
#include <set>
#include <system_error>
#include <utility>

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

ContentManager::ContentManager(IGraphicsEngine* engine, IContentObserver* observer)
    : engine_(engine), observer_(observer) {}

ContentManager::Listing ContentManager::list(Kind kind, const std::string& directory) {
    Listing listing{kind, withSeparator(directory), {}};
    switch (kind) {
        case Kind::Texture:
            listFiles(listing.directory, "*.png", listing.names);
            listFiles(listing.directory, "*.jpg", listing.names);
            break;
        case Kind::Program:
            listFiles(listing.directory, "*.vpr", listing.names);
            break;
        case Kind::Geometry:
            listFiles(listing.directory, "*.geo", listing.names);
            break;
        case Kind::Animation:
            listFiles(listing.directory, "*.ani", listing.names);
            break;
        case Kind::Material:
            listFiles(listing.directory, "*.mat", listing.names);
            break;
    }
    return listing;
}

void ContentManager::load(const Listing& listing) {
    const std::string& dir = listing.directory;
    for (const std::string& n : listing.names) {
        const FilePath path(dir + n);
        const std::string key = path.name();
        bool loaded = false;
        std::string what;
        switch (listing.kind) {
            case Kind::Texture:
                loaded = (textures_[key] = engine_->loadTexture(path.fullPath())) != nullptr;
                what = "texture " + path.fullPath();
                break;
            case Kind::Program: {
                const std::string fragment = dir + key + ".fpr";
                loaded = (programs_[key] = engine_->loadProgram(path.fullPath(), fragment)) != nullptr;
                what = "program " + path.fullPath() + " with " + fragment;
                break;
            }
            case Kind::Geometry:
                loaded = (geometries_[key] = engine_->loadGeometry(path.fullPath())) != nullptr;
                what = "geometry " + path.fullPath();
                break;
            case Kind::Animation:
                loaded = (animations_[key] = engine_->loadAnimation(path.fullPath())) != nullptr;
                what = "animation " + path.fullPath();
                break;
            case Kind::Material:
                loaded = (materials_[key] = engine_->loadMaterial(path.fullPath())) != nullptr;
                what = "material " + path.fullPath();
                break;
        }
        if (!observer_) continue;
        if (!loaded) observer_->onError("could not load " + what);
        observer_->onProgress();
    }
}

void ContentManager::loadTextures(const std::string& directory) { load(list(Kind::Texture, directory)); }
void ContentManager::loadPrograms(const std::string& directory) { load(list(Kind::Program, directory)); }
void ContentManager::loadGeometries(const std::string& directory) { load(list(Kind::Geometry, directory)); }
void ContentManager::loadAnimations(const std::string& directory) { load(list(Kind::Animation, directory)); }
void ContentManager::loadMaterials(const std::string& directory) { load(list(Kind::Material, directory)); }

void ContentManager::loadAll(const std::string& dataDirectory) {
    const std::string d = withSeparator(dataDirectory);
    const std::pair<Kind, const char*> scan[] = {
        {Kind::Geometry, "models/"},       {Kind::Geometry, "models/robot_parts/"},
        {Kind::Texture, "textures/"},      {Kind::Texture, "textures/greetz/"},
        {Kind::Texture, "textures/dream/"}, {Kind::Texture, "textures/lightmaps/"},
        {Kind::Program, "effects/"},       {Kind::Animation, "animations/"},
        {Kind::Material, "materials/"},
    };
    std::vector<Listing> listings;
    std::vector<std::string> texturePaths;  // in the order they will be loaded
    std::size_t total = 0;
    for (const auto& [kind, relative] : scan) {
        const Listing& listing = listings.emplace_back(list(kind, d + relative));
        total += listing.names.size();
        if (kind == Kind::Texture)
            for (const std::string& n : listing.names) texturePaths.push_back(FilePath(listing.directory + n).fullPath());
    }
    if (observer_) observer_->onBegin(static_cast<int>(total));
    if (engine_) engine_->willLoadTextures(texturePaths);
    for (const Listing& listing : listings) load(listing);
    resolveReferences();
    if (observer_) observer_->onFinish();
}

void ContentManager::resolveReferences() {
    // A name that no file of its kind carries is a gap in the content: the
    // observer hears of it once per name and user. A name whose file failed
    // to load has been reported by the load already.
    std::set<std::string> reported;
    const auto absent = [this, &reported](const auto& registry, const std::string& name, const std::string& gap) {
        if (name.empty() || registry.count(name) || !observer_ || !reported.insert(gap).second) return;
        observer_->onError(gap);
    };
    for (const auto& [key, geometry] : geometries_) {
        if (!geometry) continue;
        std::vector<SubMesh*> subMeshes;
        geometry->collectSubMeshes(subMeshes);
        for (SubMesh* s : subMeshes) {
            s->material = findMaterial(s->materialName);
            absent(materials_, s->materialName,
                   "geometry " + key + " uses the material \"" + s->materialName + "\", which is missing");
        }
    }
    for (const auto& [key, m] : materials_) {
        if (!m) continue;
        const std::pair<Texture* Material::*, const std::string Material::*> maps[] = {
            {&Material::diffuseMap, &Material::diffuseMapName},
            {&Material::opacityMap, &Material::opacityMapName},
            {&Material::bumpMap, &Material::bumpMapName},
            {&Material::lightMap, &Material::lightMapName},
        };
        for (const auto& [map, name] : maps) {
            m->*map = findTexture(m->*name);
            absent(textures_, m->*name, "material " + key + " names the texture \"" + m->*name + "\", which is missing");
        }
    }
}

Texture* ContentManager::findTexture(const std::string& name) const { return lookup(textures_, name); }
ShaderProgram* ContentManager::findProgram(const std::string& name) const { return lookup(programs_, name); }
Geometry* ContentManager::findGeometry(const std::string& name) const { return lookup(geometries_, name); }
SceneNode* ContentManager::findAnimation(const std::string& name) const { return lookup(animations_, name); }
Material* ContentManager::findMaterial(const std::string& name) const { return lookup(materials_, name); }
