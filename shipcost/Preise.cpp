#include "shipcost/Preise.h"

#include <cmath>

#include "common/numbers.h"
#include "shipcost/Fehlermeldung.h"

namespace krvx {

PreisIndex::PreisIndex(const std::vector<Schiffstyp>& schiffstypen, std::int16_t schiffstypen_length) {
    const std::size_t count =
        std::min(schiffstypen.size(), static_cast<std::size_t>(std::max<std::int16_t>(schiffstypen_length, 0)));
    byName_.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        byName_.emplace(schiffstypen[i].name, &schiffstypen[i]);  // keeps the first of a name
    }
}

const Schiffstyp* PreisIndex::find(std::string_view name) const {
    const auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

std::int32_t kosten(const Schiffstyp& typ, std::string_view rohstoff) {
    if (rohstoff == "Erz") return typ.erz;
    if (rohstoff == "Alu") return typ.alu;
    if (rohstoff == "Leg") return typ.leg;
    if (rohstoff == "Kri") return typ.kri;
    if (rohstoff == "Ene") return typ.ene;
    return 0;
}

namespace {

constexpr std::string_view kPreisRoutine = "Preis";

std::optional<std::int32_t> preisVon(const Schiffstyp* typ, std::string_view schiff, std::string_view rohstoff,
                                     MessageService& messages) {
    if (typ == nullptr) {
        fehlerMelden(messages, kPreisRoutine, fehler::schiffUnbekannt(schiff));
        return std::nullopt;
    }
    return kosten(*typ, rohstoff);
}

} // namespace

std::optional<std::int32_t> Preis(const PreisIndex& index, std::string_view schiff, std::string_view rohstoff,
                                  MessageService& messages) {
    return preisVon(index.find(schiff), schiff, rohstoff, messages);
}

std::optional<Ergebnisse> PreisBerechnen(const Bestellliste& liste, const PreisIndex& index,
                                         std::string_view gesZuschlagText, bool schiffshaendler,
                                         MessageService& messages) {
    std::array<double, 5> summen{};
    for (std::int16_t k = 0; k < liste.Bestellungen_length; ++k) {
        const Bestellung& b = liste.Bestellungen[static_cast<std::size_t>(k)];
        const double faktor = b.anzahl * (static_cast<double>(b.zuschlag) / 100 + 1);
        // One lookup serves the entry's five prices; an unknown ship still
        // fails once per resource, as five separate lookups would.
        const Schiffstyp* typ = index.find(b.schiff);
        for (std::size_t r = 0; r < kRohstoffe.size(); ++r) {
            const std::optional<std::int32_t> preis = preisVon(typ, b.schiff, kRohstoffe[r], messages);
            summen[r] += faktor * preis.value_or(0);
        }
    }

    const double g = parseLeadingNumber(gesZuschlagText);
    const double gesamtFaktor = g / 100 + 1;
    Ergebnisse texte;
    for (std::size_t r = 0; r < summen.size(); ++r) {
        double summe = summen[r] * gesamtFaktor;
        if (schiffshaendler) {
            summe *= 0.8;
        }
        if (!std::isfinite(summe) || !std::isfinite(gesamtFaktor)) {
            fehlerMelden(messages, "PreisBerechnen", fehler::ergebnisZuGross());
            return std::nullopt;
        }
        texte[r] = formatNumber(summe + 0.0);  // + 0.0 turns -0 into 0
    }
    return texte;
}

} // namespace krvx
