#pragma once

#include <string>

class IMusicPlayer;

// The show's clock: the music's play position. The first frame starts the
// music at that frame's loop time; every frame then reads the position as
// its time, until a position of 287 s releases the music (that frame still
// uses it) and the loop time takes over. Without music (no output device,
// no file) the loop time is the clock from the start.
class MusicClock {
public:
    static constexpr float kReleaseTime = 287.0f;  // seconds

    explicit MusicClock(IMusicPlayer& player) : player_(player) {}

    // Opens the music file; false (the reason in error, when given) when
    // the show has to run without it.
    bool open(const std::string& path, std::string* error = nullptr);
    // The frame's time in milliseconds for a frame at loop time loopTimeMs.
    float update(float loopTimeMs);
    // Releases the music (once; safe to call again).
    void shutdown();

    bool started() const { return started_; }
    bool finished() const { return finished_; }
    bool hasMusic() const { return hasMusic_; }

private:
    IMusicPlayer& player_;
    bool hasMusic_ = false;
    bool started_ = false;
    bool finished_ = false;
};
