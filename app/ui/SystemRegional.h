#pragma once

#include <QLocale>

#include "common/regional.h"

namespace krvx {

// The regional settings of a locale: its decimal and grouping characters and
// its full month names. The C/POSIX locale sets none; the program is built for
// German, so German applies there.
RegionalSettings regionalSettingsOf(const QLocale& locale);

} // namespace krvx
