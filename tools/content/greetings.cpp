#include "tools/content/assets.h"

#include "tools/content/lettering.h"

#include <string>
#include <utility>

namespace content {

using namespace pictures;

namespace {

struct Greeting {
    const char* name;
    uint32_t top, bottom, outline;
};

// Twelve invented groups, each in its own colours.
const Greeting kGreetings[12] = {
    {"Pixel Prophets", 0xfff27a, 0xff8a1f, 0x3a1400}, {"Vector Vandals", 0x9ef0ff, 0x2f7bff, 0x06183d},
    {"Null Pointers", 0xd6ff8a, 0x2fb85a, 0x07280f},  {"Sine Syndicate", 0xffb3e6, 0xd6247f, 0x3a0422},
    {"Quasar Kids", 0xfff6c9, 0xffb300, 0x402400},    {"Raster Rebels", 0xff9e8a, 0xd42a1a, 0x3b0702},
    {"Cobalt Crew", 0xb9d4ff, 0x3d5cff, 0x0a0f3d},    {"Plasma Pilots", 0xe7b8ff, 0x8a2be2, 0x22073d},
    {"Bitrot Brigade", 0xc9ffe9, 0x19b39a, 0x032b25}, {"Lowpass Lads", 0xffe0b0, 0xe0702a, 0x3a1704},
    {"Tape Hiss", 0xf2f2f2, 0x9aa4b5, 0x1c2029},      {"Sprite Society", 0xfffa9e, 0x7ad13b, 0x173305},
};

constexpr int kWidth = 1024;
constexpr int kHeight = 256;

void turnHalfRound(Image& image)
{
    const std::size_t n = static_cast<std::size_t>(image.width) * image.height, c = static_cast<std::size_t>(image.channels);
    for (std::size_t i = 0, j = n - 1; i < j; ++i, --j)
        for (std::size_t k = 0; k < c; ++k) std::swap(image.pixels[i * c + k], image.pixels[j * c + k]);
}

} // namespace

void writeGreetings(Staging& staging, Fonts& fonts)
{
    for (int i = 0; i < 12; ++i) {
        const Greeting& g = kGreetings[i];
        // The transparent background carries the rim's colour, so filtering
        // at the letters' edges never brings in a foreign fringe.
        Color rim = hex(g.outline);
        Canvas card(kWidth, kHeight, Color{rim.r, rim.g, rim.b, 0.0f});
        LetteringStyle style;
        style.top = hex(g.top);
        style.bottom = hex(g.bottom);
        style.outline = rim;
        style.outlineWidth = 7.0f;
        style.shadow = Color{0, 0, 0, 0.45f};
        style.shadowBlur = 5;
        style.shadowDx = 6;
        style.shadowDy = 8;
        style.gloss = 0.35f;
        style.tracking = 2;
        fitPixelSize(fonts.title, g.name, 190, kWidth - 80, kHeight - 70, style.tracking);
        drawLettering(card, fonts.title, g.name, kWidth * 0.5f - 3.0f, kHeight * 0.5f - 4.0f, style);
        Image picture = toImage(card, 4);
        // The show hangs greetings 1, 4, 7 and 10 in a frame turned half
        // round (their side vector is negated, so their up points down);
        // those are stored turned half round, so that they read upright.
        if (i % 3 == 1) turnHalfRound(picture);
        staging.writePng("textures/greetz/greetz" + std::to_string(i) + ".png", picture);
    }
}

} // namespace content
