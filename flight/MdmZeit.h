#pragma once
// The time module: splitting a duration into whole hours and minutes.

#include <cstdint>

namespace krvx::MdmZeit {

// Which part of a duration hhmmPart gives.
enum class Teil { HH, MM };

// The whole hours (HH) or the minutes (MM) of a duration. Both come exactly
// from the whole seconds: 3660 s are 1 hour and 1 minute. Negative durations
// are floored, so -60 s are -1 hour and 59 minutes. Hours are not wrapped at
// 24 and may exceed 16 bits (a 32-bit duration holds up to 596523 hours).
std::int32_t hhmmPart(std::int32_t seconds, Teil teil);

} // namespace krvx::MdmZeit
