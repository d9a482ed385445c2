#pragma once
// A small show drawn with real GL for the capture tests: a dark background, a
// red band along the top edge and a white square that moves to the right by
// kSpeed pixels per second, wrapping around. It records every frame call.
// Frames are counted by update: render and advance act on the frame updated
// last.
#include "tools/capture/show.h"

#include <csignal>
#include <string>
#include <vector>

namespace capturetest {

struct SyntheticScript {
    std::vector<float> endTimes;  // the shot list
    long stopUpdateAtFrame = -1;  // update returns false on this frame
    long failRenderAtFrame = -1;  // render returns false on this frame
    long interruptAtFrame = -1;   // raises SIGINT while rendering or advancing this frame
};

struct FrameCall {
    float timeMs;
    float deltaMs;
};

class SyntheticShow : public capture::IShow {
public:
    static constexpr float kSpeed = 40.0f; // pixels per second
    static constexpr int kSquare = 12;
    static constexpr int kBand = 6;
    static constexpr int kSquareTop = 18;

    SyntheticShow(int width, int height, SyntheticScript script, std::vector<FrameCall>* updates,
                  std::vector<FrameCall>* renders, std::vector<FrameCall>* advances);

    bool update(float timeMs, float deltaMs) override;
    bool render(float timeMs, float deltaMs) override;
    bool advance(float timeMs, float deltaMs) override;
    std::vector<float> mainCameraEndTimes() const override { return script_.endTimes; }

    // Left edge of the square at loop time t, in pixels from the left.
    static int squareLeft(double seconds, int width);

private:
    int width_;
    int height_;
    SyntheticScript script_;
    std::vector<FrameCall>* updates_;
    std::vector<FrameCall>* renders_;
    std::vector<FrameCall>* advances_;
    long frame_ = -1;  // the frame updated last
};

// An opener for captureMain that makes a SyntheticShow and reports `data`
// as its data folder. `opened` counts the calls.
capture::ShowOpener syntheticOpener(SyntheticScript script, std::string data, int* opened = nullptr,
                                    std::vector<FrameCall>* updates = nullptr,
                                    std::vector<FrameCall>* renders = nullptr,
                                    std::vector<FrameCall>* advances = nullptr);

} // namespace capturetest
