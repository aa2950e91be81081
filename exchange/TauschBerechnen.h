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

// One run. Reads the fields, writes the tidied inputs (each write may start a
// nested run through the window's change events) and the results; a failure
// ends the run with one box under the caption "Fehler!" and leaves the results
// written so far. The conversions load the rate tables when they are not
// loaded yet and report their loading failures themselves.
void TauschBerechnen(TauschFelder& fields, Tausch& tausch, const RegionalSettings& regional,
                     MessageService& messages);

} // namespace krvx
