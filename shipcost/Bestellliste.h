#pragma once
// The order list of the ship cost calculator: entries in the order they were
// added, line k of the shown list is entry k. The storage grows by one slot per
// add and is never shrunk by a removal (the slot falling out of use is cleared);
// only entries 0 .. Bestellungen_length - 1 are valid.

#include <cstdint>
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

enum class AddErgebnis {
    Hinzugefuegt, // one entry added: show its line, then recompute
    NichtsHinzugefuegt, // count not above 0: recompute only
    Fehlgeschlagen, // reported as "Fehler in CmdAdd."; nothing more happens
};

class Bestellliste {
public:
    static constexpr std::int16_t kMaxEintraege = 32767;

    std::vector<Bestellung> Bestellungen{Bestellung{}};
    std::int16_t Bestellungen_length = 0;

    // Add: the count text read as a number; above 0 it is rounded half to even
    // into a 32-bit integer, the surcharge text narrowed to a 32-bit float, the
    // ship text kept as it is. A count or surcharge out of range, or a full
    // list, is reported and adds nothing.
    AddErgebnis add(std::string_view schiff, std::string_view anzahlText, std::string_view zuschlagText,
                    MessageService& messages);

    // Remove entry s, moving the later entries up. s outside the valid entries
    // (-1 when nothing is selected) is reported as "Fehler in CmdSub_Click."
    // and changes nothing; returns whether the entry was removed.
    bool remove(int s, MessageService& messages);

    // Closing the form: no entries, one cleared slot.
    void leeren();
};

} // namespace krvx
