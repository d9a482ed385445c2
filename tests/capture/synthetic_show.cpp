#include "tests/capture/synthetic_show.h"

#include <GL/glew.h>
#include <SDL2/SDL.h>

#include <cmath>
#include <memory>

namespace capturetest {

SyntheticShow::SyntheticShow(int width, int height, SyntheticScript script, std::vector<FrameCall>* updates,
                             std::vector<FrameCall>* renders, std::vector<FrameCall>* advances)
    : width_(width), height_(height), script_(std::move(script)), updates_(updates), renders_(renders),
      advances_(advances)
{
}

int SyntheticShow::squareLeft(double seconds, int width)
{
    const int span = width - kSquare;
    return static_cast<int>(std::fmod(seconds * kSpeed, static_cast<double>(span)));
}

bool SyntheticShow::update(float timeMs, float deltaMs)
{
    if (updates_) updates_->push_back({timeMs, deltaMs});
    return ++frame_ != script_.stopUpdateAtFrame;
}

bool SyntheticShow::advance(float timeMs, float deltaMs)
{
    if (advances_) advances_->push_back({timeMs, deltaMs});
    if (frame_ == script_.interruptAtFrame) std::raise(SIGINT);
    return frame_ != script_.failRenderAtFrame;
}

bool SyntheticShow::render(float timeMs, float deltaMs)
{
    if (renders_) renders_->push_back({timeMs, deltaMs});
    if (frame_ == script_.interruptAtFrame) std::raise(SIGINT);
    if (frame_ == script_.failRenderAtFrame) return false;

    // Pixel coordinates with y down, as a picture file is read.
    glViewport(0, 0, width_, height_);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, width_, height_, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glClearColor(0.05f, 0.1f, 0.3f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glColor3f(1.0f, 0.0f, 0.0f);
    glRecti(0, 0, width_, kBand);
    const int left = squareLeft(timeMs / 1000.0, width_);
    glColor3f(1.0f, 1.0f, 1.0f);
    glRecti(left, kSquareTop, left + kSquare, kSquareTop + kSquare);
    // The show presents its frame as the real one does.
    SDL_GL_SwapWindow(SDL_GL_GetCurrentWindow());
    return true;
}

capture::ShowOpener syntheticOpener(SyntheticScript script, std::string data, int* opened,
                                    std::vector<FrameCall>* updates, std::vector<FrameCall>* renders,
                                    std::vector<FrameCall>* advances)
{
    return [=](const capture::ShowRequest& request, std::string&) {
        if (opened) ++*opened;
        capture::OpenedShow result;
        result.show = std::make_unique<SyntheticShow>(request.width, request.height, script, updates, renders,
                                                      advances);
        result.dataDirectory = data;
        result.times.content = 0.25;
        return result;
    };
}

} // namespace capturetest
