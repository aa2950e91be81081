#include "flight/MdmZeit.h"

namespace krvx::MdmZeit {

std::int32_t hhmmPart(std::int32_t seconds, Teil teil) {
    // Whole-number arithmetic: taking the minutes from the fractional hours
    // in floating point loses a minute on exact minute counts.
    const std::int64_t s = seconds;
    std::int64_t hours = s / 3600;
    std::int64_t rest = s % 3600;
    if (rest < 0) {
        rest += 3600;
        hours -= 1;
    }
    if (teil == Teil::MM) {
        return static_cast<std::int32_t>(rest / 60);
    }
    return static_cast<std::int32_t>(hours);
}

} // namespace krvx::MdmZeit
