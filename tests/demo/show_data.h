#pragma once

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "demo/demo_controller.h"
#include "demo/music_player.h"

namespace murmur::test {

// The content the build authored, unpacked as the show reads it.
std::string builtContent();

// A data folder that holds the built content but for some files: every file
// is linked from the built content except those whose path relative to the
// data folder begins with one of `without` ("cameras/", "effects/Sprite.").
class ShowData {
public:
    explicit ShowData(std::initializer_list<std::string> without);
    ~ShowData();
    ShowData(const ShowData&) = delete;
    ShowData& operator=(const ShowData&) = delete;

    // Ends with a separator, as the show expects.
    std::string directory() const { return root_.string() + "/"; }

private:
    std::filesystem::path root_;
};

// A music stream whose position the test sets; it notes how it was used.
class ScriptedPlayer : public IMusicPlayer {
public:
    struct State {
        double position = 0.0;
        std::vector<double> playedFrom;
        int releases = 0;
        bool opened = false;
    };
    explicit ScriptedPlayer(std::shared_ptr<State> state) : state_(std::move(state)) {}
    bool open(const std::string&, std::string*) override {
        state_->opened = true;
        return true;
    }
    void play(double seconds) override {
        state_->playedFrom.push_back(seconds);
        state_->position = seconds;
    }
    double position() override { return state_->position; }
    void release() override { ++state_->releases; }

private:
    std::shared_ptr<State> state_;
};

// The show on the test's headless GL context at width x height, loaded from
// `data` with the given music (null: none) and its material programs
// prepared.
std::unique_ptr<DemoController> openShow(const std::string& data, std::unique_ptr<IMusicPlayer> music,
                                         int width, int height);

// The lines of log.txt in the working folder that hold `text`.
std::vector<std::string> logLinesWith(const std::string& text);

// The mean colour (red, green, blue, 0-255) of the window's back buffer,
// width x height from the bottom left.
struct MeanColour {
    double r = 0.0, g = 0.0, b = 0.0;
};
MeanColour meanOfWindow(int width, int height);

}  // namespace murmur::test
