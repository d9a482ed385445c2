#pragma once
// The robot's clips in the order the show plays them, with their end times
// (the latest key of each clip's animation) and kinds.
#include <array>

namespace world {

enum class ClipKind { Riding, Skeleton, Path };

struct ClipSlot {
    const char* name;
    float end;
    ClipKind kind;
};

inline constexpr std::array<ClipSlot, 16> kSchedule = {{
    {"writting", 24.0f, ClipKind::Riding},
    {"go_to_posters", 40.0f, ClipKind::Riding},
    {"back_to_cigarette", 56.0f, ClipKind::Riding},
    {"whisky", 76.0f, ClipKind::Riding},
    {"cigarette", 106.0f, ClipKind::Riding},
    {"angry", 118.9f, ClipKind::Riding},
    {"porazenie", 134.0552f, ClipKind::Riding},
    {"throw", 140.0f, ClipKind::Skeleton},
    {"run01", 155.0f, ClipKind::Path},
    {"run02", 170.0f, ClipKind::Path},
    {"branch", 178.0f, ClipKind::Skeleton},
    {"run021", 190.0f, ClipKind::Path},
    {"jump", 196.0f, ClipKind::Skeleton},
    {"flip", 202.0f, ClipKind::Skeleton},
    {"run03", 215.0f, ClipKind::Path},
    {"credits_dance", 262.0f, ClipKind::Skeleton},
}};

// When clip i starts: the end of the one before it (0 for the first).
inline constexpr float clipStart(std::size_t i) { return i == 0 ? 0.0f : kSchedule[i - 1].end; }

// The show's fixed times.
inline constexpr float kFlyingChairShown = 134.0552f;
inline constexpr float kExhaleStart = 100.37854f;
inline constexpr float kExhaleEnd = 106.37854f;
inline constexpr float kFanStops = 150.0f;
inline constexpr float kEndPicture = 256.0f;
// One bar of the music: the first section mark over its 56 bars.
inline constexpr float kBar = 105.97625f / 56.0f;

} // namespace world
