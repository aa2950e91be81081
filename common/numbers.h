#pragma once
// The program's own number rules: reading a leading number from a box text,
// writing a number as text, whole-number conversion and the small text patterns.
// They are exact and locale-free; the regional rules live in regional.h.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace krvx {

// Reads a double from the start of a text. Blanks, tabs, CR and LF are skipped
// wherever they stand ("1 000" is 1000); then an optional sign, digits with at
// most one '.', an optional exponent (E or D, optional sign, digits); &H and &O
// read hexadecimal and octal whole numbers. Stops at the first character that
// cannot continue the number; a text without a leading number is 0.
// "1,5" is 1, "10%" is 10, "abc" is 0. A value beyond the double range reads
// as an infinity of its sign.
double parseLeadingNumber(std::string_view text);

// Number to text: a blank before zero and positive numbers, '-' before negative
// ones; 15 significant digits, trailing zeros and point dropped; no 0 before the
// point below 1 (" .5"); exponent form from 1E15 on (" 1E+15"), and below 1E-4
// as well (" 1.5E-05"). 1073.00000190735 gives " 1073.00000190735". The few
// largest doubles, whose 15 digits would round beyond the double range, give
// " 1.79769313486231E+308", so that every text reads back as a number.
std::string formatNumber(double value);

// The same without the leading blank of non-negative numbers (".5", "-2.5",
// "1E+20"): the form numbers take in the record style of the data files.
std::string formatNumberPlain(double value);

// Rounds to the nearest whole number, a half to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double value);

// Whole-number conversion: rounded half to even, nullopt when the result lies
// outside the target range (or the value is not a number): an overflow failure.
std::optional<std::int16_t> toInt16(double value);
std::optional<std::int32_t> toInt32(double value);

// A finite whole number in plain digits with its 15 significant digits, the
// places after them filled with zeros, '-' before negative ones:
// 1.23456789012345678E+20 gives "123456789012346000000". Meant for numbers
// beyond the 15 digits, whose fraction they do not reach.
std::string formatWholeDigits(double value);

// The patterns "0#" (minDigits 2) and "00#" (minDigits 3): at least that many
// digits, filled with leading zeros; longer numbers keep every digit; a minus
// sign stands in front (-5 with "0#" gives "-05").
std::string formatPattern(long long value, int minDigits);

// Time text: hours "0#", ':', minutes "0#"; hours are not wrapped at 24.
std::string timeText(long long hours, long long minutes);

// Appends blanks until the text is at least minLength characters long
// (characters, not bytes: texts are UTF-8). A longer text comes back unchanged.
std::string padRight(std::string_view text, int minLength);

// Number of characters of a UTF-8 text.
std::size_t characterCount(std::string_view utf8);

} // namespace krvx
