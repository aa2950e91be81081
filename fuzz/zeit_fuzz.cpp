// The time texts of the flight time window: a start time read from any text,
// moved forward by a duration and back again from the arrival text, gives the
// start time with the same number of days; a duration's hours and minutes read
// back from its text. The first four bytes are the duration in seconds, the
// rest the time text.

#include <cstring>

#include "Check.h"
#include "common/numbers.h"
#include "flight/Flugzeit.h"
#include "flight/MdmZeit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace krvx;
    if (size < 4) return 0;
    std::int32_t seconds = 0;
    std::memcpy(&seconds, data, sizeof seconds);
    const std::string text = fuzz::text(data + 4, size - 4);

    const std::string duration = hhmmAsString(seconds);
    const std::int32_t hours = MdmZeit::hhmmPart(seconds, MdmZeit::Teil::HH);
    const std::int32_t minutes = MdmZeit::hhmmPart(seconds, MdmZeit::Teil::MM);
    FUZZ_CHECK(minutes >= 0 && minutes < 60, duration);
    FUZZ_CHECK(static_cast<std::int64_t>(hours) * 3600 + minutes * 60 <= seconds &&
                   static_cast<std::int64_t>(hours) * 3600 + minutes * 60 + 60 > seconds,
               duration);
    if (const std::optional<ClockTime> back = readClockTime(duration)) {
        FUZZ_CHECK(back->hh == hours && back->mm == minutes, duration);
    } else {
        FUZZ_CHECK(hours > 32767 || hours < -32768, duration);
    }

    const std::optional<ClockTime> clock = readClockTime(text);
    if (!clock || seconds < 0 || clock->hh < 0 || clock->hh > 23 || clock->mm < 0 || clock->mm > 59) return 0;

    // A clock time of the day and a duration: there and back again.
    const std::string there = arrivalTime(*clock, hours, minutes);
    const std::size_t plus = there.find(" + ");
    const std::string days = plus == std::string::npos ? "" : there.substr(plus + 3);
    const std::optional<ClockTime> arrival = readClockTime(there.substr(0, plus));
    FUZZ_CHECK(arrival.has_value(), there);
    const std::string again = startTime(*arrival, hours, minutes);
    const std::string expected = timeText(clock->hh, clock->mm) + (days.empty() ? "" : " - " + days);
    FUZZ_CHECK(again == expected, there + " back to " + again);
    return 0;
}
