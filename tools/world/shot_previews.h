#pragma once
// The author's look at every shot without GL: each main camera, read back
// from the files as written and posed as the show poses it, ray cast at the
// middle of its shot with the robot, his chair, the props, the credits hand
// and the greetings on show; written as DIR/shots/NN.jpg and a contact sheet
// DIR/shots.jpg.
#include "tools/model/model.h"
#include "tools/pictures/canvas.h"

#include <map>
#include <string>
#include <vector>

namespace content {
class Staging;
}

namespace world {

class HandDance;

void renderShotPreviews(content::Staging& staging, const std::vector<const model::Model*>& set,
                        const std::map<std::string, pictures::Image>& lightmaps, const HandDance& dance,
                        const std::string& folder);

} // namespace world
