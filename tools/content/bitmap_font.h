#pragma once
// A bitmap font: every character drawn into one picture, and the list of
// where each one lies.
#include "tools/pictures/canvas.h"
#include "tools/pictures/text.h"

#include <string>
#include <vector>

namespace content {

struct FontCell {
    unsigned char code = 0; // Latin-1 character code
    int x = 0, y = 0, w = 0, h = 0; // rectangle in the picture, from its top left
};

struct FontAtlas {
    pictures::Canvas picture;
    std::vector<FontCell> cells;
};

// Every printable ASCII character and every printable Latin-1 character the
// face has, at `pixelSize`, white with a dark rim, in cells of one common
// height (a whole line: the baseline lies at the same row in every cell) and
// the character's advance width, packed in rows into a power-of-two picture.
FontAtlas buildFontAtlas(pictures::FontFace& face, int pixelSize);

// The font description: root "alphabet" with attribute "bitmap", one child
// per cell with "letter" (the character as one Latin-1 byte) and "bounds"
// ("x;y;w;h"). The file is declared as ISO-8859-1, so characters above 127
// are single bytes.
std::string fontDescription(const std::vector<FontCell>& cells, const std::string& bitmapName);

} // namespace content
