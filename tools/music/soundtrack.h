#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace music {

inline constexpr int kSoundtrackRate = 44100;
inline constexpr int kSoundtrackKbps = 192;

// The whole soundtrack as interleaved 16-bit stereo at kSoundtrackRate,
// timeline::kLength seconds long. The same samples on every call.
std::vector<std::int16_t> renderSoundtrack();

// Synthesises the soundtrack and writes it as an MP3 file (stereo, 44.1 kHz,
// 192 kbit/s constant bit rate). On failure returns false and names the file
// and the problem in error.
bool writeSoundtrack(const std::string& path, std::string& error);

}  // namespace music
