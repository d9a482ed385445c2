#pragma once
// The two camera lists: "cameras" (the shots of the show, cut on the bar
// lines of the music) and "cameras_factory" (the shadow light's views over
// the parts of the set where the action is). Each camera's node keys end at
// its cut time. Both are aimed from the robot's evaluated performance, so
// they follow whatever he does.
#include <vector>

namespace content {
class Staging;
}
namespace model {
struct Model;
}

namespace world {

class HandDance;
class RobotTrack;
class Sight;

// The main list. Shots are posed on the scene clock (which lags behind the
// music during the greetings) and cut on music time. Returns the cut times.
std::vector<float> writeMainCameras(content::Staging& staging, const RobotTrack& robot, const HandDance& dance,
                                    const Sight& sight);
// The shadow list, posed and cut on music time; its cuts fall on the main
// list's cuts, where a change in the shadows hides behind the picture's.
void writeShadowCameras(content::Staging& staging, const RobotTrack& robot, const HandDance& dance,
                        const std::vector<float>& mainCuts);

} // namespace world
