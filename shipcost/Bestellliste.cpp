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

AddErgebnis Bestellliste::add(std::string_view schiff, std::string_view anzahlText,
                              std::string_view zuschlagText, MessageService& messages) {
    const double c = parseLeadingNumber(anzahlText);
    if (!(c > 0)) {
        return AddErgebnis::NichtsHinzugefuegt;
    }
    if (Bestellungen_length >= kMaxEintraege) {
        fehlerMelden(messages, kAddRoutine, fehler::listeVoll());
        return AddErgebnis::Fehlgeschlagen;
    }
    const auto index = static_cast<std::size_t>(Bestellungen_length);
    if (Bestellungen.size() <= index) {
        Bestellungen.resize(index + 1);
    }
    Bestellung& slot = Bestellungen[index];

    const std::optional<std::int32_t> anzahl = toInt32(c);
    if (!anzahl) {
        fehlerMelden(messages, kAddRoutine, fehler::anzahlZuGross());
        return AddErgebnis::Fehlgeschlagen;
    }
    slot.anzahl = *anzahl;

    const double zuschlag = parseLeadingNumber(zuschlagText);
    if (!(std::fabs(zuschlag) <= FLT_MAX)) {
        fehlerMelden(messages, kAddRoutine, fehler::zuschlagZuGross());
        return AddErgebnis::Fehlgeschlagen;
    }
    slot.zuschlag = static_cast<float>(zuschlag);
    slot.schiff = std::string(schiff);

    ++Bestellungen_length;
    return AddErgebnis::Hinzugefuegt;
}

bool Bestellliste::remove(int s, MessageService& messages) {
    if (s < 0 || s >= Bestellungen_length) {
        fehlerMelden(messages, kRemoveRoutine, fehler::keineZeileGewaehlt());
        return false;
    }
    const auto last = static_cast<std::size_t>(Bestellungen_length - 1);
    for (auto j = static_cast<std::size_t>(s); j < last; ++j) {
        Bestellungen[j] = std::move(Bestellungen[j + 1]);
    }
    Bestellungen[last] = Bestellung{};
    --Bestellungen_length;
    return true;
}

void Bestellliste::leeren() {
    Bestellungen_length = 0;
    Bestellungen.assign(1, Bestellung{});
}

} // namespace krvx
