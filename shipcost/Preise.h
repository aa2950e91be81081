#pragma once
// Prices of an order: the cost of one ship by name and resource, and the five
// totals of the order list with the overall surcharge and the ship trader's
// 20 % discount.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/Schiffstyp.h"
#include "common/messages.h"
#include "common/resources.h"
#include "shipcost/Bestellliste.h"

namespace krvx {

// The catalogue's counted entries by name: the first entry of a name wins,
// names compare exactly (case and blanks count). Built once per computation, so
// a computation costs time in proportion to catalogue plus order list.
class PreisIndex {
public:
    explicit PreisIndex(std::span<const Schiffstyp> schiffstypen);
    const Schiffstyp* find(std::string_view name) const;

private:
    // Open addressing with linear probing in a table of at least twice the
    // entries: one allocation, no node per name.
    struct Slot {
        std::size_t hash = 0;
        const Schiffstyp* typ = nullptr; // nullptr: free
    };
    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
};

// The cost of one ship of type `typ` in `rohstoff` ("Erz" .. "Ene", exact);
// any other resource text costs 0.
std::int32_t kosten(const Schiffstyp& typ, std::string_view rohstoff);

// The five result texts, Erz .. Ene, each by the number-to-text rule.
using Ergebnisse = FuenfTexte;

struct Preisrechnung {
    std::optional<Ergebnisse> texte; // none: the result fields keep what they showed
    Meldungen meldungen; // in order
};

// PreisBerechnen: each entry adds anzahl * (zuschlag / 100 + 1) times its
// price to each resource; the finished sums are multiplied by
// (overall surcharge / 100 + 1) and, for the ship trader, by 0.8. An unknown
// ship counts 0 and gives the box "Fehler in Preis." once per resource, as the
// old price lookup did. A sum beyond the double range gives the box
// "Fehler in PreisBerechnen." and no texts.
Preisrechnung PreisBerechnen(const Bestellliste& liste, const PreisIndex& index, std::string_view gesZuschlagText,
                             bool schiffshaendler);

} // namespace krvx
