#include "app/display_modes.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>

namespace {

int lowerAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

bool lessIgnoringCase(const std::string& l, const std::string& r) {
    return std::lexicographical_compare(l.begin(), l.end(), r.begin(), r.end(), [](char a, char b) {
        return lowerAscii(static_cast<unsigned char>(a)) < lowerAscii(static_cast<unsigned char>(b));
    });
}

bool beginsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (lowerAscii(static_cast<unsigned char>(text[i])) != lowerAscii(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

DisplayMode fromSdl(const SDL_DisplayMode& m) {
    return DisplayMode{m.w, m.h, static_cast<int>(SDL_BITSPERPIXEL(m.format)), m.refresh_rate};
}

// Keeps SDL's video subsystem up for one query.
class VideoSession {
public:
    VideoSession() : started_(SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {}
    ~VideoSession() {
        if (started_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    VideoSession(const VideoSession&) = delete;
    VideoSession& operator=(const VideoSession&) = delete;
    bool started() const { return started_; }

private:
    bool started_;
};

}  // namespace

std::string modeText(const DisplayMode& mode) {
    char text[128];
    std::snprintf(text, sizeof text, "%dx%dx%dbpp %dHz", mode.width, mode.height, mode.bitsPerPixel,
                  mode.refreshRate);
    return text;
}

void sortModeTexts(std::vector<std::string>& texts) { std::stable_sort(texts.begin(), texts.end(), lessIgnoringCase); }

int findModeText(const std::vector<std::string>& texts, const std::string& prefix) {
    const int count = static_cast<int>(texts.size());
    for (int step = 1; step <= count; ++step) {
        const int i = step % count;
        if (beginsWithIgnoringCase(texts[i], prefix)) return i;
    }
    return -1;
}

bool scanModeText(const char* text, DisplayMode& mode) {
    DisplayMode read;
    if (std::sscanf(text, "%d%*c%d%*c%d%*s %d%*s", &read.width, &read.height, &read.bitsPerPixel,
                    &read.refreshRate) != 4)
        return false;
    mode = read;
    return true;
}

std::vector<DisplayMode> primaryDisplayModes() {
    std::vector<DisplayMode> modes;
    VideoSession video;
    if (!video.started()) return modes;
    SDL_DisplayMode m;
    for (int i = 0; SDL_GetDisplayMode(0, i, &m) == 0; ++i) modes.push_back(fromSdl(m));
    return modes;
}

bool currentDisplayMode(DisplayMode& mode) {
    VideoSession video;
    SDL_DisplayMode m;
    if (!video.started() || SDL_GetCurrentDisplayMode(0, &m) != 0) return false;
    mode = fromSdl(m);
    return true;
}

ModeList buildModeList(const std::vector<DisplayMode>& modes, const DisplayMode* current) {
    ModeList list;
    for (const DisplayMode& mode : modes) list.texts.push_back(modeText(mode));
    sortModeTexts(list.texts);
    if (current) list.selected = findModeText(list.texts, modeText(*current));
    return list;
}

bool startMode(const char* selectedText, const DisplayMode* desktop, DisplayMode& mode) {
    if (selectedText && scanModeText(selectedText, mode)) return true;
    if (!desktop) return false;
    mode = *desktop;
    return true;
}
