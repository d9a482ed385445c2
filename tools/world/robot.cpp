#include "tools/world/robot.h"

#include "tools/content/staging.h"
#include "tools/world/output.h"
#include "tools/world/robot_clips.h"
#include "tools/world/robot_model.h"

#include <cstdio>

namespace world {

void writeRobot(content::Staging& staging, std::map<std::string, std::vector<std::uint8_t>>& animations,
                const model::Model* set)
{
    ClipFiles out{staging, animations};
    model::Model body = robotModel();
    saveModel(staging, "models/robot_parts/bind_pose.geo", body, false);
    {
        SceneNode root;
        addRestSkeleton(root);
        out.animation("bind_pose", root);
    }
    writeRunCycle(out);
    // The paths first: the clips between them start and end where they do.
    writePathClips(out, set);
    writeOfficeClips(out);
    writeThrowClip(out);
    writeStuntClips(out);
    writeDanceClip(out);
    std::printf("    robot: %zu triangles in %zu meshes; %zu animations, %ld keys\n", body.triangleCount(),
                body.meshes.size(), animations.size(), out.keys);
}

} // namespace world
