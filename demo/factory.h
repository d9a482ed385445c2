#pragma once

#include "anim/game_object.h"

class ContentManager;
class Geometry;

// The static set: the geometry "factory", never moved, drawn as it lies.
class Factory : public GameObject {
public:
    explicit Factory(const ContentManager& content);

    // Looks the geometry up.
    void init() override;
    const std::vector<SubMesh*>& submeshes() const override;
    void problems(std::vector<std::string>& out) const override;

    Geometry* geometry() const { return geometry_; }

private:
    const ContentManager& content_;
    Geometry* geometry_ = nullptr;
};
