#pragma once

// The show's fixed timeline as the soundtrack follows it, in seconds from the
// start of the music. Section changes happen exactly at these marks.
namespace music::timeline {

inline constexpr double kBreakdown = 105.97625;  // dreamy breakdown under the dream overlay
inline constexpr double kBuild = 111.97625;      // the build-up after it
inline constexpr double kGlitch = 118.933334;    // tense, glitching passage under the black flicker
inline constexpr double kBlackout = 131.0552;    // near silence while the screen is black
inline constexpr double kDrop = 134.0552;        // the full drop returns with the picture
inline constexpr double kOutro = 256.0;          // the closing section under the end picture
inline constexpr double kMusicEnd = 285.0;       // silent from here on
inline constexpr double kRelease = 287.0;        // the show releases the stream
// The file runs a second past the release, so that a looping stream is
// released before it can wrap back to its start.
inline constexpr double kLength = 288.0;

}  // namespace music::timeline
