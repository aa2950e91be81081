// The number rules against their inverses: whatever text-to-number reads,
// number-to-text writes so that it reads back as the same 15-digit number;
// a whole field and the leading-number rule agree; the locale rules likewise
// for German and '.'-decimal settings. The first eight bytes are also taken
// as a double, so every value of the double range is reached.

#include <cmath>
#include <cstring>

#include "Check.h"
#include "common/fields.h"
#include "common/numbers.h"
#include "common/numberscan.h"
#include "common/regional.h"

namespace {

using namespace krvx;

void checkValue(double value) {
    if (!std::isfinite(value)) return;
    const std::string text = formatNumber(value);
    const double back = parseLeadingNumber(text);
    FUZZ_CHECK(std::isfinite(back), text);
    FUZZ_CHECK(formatNumber(back) == text, text);
    if (std::isnormal(value)) FUZZ_CHECK(std::fabs(back - value) <= std::fabs(value) * 1e-14, text);

    const std::optional<double> field = fieldNumber(formatNumberPlain(value));
    FUZZ_CHECK(field && formatNumber(*field) == text, text);

    RecordWriter record;
    record.number(value);
    const std::optional<double> stored = fieldNumber(record.str());
    FUZZ_CHECK(stored.has_value(), record.str());
    if (std::fabs(value) > detail::kLargest15Digits)
        FUZZ_CHECK(*stored == value, record.str());
    else
        FUZZ_CHECK(record.str() == formatNumberPlain(value), record.str());

    for (const RegionalSettings& regional : {RegionalSettings::german(), RegionalSettings::english()}) {
        const std::string local = formatLocaleNumber(value, regional);
        const LocaleNumber read = parseLocaleNumber(local, regional);
        FUZZ_CHECK(read.ok(), local);
        FUZZ_CHECK(formatLocaleNumber(read.value, regional) == local, local);
        FUZZ_CHECK(formatNumber(read.value) == text, local);
    }

    if (const std::optional<std::int16_t> whole = toInt16(value)) {
        FUZZ_CHECK(static_cast<double>(*whole) == roundHalfEven(value), text);
    } else {
        const double rounded = roundHalfEven(value);
        FUZZ_CHECK(rounded < -32768.0 || rounded > 32767.0, text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input = fuzz::text(data, size);

    const double leading = parseLeadingNumber(input);
    checkValue(leading);

    // A field that is wholly a number is the number the leading rule reads.
    if (const std::optional<double> field = fieldNumber(input)) {
        FUZZ_CHECK(std::isfinite(*field), input);
        FUZZ_CHECK(*field == leading || (std::isnan(*field) && std::isnan(leading)), input);
        checkValue(*field);
    }

    for (const RegionalSettings& regional : {RegionalSettings::german(), RegionalSettings::english()}) {
        const LocaleNumber read = parseLocaleNumber(input, regional);
        if (read.ok()) {
            FUZZ_CHECK(std::isfinite(read.value), input);
            checkValue(read.value);
        }
    }

    if (size >= sizeof(double)) {
        double raw = 0.0;
        std::memcpy(&raw, data, sizeof raw);
        checkValue(raw);
    }
    return 0;
}
