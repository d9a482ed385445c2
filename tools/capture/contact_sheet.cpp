#include "tools/capture/contact_sheet.h"

#include "tools/capture/decimal_text.h"
#include "tools/pictures/mask.h"

#include <algorithm>
#include <cctype>

namespace capture {

namespace {

constexpr int kMaxThumbWidth = 320;
constexpr int kMaxColumns = 6;
constexpr int kLabelPixels = 13;
// Room for the longest label, "12345.000 s · shot 99", at that size.
constexpr int kMinCellWidth = 170;
const pictures::Color kBackground = pictures::hex(0x1c1c1c);
const pictures::Color kLabelColor = pictures::hex(0xe8e8e8);
const pictures::Color kMarkColor = pictures::hex(0xffc850);

} // namespace

bool isJpegName(const std::string& path)
{
    auto dot = path.rfind('.');
    if (dot == std::string::npos) return false;
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == "jpg" || ext == "jpeg";
}

int shotAt(const std::vector<float>& endTimes, double t)
{
    if (endTimes.empty()) return -1;
    const int n = static_cast<int>(endTimes.size());
    int i = 0;
    while (i < n && t > static_cast<double>(endTimes[static_cast<std::size_t>(i)])) ++i;
    return std::min(i, n - 1);
}

std::vector<SheetEntry> planSheet(const std::vector<float>& endTimes, const FrameClock& clock)
{
    std::vector<SheetEntry> entries;
    double shown = 0.0; // every camera so far has ended by this time
    for (std::size_t k = 0; k < endTimes.size(); ++k) {
        const double end = endTimes[k];
        const bool onScreen = k == 0 ? end >= 0.0 : end > shown;
        if (onScreen) entries.push_back({clock.firstFrameAtOrAfter((shown + end) / 2.0), static_cast<int>(k), false});
        shown = std::max(shown, end);
    }
    for (double mark : kTimelineMarks) {
        const std::int64_t frame = clock.firstFrameAtOrAfter(mark);
        entries.push_back({frame, shotAt(endTimes, clock.seconds(frame)), true});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const SheetEntry& a, const SheetEntry& b) { return a.frame < b.frame; });
    return entries;
}

std::string sheetLabel(const SheetEntry& entry, const FrameClock& clock)
{
    const std::string time = decimalText(clock.seconds(entry.frame), 3) + " s \xC2\xB7 ";
    return entry.shot < 0 ? time + "no shot" : time + "shot " + std::to_string(entry.shot + 1);
}

SheetLayout layoutSheet(int count, int frameWidth, int frameHeight)
{
    SheetLayout l;
    count = std::max(count, 1);
    l.columns = std::min(count, kMaxColumns);
    l.rows = (count + l.columns - 1) / l.columns;
    l.thumbWidth = std::min(frameWidth, kMaxThumbWidth);
    l.thumbHeight = std::max(1, static_cast<int>((static_cast<long long>(l.thumbWidth) * frameHeight +
                                                  frameWidth / 2) / frameWidth));
    l.cellWidth = std::max(l.thumbWidth, kMinCellWidth);
    l.labelHeight = kLabelPixels + 9;
    l.margin = 12;
    l.gap = 8;
    l.width = 2 * l.margin + l.columns * l.cellWidth + (l.columns - 1) * l.gap;
    l.height = 2 * l.margin + l.rows * (l.thumbHeight + l.labelHeight) + (l.rows - 1) * l.gap;
    return l;
}

pictures::Image shrink(const pictures::Image& frame, int width, int height)
{
    pictures::Image out;
    out.width = width;
    out.height = height;
    out.channels = 3;
    out.pixels.resize(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const int y0 = static_cast<int>(static_cast<long long>(y) * frame.height / height);
        const int y1 = std::max(y0 + 1, static_cast<int>(static_cast<long long>(y + 1) * frame.height / height));
        for (int x = 0; x < width; ++x) {
            const int x0 = static_cast<int>(static_cast<long long>(x) * frame.width / width);
            const int x1 = std::max(x0 + 1, static_cast<int>(static_cast<long long>(x + 1) * frame.width / width));
            unsigned sum[3] = {0, 0, 0};
            for (int sy = y0; sy < y1; ++sy) {
                const std::uint8_t* row = frame.pixels.data() + (static_cast<std::size_t>(sy) * frame.width) * 3;
                for (int sx = x0; sx < x1; ++sx)
                    for (int c = 0; c < 3; ++c) sum[c] += row[sx * 3 + c];
            }
            const unsigned n = static_cast<unsigned>((y1 - y0) * (x1 - x0));
            std::uint8_t* dst = out.pixels.data() + (static_cast<std::size_t>(y) * width + x) * 3;
            for (int c = 0; c < 3; ++c) dst[c] = static_cast<std::uint8_t>((sum[c] + n / 2) / n);
        }
    }
    return out;
}

ContactSheet::ContactSheet(const SheetLayout& layout, pictures::FontFace& font)
    : layout_(layout), font_(font), canvas_(layout.width, layout.height, kBackground)
{
    font_.setPixelSize(kLabelPixels);
}

void ContactSheet::place(int i, const pictures::Image& frame, const std::string& label, bool mark)
{
    const pictures::Image thumb = shrink(frame, layout_.thumbWidth, layout_.thumbHeight);
    const int x0 = layout_.thumbX(i);
    const int y0 = layout_.cellY(i);
    for (int y = 0; y < thumb.height; ++y)
        for (int x = 0; x < thumb.width; ++x) {
            const std::uint8_t* p = thumb.pixels.data() + (static_cast<std::size_t>(y) * thumb.width + x) * 3;
            canvas_.at(x0 + x, y0 + y) = pictures::rgb(p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f);
        }
    pictures::Mask text = font_.renderLine(pictures::fromUtf8(label), 0);
    // Clip the label to its cell.
    const int textY = y0 + thumb.height + (layout_.labelHeight - text.height) / 2;
    pictures::Mask clipped(std::min(text.width, layout_.cellWidth), text.height);
    for (int y = 0; y < clipped.height; ++y)
        for (int x = 0; x < clipped.width; ++x) clipped.at(x, y) = text.at(x, y);
    paintMask(canvas_, clipped, layout_.cellX(i) + (layout_.cellWidth - clipped.width) / 2, textY,
              mark ? kMarkColor : kLabelColor);
}

pictures::Image ContactSheet::image() const { return pictures::toImage(canvas_, 3); }

} // namespace capture
