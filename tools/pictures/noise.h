#pragma once
// Procedural noise. Every function is a pure function of its arguments and a
// seed, so pictures come out the same on every run. A `period` above 0 makes
// the pattern repeat every `period` lattice cells (tileable textures); 0 means
// no repetition.
#include <cstdint>

namespace pictures {

// Hash of integer coordinates and a seed, spread over 32 bits.
uint32_t hash2(int x, int y, uint32_t seed);
uint32_t hash3(int x, int y, int z, uint32_t seed);
// Uniform in [0, 1).
float hashUnit(uint32_t h);

// Smoothly interpolated random values on the integer lattice, in [0, 1].
float valueNoise(float x, float y, uint32_t seed, int period = 0);

// Gradient (Perlin-style) noise, about [-1, 1], 0 on the lattice points.
float gradientNoise(float x, float y, uint32_t seed, int period = 0);
// Three-dimensional gradient noise; only x and y wrap.
float gradientNoise3(float x, float y, float z, uint32_t seed, int period = 0);

// Fractal sums: octave i samples at frequency 2^i (period scaled alike, so a
// tileable base stays tileable) with amplitude gain^i; normalised so the
// result keeps the range of one octave.
float fbm(float x, float y, uint32_t seed, int octaves, int period = 0, float gain = 0.5f);
float fbm3(float x, float y, float z, uint32_t seed, int octaves, int period = 0, float gain = 0.5f);
float valueFbm(float x, float y, uint32_t seed, int octaves, int period = 0, float gain = 0.5f);
// Sum of absolute values: ridged, billowy patterns, in [0, 1].
float turbulence(float x, float y, uint32_t seed, int octaves, int period = 0, float gain = 0.5f);

// Cellular (Worley) noise: one jittered feature point per lattice cell.
struct Cell {
    float f1 = 0.0f; // distance to the nearest feature point
    float f2 = 0.0f; // distance to the second nearest
    uint32_t id = 0; // hash of the nearest point's cell, stable per cell
};
Cell cellular(float x, float y, uint32_t seed, int period = 0);

} // namespace pictures
