#pragma once

#include <cstdint>
#include <string>

// The music stream: one output device and streams decoded from MP3 files.
//
// libmpg123 decodes every stream to 16-bit stereo at the device's rate
// (4 bytes per sample frame, 176400 bytes per second at 44100 Hz) and SDL2
// audio plays the mix on its own thread. Positions are byte offsets into that
// decoded stream. The reported position is what is being heard: it is counted
// from the samples handed to the device, advanced between device callbacks by
// the steady clock, never goes backwards while a stream plays on (only a
// position change or a loop back to the start moves it back) and is never
// ahead of the samples delivered.
//
// Failures return false, a 0 handle or a negative value, and record an error
// code that lastError() reports on the calling thread. Every operation may be
// called from any thread.
namespace audio {

using StreamHandle = std::uint32_t;

enum class ErrorCode : int {
    Ok = 0,
    Memory = 1,     // out of memory
    FileOpen = 2,   // the file could not be opened
    Handle = 5,     // no stream with that handle
    Format = 6,     // not a decodable MP3 file
    Position = 7,   // position outside the stream
    Init = 8,       // the device is not initialised
    Already = 14,   // the device is already initialised
    Parameter = 20, // an argument is out of range
    Device = 23,    // no such output device, or it cannot be opened
};

// The default output device.
inline constexpr int kDefaultDevice = -1;
// Stream flag: play from the start again when the end is reached.
inline constexpr std::uint32_t kStreamLoop = 4;

// Opens an output device: kDefaultDevice, or 1, 2, ... for the devices in the
// order the audio driver lists them. The device plays 16-bit stereo at the
// given rate (8000 to 192000 Hz). Returns false when no output is available
// (ErrorCode::Device) or the device is already open (ErrorCode::Already).
bool initDevice(int device, std::uint32_t frequency);

// Creates a stream decoding the whole MP3 file at path; flags is 0 or
// kStreamLoop. The stream starts stopped at position 0. Returns a non-zero
// handle, or 0 when the device is not open, the file cannot be opened or does
// not hold MPEG audio.
StreamHandle createFileStream(const std::string& path, std::uint32_t flags);

// Starts playing the stream. Without restart, a stream that plays goes on
// untouched and a stopped one resumes at its current position (from the
// start once it has played to its end); with restart it plays from position 0.
bool playChannel(StreamHandle stream, bool restart);

// The position being heard, in bytes of the decoded stream; -1 on failure.
std::int64_t channelPosition(StreamHandle stream);

// Moves the stream to a byte position, rounded down to a whole sample frame.
// Playing streams go on from there. Fails with ErrorCode::Position for a
// negative position or one beyond the end.
bool setChannelPosition(StreamHandle stream, std::int64_t bytes);

// Length of the decoded stream in bytes; -1 on failure.
std::int64_t channelLength(StreamHandle stream);

// Whether the stream is playing (false after its end when not looping).
bool isChannelPlaying(StreamHandle stream);

// Byte positions and seconds of a stream's decoded format. Whole sample
// frames convert exactly both ways; seconds round down to a whole frame.
// Negative results report a failure (unknown stream, negative input).
double channelBytesToSeconds(StreamHandle stream, std::int64_t bytes);
std::int64_t channelSecondsToBytes(StreamHandle stream, double seconds);

// Stops and releases a stream. False for 0, an unknown or an already freed
// handle (ErrorCode::Handle); nothing else happens then.
bool freeStream(StreamHandle stream);

// Stops the output, releases every stream and closes the device. False when
// the device is not open (ErrorCode::Init).
bool freeDevice();

// The error code of the last operation called on this thread.
ErrorCode lastError();

}  // namespace audio
