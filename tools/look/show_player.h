#pragma once
// The robot's part of the show played from a data folder with the engine's
// own clips: the bind pose on the skeleton, the sixteen clips in order, the
// props (flying chair, doors, mug, e-cigarette), stepped on a fixed frame
// clock as the show steps them.
#include "anim/clip_schedule.h"
#include "anim/core/scene_node.h"
#include "anim/simple_anim.h"
#include "content/geometry/geometry.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace look {

struct Drawn {
    const Mesh* mesh;
    const SubMesh* sub;
    sm::Mat4 matrix;
};

class ShowPlayer {
public:
    // `data` is the quellon_data folder. False with the reason on failure.
    bool load(const std::string& data, std::string& error);
    // Plays forward to time t in steps of 1/fps (never backwards).
    void playTo(float t, float fps = 60.0f);
    float time() const { return time_; }
    // What is drawn now: the robot, the current chair and the shown props.
    std::vector<Drawn> actors() const;
    // The set, drawn as it is stored.
    std::vector<Drawn> set() const;
    // A bone's world frame now.
    sm::Mat4 bone(const std::string& name) const;
    const Geometry* geometry(const std::string& name) const;
    SceneNode* animation(const std::string& name) const;

private:
    std::map<std::string, std::unique_ptr<Geometry>> geometries_;
    std::map<std::string, std::unique_ptr<SceneNode>> animations_;
    ClipSchedule schedule_;
    std::vector<std::unique_ptr<SimpleAnim>> props_;
    SceneNode* skeleton_ = nullptr;
    float time_ = 0.0f;
};

} // namespace look
