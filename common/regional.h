#pragma once
// The user's regional settings and the two locale rules that depend on them
// (text to number and number to text), as the exchange calculator, the rate
// editor and the production amounts use them.

#include <array>
#include <string>
#include <string_view>

namespace krvx {

// Read once at start-up from the system; German where the system sets none.
// All texts are UTF-8.
struct RegionalSettings {
    std::string decimalSeparator = ",";
    std::string groupSeparator = ".";
    std::array<std::string, 12> monthNames{"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                                           "Juli",   "August",  "September", "Oktober", "November", "Dezember"};

    static RegionalSettings german();
    // English (United States) settings: '.' decimal separator, ',' grouping.
    static RegionalSettings english();
};

enum class LocaleParseError { None, NotANumber, Overflow };

struct LocaleNumber {
    double value = 0.0;
    LocaleParseError error = LocaleParseError::None;
    bool ok() const { return error == LocaleParseError::None; }
};

// Locale text to number: the regional decimal separator, the grouping character
// ignored wherever it stands, blanks around the number ignored, an exponent
// allowed; an empty or non-numeric text is NotANumber (not 0), a value beyond
// the double range is Overflow.
LocaleNumber parseLocaleNumber(std::string_view text, const RegionalSettings& settings);

// Locale number to text: at most 15 significant digits, the regional decimal
// separator, no grouping, no leading blank, a 0 before the separator below 1
// ("0,5"), exponent form from 1E15 on ("1E+15", "1,5E+20") and below 1E-4.
// Beyond the largest 15-digit number the value's exact digits, so that the
// text always reads back as the same number.
std::string formatLocaleNumber(double value, const RegionalSettings& settings);

} // namespace krvx
