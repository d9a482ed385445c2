#pragma once

#include <cstdint>

// The largest picture side the decoders accept (the largest texture side GL
// drivers commonly take). A header claiming more is refused before any pixel
// memory is allocated.
inline constexpr std::uint32_t kMaxImageSide = 16384;


// The most memory libjpeg may hold while it decodes one picture. A baseline
// picture needs a few rows' worth at any size; a progressive or multi-scan
// one keeps every coefficient of the picture (2 bytes a sample), so this
// admits those up to about 9000 x 9000 in colour. Past it the load fails
// instead of claiming memory that a header of a few bytes asked for.
inline constexpr long kMaxJpegWorkingMemory = 256L * 1024 * 1024;
