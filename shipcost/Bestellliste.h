#pragma once
// The order list of the ship cost calculator: entries in the order they were
// added, line k of the shown list is entry k.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/messages.h"
#include "shipcost/Bestellung.h"

namespace krvx {

// The text of one list line: the ship name padded to 31 characters, a tab, the
// count as "00#" with " Stück", a tab, the surcharge rounded (halves away from
// zero) as "00#" with "%".
std::string listenzeile(const Bestellung& bestellung);

// What an add did: one entry added (show its line, then recompute), nothing
// added for a count not above 0 (recompute only), or a failure's box
// "Fehler in CmdAdd." to show, after which nothing more happens.
struct AddErgebnis {
    bool hinzugefuegt = false;
    Meldungen meldungen;
};

class Bestellliste {
public:
    static constexpr std::int16_t kMaxEintraege = 32767;

    std::span<const Bestellung> Bestellungen() const { return Bestellungen_; }

    // Add: the count text read as a number; above 0 it is rounded half to even
    // into a 32-bit integer, the surcharge text narrowed to a 32-bit float, the
    // ship text kept as it is. A count or surcharge out of range, or a full
    // list, fails and adds nothing.
    AddErgebnis add(std::string_view schiff, std::string_view anzahlText, std::string_view zuschlagText);

    // Remove entry s, moving the later entries up. s outside the entries (-1
    // when nothing is selected) changes nothing and gives the box
    // "Fehler in CmdSub_Click."; a removal gives none.
    Meldungen remove(int s);

    // Closing the form: no entries.
    void leeren() { Bestellungen_.clear(); }

private:
    std::vector<Bestellung> Bestellungen_;
};

} // namespace krvx
