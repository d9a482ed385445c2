#include "tools/pictures/noise.h"

#include <cmath>

namespace pictures {

namespace {
uint32_t mix(uint32_t h)
{
    h ^= h >> 16;
    h *= 0x7feb352dU;
    h ^= h >> 15;
    h *= 0x846ca68bU;
    h ^= h >> 16;
    return h;
}

int wrap(int v, int period)
{
    if (period <= 0) return v;
    v %= period;
    return v < 0 ? v + period : v;
}

float fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }
float lerp(float a, float b, float t) { return a + (b - a) * t; }

// One of eight unit-ish gradient directions.
float grad2(uint32_t h, float dx, float dy)
{
    switch (h & 7U) {
    case 0: return dx + dy;
    case 1: return -dx + dy;
    case 2: return dx - dy;
    case 3: return -dx - dy;
    case 4: return dx * 1.41421356f;
    case 5: return -dx * 1.41421356f;
    case 6: return dy * 1.41421356f;
    default: return -dy * 1.41421356f;
    }
}

float grad3(uint32_t h, float dx, float dy, float dz)
{
    switch (h % 12U) {
    case 0: return dx + dy;
    case 1: return -dx + dy;
    case 2: return dx - dy;
    case 3: return -dx - dy;
    case 4: return dx + dz;
    case 5: return -dx + dz;
    case 6: return dx - dz;
    case 7: return -dx - dz;
    case 8: return dy + dz;
    case 9: return -dy + dz;
    case 10: return dy - dz;
    default: return -dy - dz;
    }
}
} // namespace

uint32_t hash2(int x, int y, uint32_t seed)
{
    return mix(static_cast<uint32_t>(x) * 0x8da6b343U ^ mix(static_cast<uint32_t>(y) * 0xd8163841U ^ mix(seed)));
}

uint32_t hash3(int x, int y, int z, uint32_t seed)
{
    return mix(hash2(x, y, seed) ^ static_cast<uint32_t>(z) * 0xcb1ab31fU);
}

float hashUnit(uint32_t h) { return static_cast<float>(h >> 8) * (1.0f / 16777216.0f); }

float valueNoise(float x, float y, uint32_t seed, int period)
{
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = fade(x - fx), ty = fade(y - fy);
    int x0 = wrap(ix, period), x1 = wrap(ix + 1, period);
    int y0 = wrap(iy, period), y1 = wrap(iy + 1, period);
    float a = hashUnit(hash2(x0, y0, seed)), b = hashUnit(hash2(x1, y0, seed));
    float c = hashUnit(hash2(x0, y1, seed)), d = hashUnit(hash2(x1, y1, seed));
    return lerp(lerp(a, b, tx), lerp(c, d, tx), ty);
}

float gradientNoise(float x, float y, uint32_t seed, int period)
{
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float dx = x - fx, dy = y - fy;
    int x0 = wrap(ix, period), x1 = wrap(ix + 1, period);
    int y0 = wrap(iy, period), y1 = wrap(iy + 1, period);
    float n00 = grad2(hash2(x0, y0, seed), dx, dy);
    float n10 = grad2(hash2(x1, y0, seed), dx - 1.0f, dy);
    float n01 = grad2(hash2(x0, y1, seed), dx, dy - 1.0f);
    float n11 = grad2(hash2(x1, y1, seed), dx - 1.0f, dy - 1.0f);
    float tx = fade(dx), ty = fade(dy);
    return lerp(lerp(n00, n10, tx), lerp(n01, n11, tx), ty);
}

float gradientNoise3(float x, float y, float z, uint32_t seed, int period)
{
    float fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy), iz = static_cast<int>(fz);
    float dx = x - fx, dy = y - fy, dz = z - fz;
    int x0 = wrap(ix, period), x1 = wrap(ix + 1, period);
    int y0 = wrap(iy, period), y1 = wrap(iy + 1, period);
    float tx = fade(dx), ty = fade(dy), tz = fade(dz);
    float n[2];
    for (int k = 0; k < 2; ++k) {
        int z0 = iz + k;
        float ddz = dz - static_cast<float>(k);
        float n00 = grad3(hash3(x0, y0, z0, seed), dx, dy, ddz);
        float n10 = grad3(hash3(x1, y0, z0, seed), dx - 1.0f, dy, ddz);
        float n01 = grad3(hash3(x0, y1, z0, seed), dx, dy - 1.0f, ddz);
        float n11 = grad3(hash3(x1, y1, z0, seed), dx - 1.0f, dy - 1.0f, ddz);
        n[k] = lerp(lerp(n00, n10, tx), lerp(n01, n11, tx), ty);
    }
    return lerp(n[0], n[1], tz);
}

namespace {

// Octaves of one noise at doubling frequencies and periods, each octave with
// its own seed, weighted by gain and normalised by the total weight.
template <class Noise>
float octaveSum(int octaves, uint32_t seed, int period, float gain, Noise noise)
{
    float sum = 0.0f, amplitude = 1.0f, norm = 0.0f, frequency = 1.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * noise(frequency, seed + static_cast<uint32_t>(i) * 101U, period > 0 ? period << i : 0);
        norm += amplitude;
        amplitude *= gain;
        frequency *= 2.0f;
    }
    return sum / norm;
}

} // namespace

float fbm(float x, float y, uint32_t seed, int octaves, int period, float gain)
{
    return octaveSum(octaves, seed, period, gain, [&](float f, uint32_t s, int p) {
        return gradientNoise(x * f, y * f, s, p);
    });
}

float fbm3(float x, float y, float z, uint32_t seed, int octaves, int period, float gain)
{
    return octaveSum(octaves, seed, period, gain, [&](float f, uint32_t s, int p) {
        return gradientNoise3(x * f, y * f, z * f, s, p);
    });
}

float valueFbm(float x, float y, uint32_t seed, int octaves, int period, float gain)
{
    return octaveSum(octaves, seed, period, gain, [&](float f, uint32_t s, int p) {
        return valueNoise(x * f, y * f, s, p);
    });
}

float turbulence(float x, float y, uint32_t seed, int octaves, int period, float gain)
{
    float sum = 0.0f, amplitude = 1.0f, norm = 0.0f, frequency = 1.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * std::fabs(gradientNoise(x * frequency, y * frequency,
                                                   seed + static_cast<uint32_t>(i) * 101U,
                                                   period > 0 ? period << i : 0));
        norm += amplitude;
        amplitude *= gain;
        frequency *= 2.0f;
    }
    return std::fmin(1.0f, sum / norm * 1.6f);
}

Cell cellular(float x, float y, uint32_t seed, int period)
{
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    Cell cell;
    float d1 = 1e9f, d2 = 1e9f;
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            int cx = ix + i, cy = iy + j;
            uint32_t h = hash2(wrap(cx, period), wrap(cy, period), seed);
            float px = static_cast<float>(cx) + hashUnit(h);
            float py = static_cast<float>(cy) + hashUnit(mix(h ^ 0x9e3779b9U));
            float dx = px - x, dy = py - y;
            float d = dx * dx + dy * dy;
            if (d < d1) {
                d2 = d1;
                d1 = d;
                cell.id = h;
            } else if (d < d2) {
                d2 = d;
            }
        }
    }
    cell.f1 = std::sqrt(d1);
    cell.f2 = std::sqrt(d2);
    return cell;
}

} // namespace pictures
