#include <QLocale>
#include <gtest/gtest.h>

#include "app/ui/SystemRegional.h"

namespace krvx {
namespace {

TEST(SystemRegional, SettingsOfTheSystemLocale) {
    struct Case {
        QLocale locale;
        const char* decimal;
        const char* group;
        const char* march;
        const char* december;
    };
    const Case cases[] = {
        {QLocale::c(), ",", ".", "März", "Dezember"}, // no settings: German
        {QLocale(QLocale::German, QLocale::Germany), ",", ".", "März", "Dezember"},
        {QLocale(QLocale::English, QLocale::UnitedStates), ".", ",", "March", "December"},
        {QLocale(QLocale::German, QLocale::Switzerland), ".", "’", "März", "Dezember"},
        {QLocale(QLocale::French, QLocale::France), ",", "\u202f", "mars", "décembre"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        const RegionalSettings settings = regionalSettingsOf(c.locale);
        EXPECT_EQ(settings.decimalSeparator, c.decimal);
        EXPECT_EQ(settings.groupSeparator, c.group);
        EXPECT_EQ(settings.monthNames[2], c.march);
        EXPECT_EQ(settings.monthNames[11], c.december);
    }
}

} // namespace
} // namespace krvx
