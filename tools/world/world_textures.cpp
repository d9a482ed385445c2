#include "tools/world/world_textures.h"

#include "content/image.h"
#include "tools/content/assets.h"
#include "tools/content/lettering.h"
#include "tools/content/staging.h"
#include "tools/pictures/blend.h"
#include "tools/pictures/height_field.h"
#include "tools/pictures/noise.h"

#include <cmath>
#include <filesystem>
#include <string>

namespace world {

using namespace pictures;

namespace {

Canvas readCanvas(content::Staging& staging, const std::string& relative)
{
    ::Image image;
    std::error_code ec;
    std::filesystem::path path = staging.root() / relative;
    if (!std::filesystem::exists(path, ec) || !loadImage(path.string(), image) || image.channels < 3) {
        staging.fail(relative + ": missing, needed for the world's textures");
        return Canvas(4, 4, Color{0.5f, 0.5f, 0.5f, 1});
    }
    Canvas c(static_cast<int>(image.width), static_cast<int>(image.height));
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            const std::uint8_t* p = image.pixels.data() + (static_cast<std::size_t>(y) * image.width + x) * image.channels;
            c.at(x, y) = Color{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, 1};
        }
    return c;
}

// Brick courses with mortar joints, chipped edges and soot.
void brickWall(content::Staging& staging)
{
    const int n = 512, rows = 8, bricksPerRow = 4;
    Canvas diffuse(n, n);
    HeightField height(n, n);
    const float rowH = static_cast<float>(n) / rows, brickW = static_cast<float>(n) / bricksPerRow;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float fy = static_cast<float>(y) + 0.5f, fx = static_cast<float>(x) + 0.5f;
            int row = static_cast<int>(fy / rowH);
            float off = (row % 2) * brickW * 0.5f;
            float bx = std::fmod(fx + off, static_cast<float>(n));
            int col = static_cast<int>(bx / brickW);
            float ly = fy - static_cast<float>(row) * rowH, lx = bx - static_cast<float>(col) * brickW;
            float edge = std::fmin(std::fmin(ly, rowH - ly), std::fmin(lx, brickW - lx));
            float u = fx / n, v = fy / n;
            float chip = 2.5f * fbm(u * 24, v * 24, 901, 3, 24);
            float mortar = 1.0f - smoothstep(3.0f, 5.5f, edge + chip);
            std::uint32_t id = hash2(col + row * 31, row, 902);
            float tone = hashUnit(id);
            float grain = fbm(u * 40, v * 40, 903, 3, 40);
            float soot = smoothstep(0.2f, 0.8f, 0.5f + 0.5f * fbm(u * 3, v * 3, 904, 4, 3));
            Color brick = mix(hex(0x8a3b24), hex(0xa8553a), tone);
            if (hashUnit(id * 3u + 7u) > 0.85f) brick = mix(brick, hex(0x5a2a1e), 0.6f);
            brick = scale(brick, 0.9f + 0.2f * grain);
            Color c = mix(brick, hex(0x8c8478), mortar);
            c = mix(c, hex(0x2a2420), 0.35f * soot);
            diffuse.at(x, y) = c;
            height.at(x, y) = (1.0f - mortar) * (0.8f + 0.15f * grain) - 0.2f * mortar;
        }
    staging.writeJpeg("textures/brick_wall_diffuse.jpg", toImage(diffuse, 3), 90);
    staging.writePng("textures/brick_wall_normal.png", heightToNormalMap(height, 5.0f));
}

// The painted metal in another colour: the paint's hue turned, chips kept.
void repaint(content::Staging& staging, const Canvas& source, const std::string& name, Color paint)
{
    Canvas c = source;
    Color green{0.22f, 0.5f, 0.4f, 1};
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            Color p = c.at(x, y);
            float luma = 0.3f * p.r + 0.59f * p.g + 0.11f * p.b;
            // How much of the pixel is paint (saturated towards the green).
            float sat = std::fmax(p.g - p.r, 0.0f) + std::fmax(p.g - p.b, 0.0f) * 0.5f;
            float paintShare = smoothstep(0.02f, 0.12f, sat);
            float greenLuma = 0.3f * green.r + 0.59f * green.g + 0.11f * green.b;
            Color repainted = scale(paint, luma / greenLuma * 0.85f);
            c.at(x, y) = mix(p, repainted, paintShare);
        }
    staging.writeJpeg("textures/" + name + "_diffuse.jpg", toImage(c, 3), 90);
}

// Worn grey upholstery: a fine weave, pilled and shiny where it is sat on.
void fabric(content::Staging& staging)
{
    const int n = 256;
    Canvas diffuse(n, n);
    HeightField height(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float u = static_cast<float>(x) / n, v = static_cast<float>(y) / n;
            // Threads over and under: 32 each way across the tile.
            float wu = std::sin(u * 64.0f * 3.14159265f), wv = std::sin(v * 64.0f * 3.14159265f);
            bool over = ((x / 4) + (y / 4)) % 2 == 0;
            float thread = 0.5f + 0.5f * (over ? wu : wv);
            float mottle = fbm(u * 6, v * 6, 951, 4, 6);
            float wear = smoothstep(0.3f, 0.8f, 0.5f + 0.5f * fbm(u * 3, v * 3, 952, 4, 3));
            Color c = mix(hex(0x5a6068), hex(0x737a82), thread);
            c = scale(c, 0.9f + 0.15f * mottle);
            c = mix(c, hex(0x8a8d90), 0.35f * wear);
            diffuse.at(x, y) = c;
            height.at(x, y) = 0.6f * thread + 0.2f * mottle;
        }
    staging.writeJpeg("textures/fabric_diffuse.jpg", toImage(diffuse, 3), 90);
    staging.writePng("textures/fabric_normal.png", heightToNormalMap(height, 2.0f));
}

void laneAndHazard(content::Staging& staging, const Canvas& concrete)
{
    const int n = 512;
    Canvas lane(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float u = static_cast<float>(x) / n, v = static_cast<float>(y) / n;
            Color base = concrete.wrapped(x * concrete.width() / n, y * concrete.height() / n);
            float wear = smoothstep(0.15f, 0.55f, 0.5f + 0.5f * fbm(u * 8, v * 8, 911, 5, 8));
            float scuff = smoothstep(0.55f, 0.75f, 0.5f + 0.5f * fbm(u * 40, v * 10, 912, 3, 40));
            Color paint = scale(hex(0xe0b020), 0.85f + 0.3f * (base.r - 0.5f));
            lane.at(x, y) = mix(paint, base, 0.75f * wear * 0.6f + 0.5f * scuff);
        }
    staging.writeJpeg("textures/floor_lane_diffuse.jpg", toImage(lane, 3), 90);
    const int m = 256;
    Canvas hazard(m, m);
    for (int y = 0; y < m; ++y)
        for (int x = 0; x < m; ++x) {
            float u = static_cast<float>(x) / m, v = static_cast<float>(y) / m;
            // Two black and two yellow bands across the tile, at 45 degrees.
            float d = std::fmod(u + v, 0.5f) / 0.5f;
            float band = smoothstep(0.47f, 0.5f, d) - smoothstep(0.97f, 1.0f, d);
            float wear = smoothstep(0.6f, 0.85f, 0.5f + 0.5f * fbm(u * 12, v * 12, 913, 4, 12));
            Color c = mix(hex(0xf0c020), hex(0x181818), band);
            c = mix(c, hex(0x8a8a86), 0.7f * wear);
            hazard.at(x, y) = scale(c, 0.92f + 0.1f * fbm(u * 30, v * 30, 914, 2, 30));
        }
    staging.writeJpeg("textures/hazard_stripes_diffuse.jpg", toImage(hazard, 3), 90);
}

content::LetteringStyle posterStyle(Color fill, Color outline, float outlineWidth)
{
    content::LetteringStyle s;
    s.top = fill;
    s.bottom = scale(fill, 0.85f);
    s.outline = outline;
    s.outlineWidth = outlineWidth;
    s.shadow = Color{0, 0, 0, 0.35f};
    s.shadowBlur = 3;
    s.shadowDx = 2;
    s.shadowDy = 3;
    s.tracking = 2;
    return s;
}

// Paper: a little yellowed, dirtier towards the edges.
void agePaper(Canvas& c, std::uint32_t seed)
{
    const int n = c.width();
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float u = static_cast<float>(x) / n, v = static_cast<float>(y) / n;
            float edge = std::fmin(std::fmin(u, 1 - u), std::fmin(v, 1 - v));
            float grime = smoothstep(0.12f, 0.0f, edge) * 0.35f + 0.1f * (0.5f + 0.5f * fbm(u * 6, v * 6, seed, 4));
            c.at(x, y) = mix(c.at(x, y), hex(0x6b5a3a), grime);
        }
}

void posters(content::Staging& staging, content::Fonts& fonts)
{
    const int n = 512;
    // 1: safety first.
    {
        Canvas c(n, n, hex(0xf2ead8));
        for (int y = 60; y < 330; ++y)
            for (int x = 0; x < n; ++x) {
                float dx = std::fabs(static_cast<float>(x) - 256.0f), top = 70.0f, h = 250.0f;
                float t = (static_cast<float>(y) - top) / h;
                if (t < 0 || t > 1) continue;
                float half = t * 150.0f;
                if (dx <= half) c.at(x, y) = dx > half - 18.0f || t > 0.93f ? hex(0x1a1a1a) : hex(0xf0c020);
            }
        for (int y = 140; y < 300; ++y)
            for (int x = 240; x < 272; ++x)
                if (y < 250 || (y > 268 && y < 296)) c.at(x, y) = hex(0x1a1a1a);
        content::fitPixelSize(fonts.title, "SAFETY", 110, 440, 100);
        content::drawLettering(c, fonts.title, "SAFETY", 256, 385, posterStyle(hex(0xc0201a), hex(0x1a1a1a), 3));
        content::fitPixelSize(fonts.title, "FIRST!", 90, 400, 90);
        content::drawLettering(c, fonts.title, "FIRST!", 256, 460, posterStyle(hex(0x1a1a1a), hex(0xf2ead8), 0));
        agePaper(c, 921);
        staging.writeJpeg("textures/poster_safety.jpg", toImage(c, 3), 90);
    }
    // 2: the works' sunrise.
    {
        Canvas c(n, n);
        fillLinear(c, Gradient{{0, hex(0x1d3557)}, {0.55f, hex(0xe76f51)}, {1, hex(0xf4a261)}}, 0, 0, 0, n);
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                float dx = static_cast<float>(x) - 256.0f, dy = static_cast<float>(y) - 330.0f;
                float r = std::sqrt(dx * dx + dy * dy);
                if (r < 110.0f && y < 330) c.at(x, y) = hex(0xffd166);
                float a = std::atan2(dy, dx);
                if (r > 125 && r < 240 && y < 330 && std::fmod(a + 10.0f, 0.35f) < 0.12f)
                    c.at(x, y) = mix(c.at(x, y), hex(0xffd166), 0.45f);
                if (y >= 330) c.at(x, y) = hex(0x264653);
                // Factory roofs and chimneys against the sun.
                int saw = (x / 64) % 2;
                float roof = 330.0f - 40.0f - static_cast<float>((x % 64)) * 0.6f - 10.0f * saw;
                if (y > roof && y < 330) c.at(x, y) = hex(0x14213d);
                if ((x > 90 && x < 112 && y > 170) || (x > 380 && x < 398 && y > 200)) {
                    if (y < 330) c.at(x, y) = hex(0x14213d);
                }
            }
        content::fitPixelSize(fonts.title, "QUELLON WORKS", 80, 460, 70);
        content::drawLettering(c, fonts.title, "QUELLON WORKS", 256, 410, posterStyle(hex(0xf4f1de), hex(0x14213d), 3));
        fonts.text.setPixelSize(24);
        content::drawLettering(c, fonts.text, "we build tomorrow", 256, 470, posterStyle(hex(0xe9c46a), hex(0x14213d), 0));
        agePaper(c, 922);
        staging.writeJpeg("textures/poster_works.jpg", toImage(c, 3), 90);
    }
    // 3: output chart.
    {
        Canvas c(n, n, hex(0xe8e4d8));
        for (int y = 120; y < 440; ++y)
            for (int x = 60; x < 470; ++x)
                if ((y - 120) % 40 == 0) c.at(x, y) = hex(0xb8b4a8);
        const float bars[] = {0.3f, 0.42f, 0.38f, 0.55f, 0.61f, 0.74f, 0.9f};
        for (int b = 0; b < 7; ++b)
            for (int y = static_cast<int>(440 - 300 * bars[b]); y < 440; ++y)
                for (int x = 80 + b * 55; x < 80 + b * 55 + 36; ++x) c.at(x, y) = b == 6 ? hex(0xc0392b) : hex(0x2c6e8f);
        for (int x = 60; x < 470; ++x)
            for (int y = 440; y < 444; ++y) c.at(x, y) = hex(0x222222);
        content::fitPixelSize(fonts.title, "OUTPUT", 90, 420, 80);
        content::drawLettering(c, fonts.title, "OUTPUT", 256, 70, posterStyle(hex(0x2c3e50), hex(0xe8e4d8), 0));
        fonts.text.setPixelSize(22);
        content::drawLettering(c, fonts.text, "this week: a new record", 256, 480, posterStyle(hex(0x2c3e50), hex(0xe8e4d8), 0));
        agePaper(c, 923);
        staging.writeJpeg("textures/poster_output.jpg", toImage(c, 3), 90);
    }
    // 4: the robot of the month.
    {
        Canvas c(n, n, hex(0x2a9d8f));
        auto rect = [&](int x0, int y0, int x1, int y1, Color col) {
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) c.at(x, y) = col;
        };
        rect(196, 110, 316, 200, hex(0xf4a261));  // head
        rect(210, 135, 302, 165, hex(0x264653));  // visor
        for (int e = 0; e < 2; ++e)
            for (int y = 140; y < 160; ++y)
                for (int x = 0; x < 20; ++x) {
                    int cx = (e == 0 ? 232 : 270) + x;
                    float dx = static_cast<float>(x) - 9.5f, dy = static_cast<float>(y) - 149.5f;
                    if (dx * dx + dy * dy < 90) c.at(cx, y) = hex(0x8ff7ff);
                }
        rect(240, 200, 272, 215, hex(0x555555));
        rect(176, 215, 336, 330, hex(0xf4a261));  // torso
        rect(150, 220, 176, 320, hex(0xe76f51));
        rect(336, 220, 362, 320, hex(0xe76f51));
        rect(226, 250, 286, 290, hex(0x264653));
        content::fitPixelSize(fonts.title, "WORKER OF", 70, 420, 60);
        content::drawLettering(c, fonts.title, "WORKER OF", 256, 50, posterStyle(hex(0xf1faee), hex(0x1d3557), 3));
        content::fitPixelSize(fonts.title, "THE MONTH", 70, 420, 60);
        content::drawLettering(c, fonts.title, "THE MONTH", 256, 390, posterStyle(hex(0xf1faee), hex(0x1d3557), 3));
        fonts.text.setPixelSize(22);
        content::drawLettering(c, fonts.text, "unit 858, floor 1", 256, 455, posterStyle(hex(0xffd166), hex(0x1d3557), 0));
        agePaper(c, 924);
        staging.writeJpeg("textures/poster_worker.jpg", toImage(c, 3), 90);
    }
}

void screensAndViews(content::Staging& staging)
{
    {
        const int n = 256;
        Canvas c(n, n, hex(0x04140f));
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                if (x % 32 == 0 || y % 32 == 0) c.at(x, y) = hex(0x0c3326);
                float fx = static_cast<float>(x) / n;
                float wave = 0.5f + 0.28f * std::sin(fx * 18.0f) * std::cos(fx * 5.0f);
                float d = std::fabs(static_cast<float>(y) / n - wave);
                c.at(x, y) = mix(c.at(x, y), hex(0x7dffc8), 1.0f - smoothstep(0.006f, 0.02f, d));
                if (y > 200 && y < 230 && x > 20 && x < 20 + 150) c.at(x, y) = hex(0x3ad29f);
                // Scan lines.
                if (y % 3 == 0) c.at(x, y) = scale(c.at(x, y), 0.8f);
            }
        staging.writeJpeg("textures/screen_monitor.jpg", toImage(c, 3), 90);
    }
    {
        // Out of the doors: a sunny yard, a fence, the next hall.
        const int n = 512;
        Canvas c(n, n);
        fillLinear(c, Gradient{{0, hex(0x7fb2e5)}, {0.5f, hex(0xd8e8f0)}, {0.62f, hex(0xf3e6cc)}}, 0, 0, 0, n * 0.62f);
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                float u = static_cast<float>(x) / n, v = static_cast<float>(y) / n;
                if (v > 0.62f) {
                    float g = 0.5f + 0.5f * fbm(u * 16, v * 16, 931, 3, 16);
                    c.at(x, y) = mix(hex(0xcfc2a4), hex(0xb8aa8a), g);
                } else if (v > 0.3f && u > 0.15f && u < 0.8f) {
                    c.at(x, y) = mix(hex(0xd9a77a), hex(0xc48a5c), std::fmod(u * 20.0f, 1.0f) < 0.1f ? 1.0f : 0.0f);
                    if (v > 0.45f && v < 0.52f && std::fmod(u * 10.0f, 1.0f) < 0.6f) c.at(x, y) = hex(0x6d8aa8);
                } else if (v < 0.3f) {
                    float cloud = smoothstep(0.1f, 0.6f, 0.5f + 0.5f * fbm(u * 4, v * 8, 932, 5));
                    c.at(x, y) = mix(c.at(x, y), hex(0xffffff), 0.6f * cloud);
                }
                if (v > 0.56f && v < 0.62f && std::fmod(u * 40.0f, 1.0f) < 0.15f) c.at(x, y) = hex(0x5a5e60);
            }
        staging.writeJpeg("textures/view_yard.jpg", toImage(c, 3), 90);
    }
    {
        const int n = 256;
        Canvas c(n, n);
        fillLinear(c, Gradient{{0, hex(0x8fb8e0)}, {0.7f, hex(0xf6d7a7)}, {1, hex(0xffc27a)}}, 0, 0, 0, n);
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                float u = static_cast<float>(x) / n, v = static_cast<float>(y) / n;
                float cloud = smoothstep(0.2f, 0.7f, 0.5f + 0.5f * fbm(u * 3, v * 6, 941, 5, 3));
                c.at(x, y) = mix(c.at(x, y), hex(0xfff4e0), 0.5f * cloud * (1.0f - v));
            }
        staging.writeJpeg("textures/view_sky.jpg", toImage(c, 3), 90);
    }
}

} // namespace

void writeWorldTextures(content::Staging& staging, content::Fonts& fonts)
{
    brickWall(staging);
    Canvas painted = readCanvas(staging, "textures/painted_metal_diffuse.jpg");
    Canvas concrete = readCanvas(staging, "textures/concrete_floor_diffuse.jpg");
    repaint(staging, painted, "paint_orange", hex(0xe8731e));
    repaint(staging, painted, "paint_yellow", hex(0xe8b41e));
    repaint(staging, painted, "paint_blue", hex(0x2e5f8a));
    repaint(staging, painted, "paint_red", hex(0xa8281e));
    repaint(staging, painted, "paint_graphite", hex(0x4a4e55));
    fabric(staging);
    laneAndHazard(staging, concrete);
    posters(staging, fonts);
    screensAndViews(staging);
}

} // namespace world
