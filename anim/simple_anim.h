#pragma once

#include <string>

#include "anim/game_object.h"

class Geometry;
class SceneNode;

// One geometry moved by one animation tree, hidden until its show time.
class SimpleAnim : public GameObject {
public:
    // Binds the tree to the geometry's meshes, hides the submeshes and marks
    // every mesh as a shadow caster. name (the content's name) is for the
    // problem report: without the tree or the geometry the object is left
    // out (no submeshes, nothing updated).
    SimpleAnim(SceneNode* root, Geometry* geometry, float showTime, std::string name = {});

    // Shows the submeshes on the first update with time > showTime (never
    // hides them again) and updates the tree at every time.
    void update(float time, float dt) override;
    const std::vector<SubMesh*>& submeshes() const override;
    void dropLightmaps() override;
    void problems(std::vector<std::string>& out) const override;

    bool started() const { return started_; }
    float showTime() const { return showTime_; }

protected:
    bool usable() const { return root_ && geometry_; }

    Geometry* geometry_;
    SceneNode* root_;
    bool started_ = false;
    float showTime_;
    std::string name_;
};
