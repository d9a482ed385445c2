#pragma once
// The moving parts of the show as the engine plays them, read back from the
// staged data folder for the author's previews: the robot with his clips
// (riding, skeleton and path clips, in the show's order), the props and the
// credits hand, each posed at the scene time and handed out as world-space
// triangles with their material names.
#include "tools/model/shape.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace world {

class ShowScene {
public:
    ShowScene();
    ~ShowScene();

    bool load(const std::filesystem::path& dataRoot, std::string& error);
    // Plays forward to scene time t in steps of at most 1/30 s (a time
    // before the last one is ignored: the show only runs forward).
    void playTo(float t);
    // Everything drawn at the time played to, one shape per submesh.
    void collect(std::vector<model::Shape>& out) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace world
