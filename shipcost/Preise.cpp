#include "shipcost/Preise.h"

#include <cmath>
#include <functional>

#include "common/numbers.h"
#include "shipcost/Fehlermeldung.h"

namespace krvx {

PreisIndex::PreisIndex(std::span<const Schiffstyp> schiffstypen) {
    std::size_t size = 16;
    while (size < 2 * schiffstypen.size()) {
        size *= 2;
    }
    slots_.resize(size);
    mask_ = size - 1;
    const std::hash<std::string_view> hasher;
    // A later entry of a name lands further along the probe sequence than the
    // first one, so find meets the first entry of a name first.
    for (const Schiffstyp& typ : schiffstypen) {
        const std::size_t hash = hasher(typ.name);
        std::size_t pos = hash & mask_;
        while (slots_[pos].typ != nullptr) {
            pos = (pos + 1) & mask_;
        }
        slots_[pos] = {hash, &typ};
    }
}

const Schiffstyp* PreisIndex::find(std::string_view name) const {
    const std::size_t hash = std::hash<std::string_view>{}(name);
    for (std::size_t pos = hash & mask_; slots_[pos].typ != nullptr; pos = (pos + 1) & mask_) {
        if (slots_[pos].hash == hash && slots_[pos].typ->name == name) {
            return slots_[pos].typ;
        }
    }
    return nullptr;
}

namespace {

// The cost fields in resource order, matching kRessourcenNamen.
constexpr std::array<std::int32_t Schiffstyp::*, kRessourcen> kFelder{
    &Schiffstyp::erz, &Schiffstyp::alu, &Schiffstyp::leg, &Schiffstyp::kri, &Schiffstyp::ene};

} // namespace

std::int32_t kosten(const Schiffstyp& typ, std::string_view rohstoff) {
    const std::optional<int> r = ressourcenIndex(rohstoff);
    return r ? typ.*kFelder[static_cast<std::size_t>(*r)] : 0;
}

Preisrechnung PreisBerechnen(const Bestellliste& liste, const PreisIndex& index, std::string_view gesZuschlagText,
                             bool schiffshaendler) {
    Preisrechnung rechnung;
    std::array<double, kRessourcen> summen{};
    for (const Bestellung& b : liste.Bestellungen()) {
        const double faktor = b.anzahl * (static_cast<double>(b.zuschlag) / 100 + 1);
        // One lookup serves the entry's five prices; an unknown ship still
        // fails once per resource, as five separate lookups would.
        const Schiffstyp* typ = index.find(b.schiff);
        for (std::size_t r = 0; r < kFelder.size(); ++r) {
            if (typ == nullptr) {
                rechnung.meldungen.push_back(fehlerMeldung("Preis", fehler::schiffUnbekannt(b.schiff)));
            } else {
                summen[r] += faktor * (typ->*kFelder[r]);
            }
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
            rechnung.meldungen.push_back(fehlerMeldung("PreisBerechnen", fehler::ergebnisZuGross()));
            return rechnung;
        }
        texte[r] = formatNumber(summe + 0.0); // + 0.0 turns -0 into 0
    }
    rechnung.texte = texte;
    return rechnung;
}

} // namespace krvx
