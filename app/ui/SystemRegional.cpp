#include "app/ui/SystemRegional.h"

#include "common/ui/Controls.h"

namespace krvx {

RegionalSettings regionalSettingsOf(const QLocale& locale) {
    if (locale.language() == QLocale::C) {
        return RegionalSettings::german();
    }
    RegionalSettings settings;
    settings.decimalSeparator = fromQ(locale.decimalPoint());
    settings.groupSeparator = fromQ(locale.groupSeparator());
    for (int month = 1; month <= 12; ++month) {
        settings.monthNames[static_cast<std::size_t>(month - 1)] = fromQ(locale.monthName(month, QLocale::LongFormat));
    }
    return settings;
}

} // namespace krvx
