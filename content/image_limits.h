#pragma once

#include <cstdint>

// The largest picture side the decoders accept (the largest texture side GL
// drivers commonly take). A header claiming more is refused before any pixel
// memory is allocated.
inline constexpr std::uint32_t kMaxImageSide = 16384;

