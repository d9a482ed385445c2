#pragma once
// A bitmap font: every character drawn into one picture, and the list of
// where each one lies.
#include "content/bitmap_font.h"
#include "tools/pictures/canvas.h"
#include "tools/pictures/text.h"

#include <string>
#include <vector>

namespace content {

struct FontAtlas {
    pictures::Canvas picture;
    // One per character: its Latin-1 code and rectangle in the picture (from the top left).
    std::vector<FontEntry> entries;
};

// Every printable ASCII character and every printable Latin-1 character the
// face has, at `pixelSize`, white with a dark rim, in cells of one common
// height (a whole line: the baseline lies at the same row in every cell) and
// the character's advance width, packed in rows into a power-of-two picture.
FontAtlas buildFontAtlas(pictures::FontFace& face, int pixelSize);

} // namespace content
