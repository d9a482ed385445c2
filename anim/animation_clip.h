#pragma once

#include <vector>

class SubMesh;

// One stretch of a character's performance: which animation drives which
// skeleton, and how. A character plays its clips one after another (see
// ClipSchedule); clips never blend. Times are seconds of demo time. A clip
// borrows every tree and geometry it is given and owns nothing.
//
// A clip built without the content it needs does nothing: problem() then
// says what is missing (once, for whoever logs it), and endTime() is 0 unless
// the clip still knows its length, so a schedule passes over it.
class IAnimationClip {
public:
    virtual ~IAnimationClip() = default;

    // The clip becomes current.
    virtual void start() = 0;
    // The clip stops being current; may come without a start before it.
    virtual void stop() = 0;
    // Every frame while current (after start in the frame of a switch).
    virtual void update(float time, float dt) = 0;
    // The demo time at which the clip is over.
    virtual float endTime() = 0;
    // Appends the submeshes the clip brings along (a vehicle's).
    virtual void collectSubMeshes(std::vector<SubMesh*>& list) = 0;
    // What keeps the clip from playing in full, or null.
    virtual const char* problem() const { return nullptr; }
};
