#pragma once
// The calculator's failures and their box: the routine's name,
// the failure's number and description (its text made in common/messagetexts).

#include <string>
#include <string_view>

#include "common/messages.h"

namespace krvx {

struct Fehler {
    int nummer = 0;
    std::string beschreibung;
};

// The failures the calculator knows, each with its number and German text.
namespace fehler {
Fehler schiffUnbekannt(std::string_view schiff); // 1
Fehler anzahlZuGross(); // 2
Fehler zuschlagZuGross(); // 3
Fehler listeVoll(); // 4
Fehler keineZeileGewaehlt(); // 5
Fehler ergebnisZuGross(); // 6
Fehler fensterFehlt(std::string_view fenster); // 7
} // namespace fehler

// The box that reports it: OK button, no icon, the application's title.
Meldung fehlerMeldung(std::string_view routine, const Fehler& fehler);

} // namespace krvx
