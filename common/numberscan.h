#pragma once
// Building blocks shared by the number rules of numbers.cpp and regional.cpp:
// scanning a plain decimal number and writing the 15 significant digits.

#include <cstddef>
#include <string>
#include <string_view>

namespace krvx::detail {

struct DecimalScan {
    double value = 0.0;
    std::size_t length = 0; // characters taken; 0 when no digit was found
    bool overflow = false; // the value lies beyond the double range
};

// Scans sign, digits with at most one '.', and an exponent (one of the letters
// in exponentLetters, optional sign, at least one digit) from the start of the
// text. An exponent letter without digits after it is not taken.
DecimalScan scanDecimal(std::string_view text, std::string_view exponentLetters);

struct RadixScan {
    double value = 0.0;
    std::size_t length = 0; // digits taken
};

// Scans the digits of a whole number in base 16 or 8 (the &H and &O forms,
// after the prefix) up to the first character that is no digit of the base.
RadixScan scanRadix(std::string_view digits, int radix);

// The largest number of 15 significant digits within the double range.
inline constexpr double kLargest15Digits = 1.79769313486231e308;

// The 15 significant digits of a finite value's magnitude, trailing zeros
// dropped (1.5E+20 gives "15"), and the decimal exponent of the first one
// (20). Digits that would round beyond the double range are those of
// kLargest15Digits.
struct Significant {
    std::string digits;
    int exponent = 0;
};
Significant significantDigits(double value);

// The magnitude of a finite value rounded to 15 significant digits, with '.'
// as decimal point and nothing before it below 1: "1073.00000190735", ".5",
// "1E+15", "1.5E-05". Zero gives "0". A value whose 15 digits would round
// beyond the double range gives kLargest15Digits, so that the text always
// reads back as a number.
std::string magnitudeText(double value);

// A finite value with the fewest digits that read back as exactly this value,
// signed, in the exponent form of magnitudeText: "-1.7976931348623157E+308".
std::string exactText(double value);

// magnitudeText, but beyond kLargest15Digits the exact digits, so that the
// text always reads back as this very magnitude.
std::string readableMagnitude(double value);

} // namespace krvx::detail
