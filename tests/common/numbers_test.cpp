#include "common/numbers.h"

#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace krvx {
namespace {

struct ParseCase {
    const char* text;
    double expected;
};

class ParseLeadingNumberTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseLeadingNumberTest, ReadsTheLeadingNumber) {
    const ParseCase& c = GetParam();
    EXPECT_DOUBLE_EQ(parseLeadingNumber(c.text), c.expected) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ParseLeadingNumberTest,
    ::testing::Values(ParseCase{"1 000", 1000}, ParseCase{"1,5", 1}, ParseCase{"10%", 10}, ParseCase{"abc", 0},
                      ParseCase{"", 0}, ParseCase{"   ", 0}, ParseCase{"&H1F", 31}, ParseCase{"&h1f", 31},
                      ParseCase{"&O17", 15}, ParseCase{"&o17", 15}, ParseCase{"&O19", 1}, ParseCase{"&HFFFF", 65535},
                      ParseCase{"&H", 0}, ParseCase{"&X1", 0}, ParseCase{"1E3", 1000}, ParseCase{"1D3", 1000},
                      ParseCase{"1e3", 1000}, ParseCase{"2.5E-1", 0.25}, ParseCase{"1E+2x", 100},
                      ParseCase{" -2.5", -2.5}, ParseCase{"+.5", 0.5}, ParseCase{".5", 0.5}, ParseCase{"-.5", -0.5},
                      ParseCase{"5.", 5}, ParseCase{".", 0}, ParseCase{"-", 0}, ParseCase{"+-3", 0},
                      ParseCase{"1.2.3", 1.2}, ParseCase{"\t1\r\n2", 12}, ParseCase{"- 5", -5}, ParseCase{"1 E 2", 100},
                      ParseCase{"1E", 1}, ParseCase{"1E+", 1}, ParseCase{"1Ex", 1}, ParseCase{"007", 7},
                      ParseCase{"3x", 3}, ParseCase{"1e-400", 0},
                      ParseCase{"123456789012345678901234567890", 1.2345678901234568e29},
                      // whole numbers around the length that a double holds exactly
                      ParseCase{"999999999999999", 999999999999999.0}, ParseCase{"-000000000000042", -42},
                      ParseCase{"9007199254740993", 9007199254740992.0}, ParseCase{"5.E3", 5000},
                      ParseCase{"12D2", 1200}, ParseCase{"7,5", 7}, ParseCase{"&H10", 16}, ParseCase{"&O10", 8},
                      ParseCase{"&HA0", 160}, ParseCase{"&H1F.5", 31}));

TEST(ParseLeadingNumber, BeyondTheDoubleRangeIsInfinite) {
    EXPECT_EQ(parseLeadingNumber("1E400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseLeadingNumber("-1D400"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseLeadingNumber(".5E400"), std::numeric_limits<double>::infinity());
}

struct FormatCase {
    double value;
    const char* expected;
};

class FormatNumberTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatNumberTest, WritesTheProgramsForm) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(formatNumber(c.value), c.expected);
    const std::string plain = c.expected[0] == ' ' ? c.expected + 1 : c.expected;
    EXPECT_EQ(formatNumberPlain(c.value), plain);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FormatNumberTest,
    ::testing::Values(FormatCase{0.5, " .5"}, FormatCase{-2.5, "-2.5"}, FormatCase{1e15, " 1E+15"},
                      FormatCase{1000 * (1 + static_cast<double>(7.3f) / 100), " 1073.00000190735"},
                      FormatCase{0, " 0"}, FormatCase{-0.0, " 0"}, FormatCase{3, " 3"}, FormatCase{-5, "-5"},
                      FormatCase{-0.5, "-.5"}, FormatCase{2520.5, " 2520.5"}, FormatCase{100, " 100"},
                      FormatCase{1.5e20, " 1.5E+20"}, FormatCase{-1.5e20, "-1.5E+20"}, FormatCase{1e100, " 1E+100"},
                      FormatCase{1e-100, " 1E-100"}, FormatCase{1.5e-5, " 1.5E-05"}, FormatCase{0.0001, " .0001"},
                      FormatCase{0.00012, " .00012"}, FormatCase{0.1 + 0.2, " .3"},
                      FormatCase{999999999999999.0, " 999999999999999"},
                      FormatCase{999999999999999.9, " 1E+15"}, // rounding carries into the exponent form
                      FormatCase{123456789012345678.0, " 1.23456789012346E+17"},
                      FormatCase{1.0 / 3.0, " .333333333333333"}, FormatCase{2.0 / 3.0, " .666666666666667"},
                      FormatCase{12345.678901234567, " 12345.6789012346"},
                      FormatCase{0.000099999999999999999, " .0001"}, // rounds up out of the exponent range
                      FormatCase{100000000000000.0, " 100000000000000"},
                      // The largest doubles would round beyond the range: the largest 15 digits within it.
                      FormatCase{std::numeric_limits<double>::max(), " 1.79769313486231E+308"},
                      FormatCase{-std::numeric_limits<double>::max(), "-1.79769313486231E+308"},
                      FormatCase{1.797693134862315e308, " 1.79769313486231E+308"},
                      FormatCase{1.79769313486231e308, " 1.79769313486231E+308"},
                      FormatCase{1.7976931348623e308, " 1.7976931348623E+308"},
                      FormatCase{std::numeric_limits<double>::denorm_min(), " 4.94065645841247E-324"}));

struct RoundCase {
    double value;
    double expected;
};

class RoundHalfEvenTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEvenTest, RoundsHalvesToEven) {
    EXPECT_EQ(roundHalfEven(GetParam().value), GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Examples, RoundHalfEvenTest,
                         ::testing::Values(RoundCase{2.5, 2}, RoundCase{3.5, 4}, RoundCase{-2.5, -2},
                                           RoundCase{-3.5, -4}, RoundCase{0.5, 0}, RoundCase{1.5, 2},
                                           RoundCase{-0.5, 0}, RoundCase{2.4999999999999996, 2},
                                           RoundCase{2.5000000000000004, 3}, RoundCase{-1.2, -1}, RoundCase{-1.7, -2},
                                           RoundCase{7, 7}, RoundCase{4503599627370497.0, 4503599627370497.0},
                                           RoundCase{1e300, 1e300}));

struct IntCase {
    double value;
    std::optional<long long> int16;
    std::optional<long long> int32;
};

class WholeNumberTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(WholeNumberTest, ConvertsOrReportsOverflow) {
    const IntCase& c = GetParam();
    const auto a = toInt16(c.value);
    const auto b = toInt32(c.value);
    ASSERT_EQ(a.has_value(), c.int16.has_value()) << c.value;
    ASSERT_EQ(b.has_value(), c.int32.has_value()) << c.value;
    if (a) {
        EXPECT_EQ(*a, *c.int16);
    }
    if (b) {
        EXPECT_EQ(*b, *c.int32);
    }
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Examples, WholeNumberTest,
    ::testing::Values(
        IntCase{2.5, 2, 2}, IntCase{3.5, 4, 4}, IntCase{-2.5, -2, -2}, IntCase{0.4, 0, 0}, IntCase{32767, 32767, 32767},
        IntCase{32767.4, 32767, 32767}, IntCase{32767.5, std::nullopt, 32768}, IntCase{32768, std::nullopt, 32768},
        IntCase{-32768, -32768, -32768}, IntCase{-32768.5, -32768, -32768}, IntCase{-32768.6, std::nullopt, -32769},
        IntCase{-32769, std::nullopt, -32769}, IntCase{2147483647.0, std::nullopt, 2147483647LL},
        IntCase{2147483647.5, std::nullopt, std::nullopt}, IntCase{-2147483648.5, std::nullopt, -2147483648LL},
        IntCase{-2147483649.0, std::nullopt, std::nullopt}, IntCase{1e20, std::nullopt, std::nullopt},
        IntCase{kNaN, std::nullopt, std::nullopt}, IntCase{kInf, std::nullopt, std::nullopt},
        IntCase{-kInf, std::nullopt, std::nullopt}, IntCase{-0.0, 0, 0}, IntCase{-32768.0, -32768, -32768},
        IntCase{-2147483648.0, std::nullopt, -2147483648LL}, IntCase{0.5, 0, 0}, IntCase{-1.5, -2, -2}));

TEST(TextPatterns, PatternsTimesAndPadding) {
    struct Case {
        std::string actual;
        std::string expected;
    };
    const Case cases[] = {
        {formatPattern(-5, 2), "-05"},
        {formatPattern(5, 2), "05"},
        {formatPattern(0, 2), "00"},
        {formatPattern(123, 2), "123"},
        {formatPattern(7, 3), "007"},
        {formatPattern(-12, 3), "-012"},
        {formatPattern(1234, 3), "1234"},
        {formatPattern(std::numeric_limits<long long>::min(), 2), "-9223372036854775808"},
        {timeText(0, 5), "00:05"},
        {timeText(7, 30), "07:30"},
        {timeText(49, 0), "49:00"},
        {timeText(123, 59), "123:59"},
        {padRight("abc", 6), "abc   "},
        {padRight("abcdef", 3), "abcdef"},
        {padRight("", 2), "  "},
        {padRight("Zürich", 8), "Zürich  "},
        {padRight("€", 3), "€  "},
        {padRight("x", -4), "x"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected);
}

} // namespace
} // namespace krvx
