#pragma once

#include <cstdint>
#include <memory>

// The instruments of the soundtrack. Each note becomes a voice that adds its
// sound to a stereo block until it has died away.
namespace music {

// One note of a track, in sample frames from the start of the piece.
struct NoteEvent {
    std::int64_t start = 0;
    std::int64_t length = 0;  // how long the key is held
    float note = 60.0f;       // MIDI note number
    float velocity = 1.0f;    // 0..1
    float brightness = 0.5f;  // 0..1: filter opening, harmonic content
    std::uint32_t seed = 1;   // for noise and small random variations
};

class Voice {
public:
    virtual ~Voice() = default;
    // Adds frames to left and right; returns false once the voice is silent.
    virtual bool render(float* left, float* right, int frames) = 0;
};

enum class Instrument {
    Kick,
    Snare,
    Clap,
    ClosedHat,
    OpenHat,
    Crash,
    Bass,
    Pad,
    Pluck,
    Lead,
    Bell,
    Riser,
    Impact,
    Glitch,
    Drone,
};

std::unique_ptr<Voice> makeVoice(Instrument instrument, const NoteEvent& event);

}  // namespace music
