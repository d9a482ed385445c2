#pragma once
// The two camera lists: "cameras" (the shots of the show, cut on bar lines)
// and "cameras_factory" (the shadow light's views over the parts of the set
// where the action is). Each camera's node keys end at its cut time.
namespace content {
class Staging;
}

namespace world {

class Performance;

void writeCameras(content::Staging& staging, Performance& robot);

} // namespace world
