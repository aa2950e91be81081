#pragma once
// The rate editor's view of creditkurse.dat: three records (buying, selling,
// raw-material trader) of five fields (Erz, Alu, Leg, Kri, Ene), shown as
// texts in the user's number format. Reading and writing go through five
// holders, one per resource, that carry their contents from one record to the
// next: a field missing from the file shows the same resource's value of the
// record before, and a box that holds no number writes that value back.

#include <array>
#include <string>

#include "common/regional.h"
#include "common/resources.h"

namespace krvx {

// texts[record][resource]: record 0 "Kaufkurs", 1 "Verkaufskurs", 2 "RH-Kurs".
using CreditRateTexts = std::array<FuenfTexte, 3>;

// The field texts for the decoded file content: numbers in the regional
// format, texts unchanged, empty fields and holders never filled as "".
CreditRateTexts parseCreditkurse(const std::string& content, const RegionalSettings& regional);

// The three record-style lines for the box texts read by the regional rule;
// a holder still empty in the first record is written as an empty field.
std::string creditkurseContent(const CreditRateTexts& texts, const RegionalSettings& regional);

} // namespace krvx
