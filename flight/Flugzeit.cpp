#include "flight/Flugzeit.h"

#include <cmath>
#include <cstdlib>

#include "common/numbers.h"
#include "flight/MdmZeit.h"

namespace krvx {

namespace {

// Seconds at speed 1000 for one level: a fixed part for leaving the level and
// a part per unit of difference.
struct Level {
    std::int64_t fixed;
    std::int64_t perUnit;
};
constexpr Level kGalaxy{75000, 14460};
constexpr Level kSystem{18000, 500};
constexpr Level kPlanet{10000, 250};

double term(const Level& level, std::int64_t difference, double factor) {
    if (difference == 0) {
        return 0.0;
    }
    return static_cast<double>(level.perUnit * difference + level.fixed) / factor;
}

std::string daySuffix(char sign, long long days) {
    return std::string(" ") + sign + " " + std::to_string(days) + " Tage";
}

} // namespace

double speedFactor(std::string_view speedText) {
    return parseLeadingNumber(speedText) / 1000.0;
}

std::optional<std::int32_t> Flugzeit(int startIndex, int targetIndex, const Planeten& list, double speedFactor) {
    std::int64_t dGal = 0;
    std::int64_t dSys = 0;
    std::int64_t dPla = 0;
    const int count = list.count();
    if (startIndex < count && targetIndex < count && startIndex > 0 && targetIndex > 0) {
        const PlanetEintrag& from = list[static_cast<std::size_t>(startIndex)];
        const PlanetEintrag& to = list[static_cast<std::size_t>(targetIndex)];
        dGal = std::llabs(std::int64_t{to.Galaxie} - from.Galaxie);
        dSys = std::llabs(std::int64_t{to.System} - from.System);
        dPla = std::llabs(std::int64_t{to.Planet} - from.Planet);
    }
    std::optional<std::int32_t> seconds;
    if (speedFactor > 0.0) {
        const double sum =
            (term(kGalaxy, dGal, speedFactor) + term(kSystem, dSys, speedFactor)) + term(kPlanet, dPla, speedFactor);
        seconds = toInt32(sum);
    }
    return seconds;
}

std::string hhmmAsString(std::int32_t seconds) {
    return timeText(MdmZeit::hhmmPart(seconds, MdmZeit::Teil::HH), MdmZeit::hhmmPart(seconds, MdmZeit::Teil::MM));
}

std::optional<ClockTime> readClockTime(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<std::int16_t> hh = toInt16(parseLeadingNumber(text.substr(0, colon)));
    const std::optional<std::int16_t> mm = toInt16(parseLeadingNumber(text.substr(colon + 1)));
    if (!hh || !mm) {
        return std::nullopt;
    }
    return ClockTime{*hh, *mm};
}

std::string arrivalTime(ClockTime start, std::int32_t hours, std::int32_t minutes) {
    long long hh = start.hh;
    long long mm = start.mm + static_cast<long long>(minutes);
    if (mm >= 60) {
        mm -= 60;
        hh += 1;
    }
    hh += hours;
    long long days = 0;
    if (hh >= 24) {
        days = hh / 24;
        hh %= 24;
    }
    std::string text = timeText(hh, mm);
    if (days != 0) {
        text += daySuffix('+', days);
    }
    return text;
}

std::string startTime(ClockTime arrival, std::int32_t hours, std::int32_t minutes) {
    long long hh = arrival.hh;
    long long mm = arrival.mm - static_cast<long long>(minutes);
    if (mm < 0) {
        mm += 60;
        hh -= 1;
    }
    hh -= hours;
    long long days = 0;
    if (hh < 0) {
        days = (-hh + 23) / 24;
        hh += 24 * days;
    }
    std::string text = timeText(hh, mm);
    if (days != 0) {
        text += daySuffix('-', days);
    }
    return text;
}

} // namespace krvx
