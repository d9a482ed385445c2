#include "tools/content/assets.h"

#include "tools/content/backdrop.h"
#include "tools/content/lettering.h"
#include "tools/pictures/image_writers.h"

#include <algorithm>
#include <cmath>

namespace content {

using namespace pictures;

namespace {

const BackdropColors kFactoryDusk{hex(0x16212c), hex(0x05070a), hex(0x2d4452), hex(0xffd9a0)};

LetteringStyle titleStyle(float scale)
{
    LetteringStyle style;
    style.top = hex(0xffe27a);
    style.bottom = hex(0xff7a1a);
    style.outline = hex(0x1a0d05);
    style.outlineWidth = 6.0f * scale;
    style.shadow = Color{0, 0, 0, 0.6f};
    style.shadowBlur = static_cast<int>(std::lround(6.0f * scale));
    style.shadowDx = static_cast<int>(std::lround(5.0f * scale));
    style.shadowDy = static_cast<int>(std::lround(7.0f * scale));
    style.gloss = 0.3f;
    style.tracking = static_cast<int>(std::lround(4.0f * scale));
    return style;
}

LetteringStyle smallPrint(Color color)
{
    LetteringStyle style;
    style.top = color;
    style.bottom = color;
    style.shadow = Color{0, 0, 0, 0.7f};
    style.shadowBlur = 2;
    style.shadowDx = 1;
    style.shadowDy = 2;
    style.tracking = 2;
    return style;
}

// A soft warm glow behind the title.
void glowBehind(Canvas& canvas, float cx, float cy, float rx, float ry, Color color)
{
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            float dx = (static_cast<float>(x) - cx) / rx, dy = (static_cast<float>(y) - cy) / ry;
            float g = std::exp(-(dx * dx + dy * dy) * 2.0f);
            canvas.at(x, y) = screen(canvas.at(x, y), scale(color, g));
        }
}

// The title card and the setup picture share one composition, scaled to the
// picture's height and laid out over the part of it that is seen
// (`visibleWidth` pixels from the left).
Canvas titleCard(Fonts& fonts, int width, int height, int visibleWidth, bool withLoading)
{
    float k = static_cast<float>(height) / 720.0f;
    float vw = static_cast<float>(visibleWidth);
    Canvas canvas(width, height);
    paintBackdrop(canvas, kFactoryDusk, 4242, 420.0f * k);
    // The wall fan, large and dim, at the right edge.
    int fanSize = static_cast<int>(620.0f * k);
    int fanX = static_cast<int>(vw - fanSize * 0.62f);
    Mask fan = fanMask(fanSize, 5, 0.35f);
    paintMask(canvas, blur(fan, std::max(1, static_cast<int>(10.0f * k))), fanX + static_cast<int>(20.0f * k),
              static_cast<int>(height * 0.5f - fanSize * 0.48f), Color{0.0f, 0.0f, 0.0f, 0.5f});
    paintMask(canvas, fan, fanX, static_cast<int>(height * 0.5f - fanSize * 0.52f), Color{0.32f, 0.42f, 0.48f, 0.55f});
    float titleX = vw * 0.38f;
    glowBehind(canvas, titleX, height * 0.45f, vw * 0.4f, height * 0.28f, hex(0x5a3212));
    vignette(canvas, 0.65f);

    LetteringStyle title = titleStyle(k);
    fitPixelSize(fonts.title, "MURMUR", static_cast<int>(260.0f * k), static_cast<int>(vw * 0.62f),
                 static_cast<int>(height * 0.4f), title.tracking);
    drawLettering(canvas, fonts.title, "MURMUR", titleX, height * 0.43f, title);

    LetteringStyle tagline = smallPrint(hex(0xd8e2e8));
    tagline.tracking = height < 300 ? 1 : 2;
    fonts.text.setPixelSize(std::max(11, static_cast<int>(std::lround(26.0f * k))));
    const char* taglineText = "a quiet afternoon on the factory floor";
    float taglineHalf = 0.5f * static_cast<float>(fonts.text.measure(pictures::fromUtf8(taglineText), tagline.tracking));
    drawLettering(canvas, fonts.text, taglineText, std::max(titleX, taglineHalf + 8.0f), height * 0.64f, tagline);
    if (withLoading) {
        fonts.text.setPixelSize(std::max(9, static_cast<int>(std::lround(20.0f * k))));
        drawLettering(canvas, fonts.text, "loading ...", vw * 0.88f, height * 0.92f, smallPrint(hex(0x9fb3bf)));
    }
    return canvas;
}

// The end picture's night-blue backdrop (its grain `scale` pixels across),
// warmed by a glow of radii (rx, ry) behind the title at (cx, cy).
void paintEndBackdrop(Canvas& canvas, float scale, float cx, float cy, float rx, float ry, float vignetting)
{
    paintBackdrop(canvas, BackdropColors{hex(0x0c1220), hex(0x020306), hex(0x1d2c44), hex(0xbfd4ff)}, 5151, scale);
    glowBehind(canvas, cx, cy, rx, ry, hex(0x3a2a10));
    vignette(canvas, vignetting);
}

// The end picture's title lettering, as large as fits maxWidth x maxHeight.
void drawEndTitle(Canvas& canvas, Fonts& fonts, const std::string& text, int maxSize, int maxWidth, int maxHeight,
                  float cx, float cy)
{
    LetteringStyle title = titleStyle(0.8f);
    fitPixelSize(fonts.title, text, maxSize, maxWidth, maxHeight, title.tracking);
    drawLettering(canvas, fonts.title, text, cx, cy, title);
}

} // namespace

void writeLoaderPicture(Staging& staging, Fonts& fonts)
{
    staging.writeJpeg("loader.jpg", toImage(titleCard(fonts, 1280, 720, 1280, true), 3), 92);
}

void writeSetupPicture(Staging& staging, Fonts& fonts, const std::filesystem::path& file)
{
    // The dialog copies a 400 x 155 area of it; the dialog itself is 344
    // pixels wide, and a black band covers the picture from row 150 down.
    Image image = toImage(titleCard(fonts, 400, 155, 344, false), 3);
    // The dialog shows the first row of the file at the bottom.
    flipRows(image);
    std::string error;
    if (!writeJpeg(file.string(), image, 92, error)) staging.fail(error);
}

void writeIcon(Staging& staging, Fonts& fonts, const std::filesystem::path& file)
{
    const int side = 256;
    Canvas canvas(side, side);
    paintEndBackdrop(canvas, 90.0f, side * 0.5f, side * 0.5f, side * 0.42f, side * 0.42f, 0.6f);
    drawEndTitle(canvas, fonts, "M", 300, 190, 190, side * 0.5f, side * 0.5f);
    std::string error;
    if (!writePng(file.string(), toImage(canvas, 3), error)) staging.fail(error);
}

void writeEndPicture(Staging& staging, Fonts& fonts)
{
    const int width = 1280, height = 720;
    Canvas canvas(width, height);
    paintEndBackdrop(canvas, 380.0f, width * 0.5f, height * 0.3f, width * 0.45f, height * 0.22f, 0.7f);
    drawEndTitle(canvas, fonts, "MURMUR", 200, 760, 200, width * 0.5f, height * 0.27f);

    fonts.text.setPixelSize(26);
    drawLettering(canvas, fonts.text, "thank you for watching", width * 0.5f, height * 0.44f,
                  smallPrint(hex(0xe8eef2)));

    // The group, then the parts of the show it made.
    LetteringStyle role = smallPrint(hex(0x8fa6ba));
    fonts.text.setPixelSize(20);
    drawLettering(canvas, fonts.text, "a demo by", width * 0.5f, height * 0.57f, role);
    LetteringStyle group = titleStyle(0.45f);
    group.top = hex(0xf4f8ff);
    group.bottom = hex(0xb8cce0);
    group.outline = hex(0x0a0f18);
    fonts.title.setPixelSize(76);
    drawLettering(canvas, fonts.title, "Quellon", width * 0.5f, height * 0.65f, group);
    LetteringStyle name = titleStyle(0.25f);
    name.top = hex(0xf4f8ff);
    name.bottom = hex(0xb8cce0);
    name.outline = hex(0x0a0f18);
    const char* parts[] = {"code", "models", "music"};
    for (int i = 0; i < 3; ++i) {
        float x = width * (0.3f + 0.2f * static_cast<float>(i));
        fonts.text.setPixelSize(18);
        drawLettering(canvas, fonts.text, parts[i], x, height * 0.79f, role);
        fonts.title.setPixelSize(34);
        drawLettering(canvas, fonts.title, "Quellon", x, height * 0.79f + 34.0f, name);
    }
    staging.writeJpeg("textures/end.jpg", toImage(canvas, 3), 92);
}

} // namespace content
