#pragma once

#include <cstdint>
#include <string>

// What the show needs of its music: one looping stream on the default
// output, started at a position, whose play position is the show's clock.
class IMusicPlayer {
public:
    virtual ~IMusicPlayer() = default;

    // Opens the output device and the looping stream of the file. False,
    // with the reason in error when given, when either fails (release still
    // closes whatever was opened).
    virtual bool open(const std::string& path, std::string* error) = 0;
    // Moves the stream to seconds (a move that fails is ignored) and plays.
    virtual void play(double seconds) = 0;
    // The position being heard in seconds; negative without a stream or
    // when the query fails.
    virtual double position() = 0;
    // Releases the stream and closes the device; safe to call again.
    virtual void release() = 0;
};

// The music through the audio module (libmpg123 decoding, SDL2 output).
class AudioMusicPlayer : public IMusicPlayer {
public:
    ~AudioMusicPlayer() override;

    bool open(const std::string& path, std::string* error) override;
    void play(double seconds) override;
    double position() override;
    void release() override;

private:
    bool deviceOpen_ = false;
    std::uint32_t stream_ = 0;
};
