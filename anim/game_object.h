#pragma once

#include <string>
#include <vector>

class SubMesh;

// Everything the demo drives each frame. The show calls, in object order:
// init once after all content is loaded, then submeshes once (they join the
// draw lists), dropLightmaps once after light maps are assigned, and update
// every frame. The base does nothing and contributes no submeshes.
class GameObject {
public:
    virtual ~GameObject() = default;

    virtual void init() {}
    // time and dt in seconds.
    virtual void update(float time, float dt);
    // Unused by the show; kept so every object answers the same calls.
    virtual void reserved() {}
    // One empty list shared by every object that brings none.
    virtual const std::vector<SubMesh*>& submeshes() const;
    // Takes the light maps off the object's own submeshes where it is
    // animated (a light map is baked for one place).
    virtual void dropLightmaps() {}
    // Appends one line for each piece of content the object had to do
    // without (it leaves that part out instead); asked once after init.
    virtual void problems(std::vector<std::string>& out) const;
};
