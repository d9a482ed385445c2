#pragma once

#include "tools/music/arrangement.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace music {

// Plays the arrangement into interleaved 16-bit stereo: every track's voices,
// the kick's side-chain ducking, a ping-pong delay and a reverb, the stutter
// of the glitching passage, the blackout gate and a soft limiter.
std::vector<std::int16_t> mixArrangement(const Arrangement& arrangement, std::int64_t frames);

// The same into pcm (resized to frames × 2), calling progress with the number
// of frames finished so far every few thousand frames and at the end, so that
// a consumer can work on the finished part while the rest is mixed.
void mixArrangementInto(const Arrangement& arrangement, std::int64_t frames, std::vector<std::int16_t>& pcm,
                        const std::function<void(std::int64_t)>& progress);

}  // namespace music
