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

// Preis: the cost of one ship named `schiff` in `rohstoff`. A name that is not
// in the catalogue is reported as "Fehler in Preis." and gives no value.
std::optional<std::int32_t> Preis(const PreisIndex& index, std::string_view schiff, std::string_view rohstoff,
                                  MessageService& messages);

// The five result texts, Erz .. Ene, each by the number-to-text rule.
using Ergebnisse = FuenfTexte;

// PreisBerechnen: each valid entry adds anzahl * (zuschlag / 100 + 1) times its
// price to each resource; the finished sums are multiplied by
// (overall surcharge / 100 + 1) and, for the ship trader, by 0.8. Unknown ships
// are reported by Preis (once per resource) and count 0. A sum beyond the
// double range is reported as "Fehler in PreisBerechnen." and gives no texts:
// the result fields keep what they showed.
std::optional<Ergebnisse> PreisBerechnen(const Bestellliste& liste, const PreisIndex& index,
                                         std::string_view gesZuschlagText, bool schiffshaendler,
                                         MessageService& messages);

} // namespace krvx
