#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "anim/animation_clip.h"

// A character's clips played once, in list order, each until its end time
// on the demo timeline. The current index only moves forward: it passes
// every clip whose end time is less than the time (a clip whose end time
// equals the time is still current). A clip that becomes current is
// started, and the one before it stopped; clips passed over in one frame are
// neither started nor stopped. Past the last clip nothing plays any more.
class ClipSchedule {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    // Appends a clip (null is ignored) and returns it.
    IAnimationClip* add(std::unique_ptr<IAnimationClip> clip);

    void update(float time, float dt);

    std::size_t size() const { return clips_.size(); }
    IAnimationClip& clip(std::size_t index) const { return *clips_[index]; }
    // Index of the clip the next update starts from (size() when done).
    std::size_t current() const { return current_; }
    // Index of the clip started last, or kNone.
    std::size_t active() const { return active_; }

private:
    std::vector<std::unique_ptr<IAnimationClip>> clips_;
    std::size_t current_ = 0;
    std::size_t active_ = kNone;
};
