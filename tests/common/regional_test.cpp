#include "common/regional.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace krvx {
namespace {

enum class Locale { German, English };

RegionalSettings settingsOf(Locale locale) {
    return locale == Locale::German ? RegionalSettings::german() : RegionalSettings::english();
}

struct ParseCase {
    Locale locale;
    const char* text;
    LocaleParseError error;
    double value;
};

class ParseLocaleNumberTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseLocaleNumberTest, ReadsOrFails) {
    const ParseCase& c = GetParam();
    const LocaleNumber result = parseLocaleNumber(c.text, settingsOf(c.locale));
    EXPECT_EQ(result.error, c.error) << '"' << c.text << '"';
    EXPECT_EQ(result.ok(), c.error == LocaleParseError::None);
    if (result.ok()) {
        EXPECT_DOUBLE_EQ(result.value, c.value) << '"' << c.text << '"';
        EXPECT_FALSE(std::signbit(result.value) && result.value == 0.0) << "negative zero";
    }
}

constexpr auto None = LocaleParseError::None;
constexpr auto NaN = LocaleParseError::NotANumber;
constexpr auto Overflow = LocaleParseError::Overflow;

INSTANTIATE_TEST_SUITE_P(
    German, ParseLocaleNumberTest,
    ::testing::Values(ParseCase{Locale::German, "1,5", None, 1.5}, ParseCase{Locale::German, "0,5", None, 0.5},
                      ParseCase{Locale::German, ",5", None, 0.5}, ParseCase{Locale::German, "5,", None, 5},
                      ParseCase{Locale::German, "1.000.000", None, 1e6}, ParseCase{Locale::German, "1.5", None, 15},
                      ParseCase{Locale::German, "1.000,25", None, 1000.25},
                      ParseCase{Locale::German, "10.00", None, 1000}, ParseCase{Locale::German, " 3150", None, 3150},
                      ParseCase{Locale::German, "3150  ", None, 3150}, ParseCase{Locale::German, "\t42\t", None, 42},
                      ParseCase{Locale::German, "-0", None, 0}, ParseCase{Locale::German, "-2,5", None, -2.5},
                      ParseCase{Locale::German, "+7", None, 7}, ParseCase{Locale::German, "1,5E+20", None, 1.5e20},
                      ParseCase{Locale::German, "1,5e20", None, 1.5e20}, ParseCase{Locale::German, "2E-3", None, 0.002},
                      ParseCase{Locale::German, "1E-400", None, 0}, ParseCase{Locale::German, "1E400", Overflow, 0},
                      ParseCase{Locale::German, "-1E400", Overflow, 0}, ParseCase{Locale::German, "", NaN, 0},
                      ParseCase{Locale::German, "   ", NaN, 0}, ParseCase{Locale::German, "abc", NaN, 0},
                      ParseCase{Locale::German, "1,000,000", NaN, 0}, ParseCase{Locale::German, "10%", NaN, 0},
                      ParseCase{Locale::German, "1 000", NaN, 0}, ParseCase{Locale::German, "- 5", NaN, 0},
                      ParseCase{Locale::German, "5-", NaN, 0}, ParseCase{Locale::German, ",", NaN, 0},
                      ParseCase{Locale::German, "-", NaN, 0}, ParseCase{Locale::German, "E5", NaN, 0},
                      ParseCase{Locale::German, "1E", NaN, 0}, ParseCase{Locale::German, "1D3", NaN, 0},
                      ParseCase{Locale::German, "&H1F", NaN, 0}, ParseCase{Locale::German, ".", NaN, 0}));

INSTANTIATE_TEST_SUITE_P(English, ParseLocaleNumberTest,
                         ::testing::Values(ParseCase{Locale::English, "1.5", None, 1.5},
                                           ParseCase{Locale::English, "1,000,000", None, 1e6},
                                           ParseCase{Locale::English, "1,5", None, 15},
                                           ParseCase{Locale::English, "1.5E+20", None, 1.5e20},
                                           ParseCase{Locale::English, "1.000.000", NaN, 0},
                                           ParseCase{Locale::English, " .25 ", None, 0.25}));

TEST(ParseLocaleNumber, OtherSeparatorsOfTheSettingsApply) {
    RegionalSettings swiss;
    swiss.decimalSeparator = ".";
    swiss.groupSeparator = "\xE2\x80\x99"; // right single quotation mark
    EXPECT_DOUBLE_EQ(parseLocaleNumber("1\xE2\x80\x99"
                                       "234.5",
                                       swiss)
                         .value,
                     1234.5);
    EXPECT_EQ(parseLocaleNumber("1,5", swiss).error, LocaleParseError::NotANumber);
}

struct FormatCase {
    Locale locale;
    double value;
    const char* expected;
};

class FormatLocaleNumberTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatLocaleNumberTest, WritesTheLocaleForm) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(formatLocaleNumber(c.value, settingsOf(c.locale)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FormatLocaleNumberTest,
    ::testing::Values(FormatCase{Locale::German, 0.5, "0,5"}, FormatCase{Locale::German, -0.5, "-0,5"},
                      FormatCase{Locale::German, 1e15, "1E+15"}, FormatCase{Locale::German, 1.5e20, "1,5E+20"},
                      FormatCase{Locale::German, 0, "0"}, FormatCase{Locale::German, -0.0, "0"},
                      FormatCase{Locale::German, 1000000, "1000000"}, FormatCase{Locale::German, 2520.5, "2520,5"},
                      FormatCase{Locale::German, 1.0 / 3.0, "0,333333333333333"},
                      FormatCase{Locale::German, 1.5e-5, "1,5E-05"}, FormatCase{Locale::German, 0.0001, "0,0001"},
                      FormatCase{Locale::German, 999999999999999.0, "999999999999999"},
                      FormatCase{Locale::German, -1234.5, "-1234,5"},
                      FormatCase{Locale::German, 1.79769313486231e308, "1,79769313486231E+308"},
                      FormatCase{Locale::German, -1.7976931348623157e308, "-1,7976931348623157E+308"},
                      FormatCase{Locale::English, 0.5, "0.5"}, FormatCase{Locale::English, 1.5e20, "1.5E+20"},
                      FormatCase{Locale::English, 1234567.25, "1234567.25"}));

TEST(FormatLocaleNumber, ReadsBackUnderTheSameSettings) {
    for (Locale locale : {Locale::German, Locale::English}) {
        for (double v : {0.5, -2.5, 1e15, 1.5e-5, 1234.5678, 7.25e44, 1e-300}) {
            const LocaleNumber back = parseLocaleNumber(formatLocaleNumber(v, settingsOf(locale)), settingsOf(locale));
            ASSERT_TRUE(back.ok()) << v;
            EXPECT_DOUBLE_EQ(back.value, v);
        }
    }
}

} // namespace
} // namespace krvx
