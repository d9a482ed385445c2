#pragma once

#include "tools/music/arrangement.h"

#include <cstdint>
#include <vector>

namespace music {

// Plays the arrangement into interleaved 16-bit stereo: every track's voices,
// the kick's side-chain ducking, a ping-pong delay and a reverb, the stutter
// of the glitching passage, the blackout gate and a soft limiter.
std::vector<std::int16_t> mixArrangement(const Arrangement& arrangement, std::int64_t frames);

}  // namespace music
