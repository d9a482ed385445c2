#pragma once
// The contact sheet: one thumbnail per main-camera shot (its middle) and per
// timeline mark, each labelled with its time and shot number, in a grid.
#include "tools/capture/frame_clock.h"
#include "tools/pictures/canvas.h"
#include "tools/pictures/text.h"

#include <cstdint>
#include <string>
#include <vector>

namespace capture {

// Moments of the timeline that every sheet shows: the dream, the flicker,
// the black, the fade back, the fan stopping and the end picture.
inline constexpr double kTimelineMarks[] = {108.5, 125.0, 132.0, 135.0, 150.0, 257.5};

// The main camera shown at loop time t, by the cut rule: the first camera
// whose end time is not before t; the last one after every end. -1 without
// cameras.
int shotAt(const std::vector<float>& endTimes, double t);

struct SheetEntry {
    std::int64_t frame = 0;
    int shot = -1;      // camera index (0-based); -1 without cameras
    bool mark = false;  // a timeline mark rather than a shot's middle
};

// The frames of the sheet in frame order: the middle of every shot that is
// ever on screen (a camera that ends no later than an earlier one is cut past
// at once and has no middle), and the timeline marks.
std::vector<SheetEntry> planSheet(const std::vector<float>& endTimes, const FrameClock& clock);

// "132.000 s · shot 27" (shots counted from 1).
std::string sheetLabel(const SheetEntry& entry, const FrameClock& clock);

struct SheetLayout {
    int columns = 0, rows = 0;
    int thumbWidth = 0, thumbHeight = 0;
    int cellWidth = 0; // the thumbnail's width, or wider to fit its label
    int labelHeight = 0;
    int margin = 0, gap = 0;
    int width = 0, height = 0;
    // Top-left corner of cell i, and of its thumbnail (centred in the cell).
    int cellX(int i) const { return margin + (i % columns) * (cellWidth + gap); }
    int cellY(int i) const { return margin + (i / columns) * (thumbHeight + labelHeight + gap); }
    int thumbX(int i) const { return cellX(i) + (cellWidth - thumbWidth) / 2; }
};

// Thumbnails at most 320 pixels wide (never larger than the frame), keeping
// the frame's aspect, at most six to a row; cells are at least wide enough
// for a label.
SheetLayout layoutSheet(int count, int frameWidth, int frameHeight);

class ContactSheet {
public:
    ContactSheet(const SheetLayout& layout, pictures::FontFace& font);
    // Shrinks the frame (top-down RGB) into cell i and writes the label
    // under it (in amber for a timeline mark).
    void place(int i, const pictures::Image& frame, const std::string& label, bool mark);
    // The finished sheet, 8-bit RGB.
    pictures::Image image() const;
    const pictures::Canvas& canvas() const { return canvas_; }

private:
    SheetLayout layout_;
    pictures::FontFace& font_;
    pictures::Canvas canvas_;
};

// Whether a file name asks for JPEG (.jpg, .jpeg) rather than PNG.
bool isJpegName(const std::string& path);

// Shrinks a top-down RGB picture to width x height by averaging the source
// pixels that fall in each target pixel.
pictures::Image shrink(const pictures::Image& frame, int width, int height);

} // namespace capture
