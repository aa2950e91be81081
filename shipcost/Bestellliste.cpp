#include "shipcost/Bestellliste.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

#include "common/numbers.h"
#include "shipcost/Fehlermeldung.h"

namespace krvx {

namespace {

constexpr std::string_view kAddRoutine = "CmdAdd";
constexpr std::string_view kRemoveRoutine = "CmdSub_Click";

// The surcharge as "00#" after rounding halves away from zero. A float that
// does not fit a 64-bit integer is already whole and is written with all digits.
std::string zuschlagText(float zuschlag) {
    const double gerundet = std::round(static_cast<double>(zuschlag));
    if (std::fabs(gerundet) < 9.0e18) {
        return formatPattern(static_cast<long long>(gerundet), 3);
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.0f", gerundet);
    return buffer;
}

} // namespace

std::string listenzeile(const Bestellung& bestellung) {
    std::string zeile = padRight(bestellung.schiff, 31);
    zeile += '\t';
    zeile += formatPattern(bestellung.anzahl, 3);
    zeile += " Stück";
    zeile += '\t';
    zeile += zuschlagText(bestellung.zuschlag);
    zeile += '%';
    return zeile;
}

AddErgebnis Bestellliste::add(std::string_view schiff, std::string_view anzahlText, std::string_view zuschlagText) {
    const auto fehlgeschlagen = [](const Fehler& f) { return AddErgebnis{false, {fehlerMeldung(kAddRoutine, f)}}; };
    const double c = parseLeadingNumber(anzahlText);
    if (!(c > 0)) {
        return {};
    }
    if (Bestellungen_.size() >= kMaxEintraege) {
        return fehlgeschlagen(fehler::listeVoll());
    }
    const std::optional<std::int32_t> anzahl = toInt32(c);
    if (!anzahl) {
        return fehlgeschlagen(fehler::anzahlZuGross());
    }
    const double zuschlag = parseLeadingNumber(zuschlagText);
    if (!(std::fabs(zuschlag) <= FLT_MAX)) {
        return fehlgeschlagen(fehler::zuschlagZuGross());
    }
    Bestellungen_.push_back({std::string(schiff), *anzahl, static_cast<float>(zuschlag)});
    return {true, {}};
}

Meldungen Bestellliste::remove(int s) {
    if (s < 0 || static_cast<std::size_t>(s) >= Bestellungen_.size()) {
        return {fehlerMeldung(kRemoveRoutine, fehler::keineZeileGewaehlt())};
    }
    Bestellungen_.erase(Bestellungen_.begin() + s);
    return {};
}

} // namespace krvx
