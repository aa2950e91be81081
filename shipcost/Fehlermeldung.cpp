#include "shipcost/Fehlermeldung.h"

#include "common/messagetexts.h"

namespace krvx {

namespace fehler {

Fehler schiffUnbekannt(std::string_view schiff) {
    return {1, "Schiffstyp „" + std::string(schiff) + "“ steht nicht im Schiffskatalog"};
}
Fehler anzahlZuGross() {
    return {2, "Anzahl zu groß (höchstens 2147483647)"};
}
Fehler zuschlagZuGross() {
    return {3, "Zuschlag außerhalb des Zahlenbereichs"};
}
Fehler listeVoll() {
    return {4, "Die Liste ist voll (höchstens 32767 Einträge)"};
}
Fehler keineZeileGewaehlt() {
    return {5, "Keine Zeile der Liste ausgewählt"};
}
Fehler ergebnisZuGross() {
    return {6, "Ergebnis außerhalb des Zahlenbereichs"};
}
Fehler fensterFehlt(std::string_view fenster) {
    return {7, "Fenster " + std::string(fenster) + " lässt sich nicht öffnen"};
}

} // namespace fehler

Meldung fehlerMeldung(std::string_view routine, const Fehler& fehler) {
    return {routineErrorText(routine, fehler.nummer, fehler.beschreibung)};
}

} // namespace krvx
