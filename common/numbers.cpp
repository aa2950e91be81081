#include "common/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "common/blanks.h"
#include "common/numberscan.h"

namespace krvx {
namespace detail {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isExponentLetter(char c, std::string_view letters) {
    for (char l : letters) {
        if (upper(c) == upper(l)) return true;
    }
    return false;
}

// Decimal exponent of the leading significant digit of digits "int.frac"
// times 10^exponent; used only to tell overflow from underflow.
long long leadingExponent(std::string_view intDigits, std::string_view fracDigits, long long exponent) {
    const auto first = intDigits.find_first_not_of('0');
    if (first != std::string_view::npos) return exponent + static_cast<long long>(intDigits.size() - first) - 1;
    const auto firstFrac = fracDigits.find_first_not_of('0');
    if (firstFrac != std::string_view::npos) return exponent - static_cast<long long>(firstFrac) - 1;
    return std::numeric_limits<long long>::min(); // zero
}

} // namespace

DecimalScan scanDecimal(std::string_view text, std::string_view exponentLetters) {
    DecimalScan result;
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t intStart = pos;
    while (pos < text.size() && isDigit(text[pos])) ++pos;
    const std::string_view intDigits = text.substr(intStart, pos - intStart);
    std::string_view fracDigits;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t fracStart = ++pos;
        while (pos < text.size() && isDigit(text[pos])) ++pos;
        fracDigits = text.substr(fracStart, pos - fracStart);
    }
    if (intDigits.empty() && fracDigits.empty()) return result;

    // A whole number of up to 15 digits without an exponent, the usual field
    // of a data file, is exact in a double: no conversion through text needed.
    if (fracDigits.empty() && intDigits.size() <= 15 &&
        (pos >= text.size() || !isExponentLetter(text[pos], exponentLetters))) {
        double whole = 0.0;
        for (char c : intDigits) whole = whole * 10.0 + (c - '0');
        result.length = pos;
        result.value = negative ? -whole : whole;
        return result;
    }

    long long exponent = 0;
    bool exponentNegative = false;
    if (pos < text.size() && isExponentLetter(text[pos], exponentLetters)) {
        std::size_t p = pos + 1;
        bool expNeg = false;
        if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
            expNeg = text[p] == '-';
            ++p;
        }
        if (p < text.size() && isDigit(text[p])) {
            exponentNegative = expNeg;
            while (p < text.size() && isDigit(text[p])) {
                if (exponent < 1000000) exponent = exponent * 10 + (text[p] - '0');
                ++p;
            }
            pos = p;
        }
    }
    result.length = pos;

    std::string plain;
    plain.reserve(intDigits.size() + fracDigits.size() + 12);
    plain.append(intDigits.empty() ? std::string_view("0") : intDigits);
    if (!fracDigits.empty()) {
        plain += '.';
        plain.append(fracDigits);
    }
    const long long signedExponent = exponentNegative ? -exponent : exponent;
    plain += 'e';
    plain += std::to_string(signedExponent);

    double value = 0.0;
    const auto [end, ec] =
        std::from_chars(plain.data(), plain.data() + plain.size(), value, std::chars_format::general);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        if (leadingExponent(intDigits, fracDigits, signedExponent) >= 0) {
            result.overflow = true;
            value = std::numeric_limits<double>::infinity();
        } else {
            value = 0.0;
        }
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    result.value = negative ? -value : value;
    return result;
}

Significant significantDigits(double value) {
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 14);
    if (ec != std::errc()) return {"0", 0};
    // buffer holds d.ddddddddddddde[+-]xx
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t e = text.find('e');
    Significant s;
    s.digits += text[0];
    s.digits.append(text.substr(2, e - 2));
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), s.exponent);
    while (s.digits.size() > 1 && s.digits.back() == '0') s.digits.pop_back();
    if (s.exponent == 308 && s.digits > "179769313486231")
        s.digits = "179769313486231"; // rounded up beyond the largest double
    return s;
}

std::string magnitudeText(double value) {
    if (value == 0.0) return "0";
    const auto [digits, exponent] = significantDigits(value);
    std::string out;
    if (exponent >= 15 || exponent <= -5) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out.append(digits, 1);
        }
        out += 'E';
        out += exponent < 0 ? '-' : '+';
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10) out += '0';
        out += std::to_string(magnitude);
    } else if (exponent >= 0) {
        const std::size_t intLength = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intLength) {
            out = digits;
            out.append(intLength - digits.size(), '0');
        } else {
            out = digits.substr(0, intLength);
            out += '.';
            out.append(digits, intLength);
        }
    } else {
        out += '.';
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    }
    return out;
}

std::string exactText(double value) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    if (ec != std::errc()) return "0";
    // d.ddde+xx into d.dddE+xx
    std::string text(buffer, end);
    const std::size_t e = text.find('e');
    text[e] = 'E';
    if (text.size() - e == 3) text.insert(e + 2, 1, '0');
    return text;
}

std::string readableMagnitude(double value) {
    return std::fabs(value) > kLargest15Digits ? exactText(std::fabs(value)) : magnitudeText(value);
}

namespace {

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

} // namespace

RadixScan scanRadix(std::string_view digits, int radix) {
    RadixScan scan;
    for (char c : digits) {
        const int d = digitValue(c);
        if (d >= radix) break;
        scan.value = scan.value * radix + d;
        ++scan.length;
    }
    return scan;
}

} // namespace detail

namespace {

std::string nonFiniteText(double value) {
    if (std::isnan(value)) return "NaN";
    return "Inf";
}

} // namespace

double parseLeadingNumber(std::string_view text) {
    std::string compact;
    compact.reserve(text.size());
    for (char c : text) {
        if (!isBlankOrLineEnd(c)) compact += c;
    }
    if (compact.size() >= 2 && compact[0] == '&') {
        const char kind = compact[1];
        if (kind == 'H' || kind == 'h') return detail::scanRadix(std::string_view(compact).substr(2), 16).value;
        if (kind == 'O' || kind == 'o') return detail::scanRadix(std::string_view(compact).substr(2), 8).value;
        return 0.0;
    }
    return detail::scanDecimal(compact, "EeDd").value;
}

std::string formatNumber(double value) {
    const bool negative = value < 0.0; // -0 counts as 0
    std::string out(1, negative ? '-' : ' ');
    out += std::isfinite(value) ? detail::magnitudeText(value) : nonFiniteText(value);
    return out;
}

std::string formatNumberPlain(double value) {
    std::string text = formatNumber(value);
    if (text[0] == ' ') text.erase(0, 1);
    return text;
}

double roundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    const double lower = std::floor(value);
    const double fraction = value - lower; // exact for doubles
    if (fraction < 0.5) return lower;
    if (fraction > 0.5) return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

namespace {

template <typename Int>
std::optional<Int> toInteger(double value) {
    // A whole value in range, as data files mostly hold, needs no rounding.
    if (value >= static_cast<double>(std::numeric_limits<Int>::min()) &&
        value <= static_cast<double>(std::numeric_limits<Int>::max())) {
        const auto whole = static_cast<Int>(value);
        if (static_cast<double>(whole) == value) return whole;
    }
    if (std::isnan(value)) return std::nullopt;
    const double rounded = roundHalfEven(value);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return static_cast<Int>(rounded);
}

} // namespace

std::optional<std::int16_t> toInt16(double value) {
    return toInteger<std::int16_t>(value);
}

std::optional<std::int32_t> toInt32(double value) {
    return toInteger<std::int32_t>(value);
}

std::string formatWholeDigits(double value) {
    const auto [digits, exponent] = detail::significantDigits(value);
    if (exponent < 0) return "0";
    std::string out = value < 0 ? "-" : "";
    out += digits;
    out.resize(out.size() - digits.size() + static_cast<std::size_t>(exponent) + 1, '0');
    return out;
}

std::string formatPattern(long long value, int minDigits) {
    const bool negative = value < 0;
    const unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    std::string digits = std::to_string(magnitude);
    if (static_cast<int>(digits.size()) < minDigits)
        digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
    return negative ? "-" + digits : digits;
}

std::string timeText(long long hours, long long minutes) {
    return formatPattern(hours, 2) + ":" + formatPattern(minutes, 2);
}

std::string padRight(std::string_view text, int minLength) {
    std::string out(text);
    const std::size_t count = characterCount(text);
    if (minLength > 0 && count < static_cast<std::size_t>(minLength))
        out.append(static_cast<std::size_t>(minLength) - count, ' ');
    return out;
}

std::size_t characterCount(std::string_view utf8) {
    std::size_t count = 0;
    for (char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    }
    return count;
}

} // namespace krvx
