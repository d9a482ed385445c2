#pragma once

#include <functional>
#include <string>

namespace audio_test {

// A path for a file of this test program: a folder of its own under the
// test's temporary folder, so that programs running side by side never meet.
std::string tempPath(const std::string& name);

// Writes an MP3 file of `seconds` seconds of 44.1 kHz stereo, sample value
// (-1..1) given per sample frame index and channel, and returns its path in
// the test's temporary folder.
std::string writeTestMp3(const std::string& name, double seconds,
                         const std::function<float(long frame, int channel)>& sample);

// A steady 440 Hz tone at half scale.
std::string writeToneMp3(const std::string& name, double seconds);

// Selects SDL's audio driver for the next device initialisation.
void useAudioDriver(const char* driver);

}  // namespace audio_test
