#pragma once
// The flight duration between two planets of the list, its display as hours
// and minutes, and the two clock computations of the flight time window:
// the arrival from a start time and the start from an arrival time.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "flight/Planeten.h"

namespace krvx {

// The speed factor of a speed text: its leading number / 1000.
double speedFactor(std::string_view speedText);

// Seconds of the flight from entry startIndex to entry targetIndex at the
// speed factor. Entries outside the list and the entry at index 0 take no part
// (the flight then lasts 0 s). The galaxy, system and planet terms add up;
// a level whose numbers are equal contributes nothing.
// nullopt when the speed factor is 0, negative or not a number, or when the
// duration does not fit a signed 32-bit number of seconds.
std::optional<std::int32_t> Flugzeit(int startIndex, int targetIndex, const Planeten& list, double speedFactor);

// The duration as hours and minutes, "03:03"; hours are not wrapped at 24.
std::string hhmmAsString(std::int32_t seconds);

// A clock time read from a time text: the leading numbers before and after the
// first ':', each rounded to a whole number (a half to the even neighbour).
struct ClockTime {
    std::int16_t hh = 0;
    std::int16_t mm = 0;
};

// nullopt when the text holds no ':' or a part does not fit 16 bits.
std::optional<ClockTime> readClockTime(std::string_view text);

// The arrival for a start time and a duration of hours and minutes: a single
// carry of the minutes into the hours, then whole days counted off, shown as
// " + n Tage" behind the time.
std::string arrivalTime(ClockTime start, std::int32_t hours, std::int32_t minutes);

// The start for an arrival time: a single borrow of the minutes from the
// hours, then whole days added back, shown as " - n Tage".
std::string startTime(ClockTime arrival, std::int32_t hours, std::int32_t minutes);

} // namespace krvx
