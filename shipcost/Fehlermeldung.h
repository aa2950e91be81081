#pragma once
// The calculator's error report: a box with the routine's message, then LF CR,
// the failure's number (with its leading blank), a blank and its description.

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

// "Fehler in " + routine + "." + LF CR + number + " " + description.
std::string fehlerText(std::string_view routine, const Fehler& fehler);

// Shows the report: OK button, no icon, the application's title.
void fehlerMelden(MessageService& messages, std::string_view routine, const Fehler& fehler);

} // namespace krvx
