#pragma once
// Display lettering shared by the title pictures and the greeting cards: a
// filled, outlined line of text with a soft shadow.
#include "tools/pictures/blend.h"
#include "tools/pictures/canvas.h"
#include "tools/pictures/text.h"

#include <string>

namespace content {

struct LetteringStyle {
    pictures::Color top;     // fill at the top of the letters
    pictures::Color bottom;  // fill at the bottom
    pictures::Color outline; // rim around the letters
    float outlineWidth = 0.0f;
    pictures::Color shadow{0, 0, 0, 0.5f};
    int shadowBlur = 0;
    int shadowDx = 0, shadowDy = 0;
    float gloss = 0.0f; // strength of the light band over the upper half
    int tracking = 0;
};

// The rendered line as a mask with its inked bounds (pixels, within the mask).
struct InkedLine {
    pictures::Mask mask;
    int left = 0, top = 0, right = 0, bottom = 0; // right and bottom exclusive
};
InkedLine renderInked(pictures::FontFace& face, const std::string& text, int border, int tracking = 0);

// Draws `text` so that its inked bounds are centred on (cx, cy).
void drawLettering(pictures::Canvas& canvas, pictures::FontFace& face, const std::string& text, float cx, float cy,
                   const LetteringStyle& style);

// The largest pixel size, at most `maxSize`, at which the text's ink fits in
// maxWidth x maxHeight; sets the face to it.
int fitPixelSize(pictures::FontFace& face, const std::string& text, int maxSize, int maxWidth, int maxHeight,
                 int tracking = 0);

} // namespace content
