#pragma once

#include "tools/music/instruments.h"

#include <cstdint>
#include <string>
#include <vector>

// The composition: every note of every track, placed on the show's timeline.
namespace music {

// A stretch of the piece with its own bar grid: `bars` equal bars fill
// [start, end), so that every section begins exactly on its mark.
struct Section {
    std::string name;
    double start = 0.0;
    double end = 0.0;
    int bars = 1;
    double barSeconds() const { return (end - start) / bars; }
    // Time of a sixteenth step, counted from the section's first bar.
    double stepTime(int bar, double step) const { return start + (bar * 16.0 + step) * barSeconds() / 16.0; }
};

struct Track {
    std::string name;
    Instrument instrument = Instrument::Pad;
    std::vector<NoteEvent> events;  // sorted by start
    float gain = 1.0f;
    float pan = 0.0f;         // -1 left .. 1 right
    float delaySend = 0.0f;
    float reverbSend = 0.0f;
    float duck = 0.0f;        // how far the kick pushes it down (0..1)
    float (*cutoff)(double seconds) = nullptr;  // track low pass, none when null
    bool sidechainSource = false;  // the kick: drives the ducking of the others
    bool afterGate = false;        // mixed after the blackout gate (the blackout's own sound)
};

struct Arrangement {
    std::vector<Section> sections;
    std::vector<Track> tracks;
    // The glitching passage: its step grid drives the stutter effect.
    Section glitch;
};

std::int64_t frameAt(double seconds);

// The piece's sections in order, each with its own bar grid; they follow the
// show's timeline marks, so the bars are the show's musical grid.
std::vector<Section> soundtrackSections();
// Every bar line of the piece in seconds, ascending: the start of each bar of
// every section, and the end of the last.
std::vector<double> barLines();

// The whole piece; the same on every call.
Arrangement arrangeSoundtrack();

}  // namespace music
