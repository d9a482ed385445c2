#include "anim/clip_schedule.h"

IAnimationClip* ClipSchedule::add(std::unique_ptr<IAnimationClip> clip) {
    if (!clip) return nullptr;
    clips_.push_back(std::move(clip));
    return clips_.back().get();
}

void ClipSchedule::update(float time, float dt) {
    while (current_ < clips_.size() && clips_[current_]->endTime() < time) ++current_;
    if (current_ >= clips_.size()) return;
    if (current_ != active_) {
        if (active_ != kNone) clips_[active_]->stop();
        clips_[current_]->start();
        active_ = current_;
    }
    clips_[current_]->update(time, dt);
}
