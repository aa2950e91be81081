#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "production/Produktionszeit.h"

namespace krvx {
namespace {

struct ZeitFall {
    const char* produktion;
    const char* ziel;
    std::optional<std::string> zeit;
};

class ZeitTest : public testing::TestWithParam<ZeitFall> {};

TEST_P(ZeitTest, TimeUntilTheTarget) {
    const ZeitFall& f = GetParam();
    EXPECT_EQ(produktionszeitBerechnen(f.produktion, f.ziel), f.zeit)
        << "production '" << f.produktion << "', target '" << f.ziel << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ZeitTest,
    testing::Values(ZeitFall{"100", "250", "02:30"}, ZeitFall{"7", "100", "14:17"}, // 857.14 minutes
                    ZeitFall{"60", "59.5", "01:00"}, // 59.5 rounds to 60 and carries
                    ZeitFall{"40", "1", "00:02"}, // 1.5 rounds up to the even 2
                    ZeitFall{"3", "0.125", "00:02"}, // 2.5 rounds down to the even 2
                    ZeitFall{"120", "1", "00:00"}, // a half minute rounds to 0
                    ZeitFall{"250", "60000", "240:00"}, // no wrap at a day
                    ZeitFall{"1", "600000", "600000:00"}, // every digit of the hours
                    ZeitFall{"60", "-30", "-01:30"},
                    ZeitFall{"60", "-0.2", "00:00"}, // -1 hour + 59.8 minutes carries to 0
                    ZeitFall{"100", "0", "00:00"}, ZeitFall{"100", "abc", "00:00"}, ZeitFall{"100", "", "00:00"},
                    ZeitFall{"60", "90,6", "01:31"}, // the first comma is the decimal point (the old program read 90)
                    ZeitFall{"5", "12,5", "02:30"}, // an amount the window wrote in amount mode
                    ZeitFall{"2,5", "10", "04:00"}, ZeitFall{"60", "1,75,5", "00:02"}, // only the first
                    ZeitFall{"1 000", "1 500", "01:30"}, // blanks inside are skipped
                    ZeitFall{" 60", " 1200", "20:00"}, // handed-over texts with their blank
                    ZeitFall{"0.5", "1", "02:00"}, ZeitFall{"1", "1E20", "100000000000000000000:00"},
                    ZeitFall{"60", "123456789012345678901", "2057613150205760000:00"},
                    ZeitFall{"1", "-1E20", "-100000000000000000000:00"},
                    // no time: the box keeps its text
                    ZeitFall{"0", "250", std::nullopt}, ZeitFall{"-5", "250", std::nullopt},
                    ZeitFall{"abc", "250", std::nullopt}, ZeitFall{"", "250", std::nullopt},
                    ZeitFall{"1E-300", "1E300", std::nullopt})); // beyond the double range

TEST(ZeitZeilen, OnlyRowsWithAProductionChange) {
    const FuenfTexte produktion{"100", "0", "7", "abc", "-1"};
    const FuenfTexte ziel{"250", "500", "100", "5", "5"};
    FuenfTexte zeiten{"0", "alt", "0", "12:00", "x"};
    produktionszeitBerechnen(produktion, ziel, zeiten);
    EXPECT_EQ(zeiten, (FuenfTexte{"02:30", "alt", "14:17", "12:00", "x"}));
}

TEST(Dauer, FirstCommaBecomesAPoint) {
    const std::pair<const char*, const char*> faelle[] = {{"2,5", "2.5"}, {"12,25", "12.25"},  {"1,2,3", "1.2,3"},
                                                          {",5", ".5"},   {"2.5", "2.5"},      {"", ""},
                                                          {"abc", "abc"}, {" 3 ,5 ", " 3 .5 "}};
    for (const auto& [ein, aus] : faelle) EXPECT_EQ(dauerNormalisieren(ein), aus) << ein;
}

struct MengenFall {
    const char* dauer;
    const char* produktion;
    std::optional<std::string> deutsch;
    std::optional<std::string> englisch;
};

class MengenTest : public testing::TestWithParam<MengenFall> {};

TEST_P(MengenTest, AmountAfterHours) {
    const MengenFall& f = GetParam();
    EXPECT_EQ(mengenBerechnen(f.dauer, f.produktion, RegionalSettings::german()), f.deutsch)
        << f.dauer << " x " << f.produktion;
    EXPECT_EQ(mengenBerechnen(f.dauer, f.produktion, RegionalSettings::english()), f.englisch)
        << f.dauer << " x " << f.produktion;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MengenTest,
    testing::Values(MengenFall{"2.5", "100", "250", "250"}, MengenFall{"12.25", "4", "49", "49"},
                    MengenFall{"1.5", "125", "187,5", "187.5"}, MengenFall{"0.5", "1", "0,5", "0.5"},
                    MengenFall{"3", "0.1", "0,3", "0.3"}, // 15 significant digits
                    MengenFall{"2", "-3", "-6", "-6"}, MengenFall{"", "100", "0", "0"},
                    MengenFall{"abc", "100", "0", "0"},
                    MengenFall{"2", "1,5", "3", "3"}, // the production reads its comma (the old program read 1)
                    MengenFall{"1E10", "1E10", "1E+20", "1E+20"},
                    MengenFall{"1", "123456789012345678", "1,23456789012346E+17", "1.23456789012346E+17"},
                    MengenFall{"1", "999999999999999", "999999999999999", "999999999999999"},
                    MengenFall{"1E200", "1E200", std::nullopt, std::nullopt}));

TEST(MengenZeilen, NormalisesTheHoursAndFillsEveryRow) {
    const FuenfTexte produktion{"100", "4", "125", "abc", "1E308"};
    FuenfTexte ziel{"x", "x", "x", "x", "alt"};
    std::string dauer = "2,5";
    mengenBerechnen(dauer, produktion, ziel, RegionalSettings::german());
    EXPECT_EQ(dauer, "2.5");
    EXPECT_EQ(ziel, (FuenfTexte{"250", "10", "312,5", "0", "alt"}));

    dauer = "";
    mengenBerechnen(dauer, produktion, ziel, RegionalSettings::german());
    EXPECT_EQ(dauer, "");
    EXPECT_EQ(ziel, (FuenfTexte{"0", "0", "0", "0", "0"}));
}

} // namespace
} // namespace krvx
