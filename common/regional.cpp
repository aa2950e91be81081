#include "common/regional.h"

#include <cmath>

#include "common/blanks.h"
#include "common/numberscan.h"

namespace krvx {

RegionalSettings RegionalSettings::german() {
    return RegionalSettings{};
}

RegionalSettings RegionalSettings::english() {
    RegionalSettings settings;
    settings.decimalSeparator = ".";
    settings.groupSeparator = ",";
    settings.monthNames = {"January", "February", "March",     "April",   "May",      "June",
                           "July",    "August",   "September", "October", "November", "December"};
    return settings;
}

LocaleNumber parseLocaleNumber(std::string_view text, const RegionalSettings& settings) {
    LocaleNumber result;
    text = trimmed(text, isBlankOrLineEnd);

    // Into the plain form: grouping characters dropped, the decimal separator
    // turned into '.', a '.' that is neither of the two makes the text invalid.
    std::string plain;
    plain.reserve(text.size());
    const std::string_view decimal = settings.decimalSeparator;
    const std::string_view group = settings.groupSeparator;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::string_view rest = text.substr(pos);
        if (!decimal.empty() && rest.substr(0, decimal.size()) == decimal) {
            plain += '.';
            pos += decimal.size();
        } else if (!group.empty() && rest.substr(0, group.size()) == group) {
            pos += group.size();
        } else {
            const char c = text[pos++];
            plain += c == '.' ? '\x01' : c;
        }
    }

    const detail::DecimalScan scan = detail::scanDecimal(plain, "Ee");
    if (scan.length == 0 || scan.length != plain.size()) {
        result.error = LocaleParseError::NotANumber;
        return result;
    }
    if (scan.overflow) {
        result.error = LocaleParseError::Overflow;
        return result;
    }
    result.value = scan.value == 0.0 ? 0.0 : scan.value; // no negative zero
    return result;
}

std::string formatLocaleNumber(double value, const RegionalSettings& settings) {
    std::string out;
    if (value < 0.0) out += '-';
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return out + "Inf";
    // The largest doubles show the digits that read back as the value, as
    // the data files hold them.
    std::string digits = detail::readableMagnitude(value);
    if (digits[0] == '.') digits.insert(0, 1, '0');
    for (char c : digits) {
        if (c == '.')
            out += settings.decimalSeparator;
        else
            out += c;
    }
    return out;
}

} // namespace krvx
