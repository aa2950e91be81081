#pragma once
// The exchange computation: tidies the six input texts, then writes the credits
// the whole trade is worth and, for each resource, the amount that settles it.

#include <string>

#include "common/messages.h"
#include "common/regional.h"
#include "exchange/TauschFelder.h"
#include "rates/Tausch.h"

namespace krvx {

// Failure codes of a run.
inline constexpr int kFehlerUeberlauf = 6;
inline constexpr int kFehlerDivisionDurchNull = 11;
inline constexpr int kFehlerKeineZahl = 13;

// The text of the box that reports a failure code.
std::string tauschFehlermeldung(int code);

// One run. Reads the fields, writes the tidied inputs (a write may start a
// nested run) and the results; a failure
// ends the run and leaves the results written so far. The conversions load the
// rate tables when they are not loaded yet. Returns the boxes to show, in
// order: the loading failures, then the failure that ended the run under the
// caption "Fehler!".
Meldungen TauschBerechnen(TauschFelder& fields, Tausch& tausch, const RegionalSettings& regional);

} // namespace krvx
