#pragma once
// tausch.dat: the five amount texts of the exchange window kept between runs.
// Line 1 holds the texts in print style (14-column zones), line 2 the rate
// files' trailing value in record style. The credits are not kept.

#include <array>
#include <string>

#include "common/fields.h"
#include "common/regional.h"
#include "common/resources.h"

namespace krvx {

using Mengen = FuenfTexte;

// The file's content. Each text is written as it stands; a text that would
// not read back unchanged (empty, holding a comma or a blank, a number in
// another form than the regional one) is written in double quotes.
std::string tauschDatContent(const Mengen& amounts, const FieldValue& kursvermerk, const RegionalSettings& regional);

// The first five fields of the content: a number becomes its regional text,
// anything else is taken as its text; a field the content does not have is empty.
Mengen parseTauschDat(std::string content, const RegionalSettings& regional);

} // namespace krvx
