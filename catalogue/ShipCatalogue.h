#pragma once
// The program-wide ship catalogue: the entries of schiffe.dat in file order,
// and the catalogue editor's pending new entry apart from them, behind members
// that keep both in step.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "catalogue/Schiffstyp.h"

namespace krvx {

class Debugging;

// The counted entries and the pending one as a whole: the editor keeps the
// state last read from schiffe.dat while an edit is taken over and saved, and a
// save that fails puts it back, so the calculators never see what the file does
// not hold.
struct CatalogueState {
    std::vector<Schiffstyp> Schiffstypen;
    std::optional<Schiffstyp> pending;
};

class ShipCatalogue {
public:
    static constexpr std::int16_t kMaxEntries = 32767;

    explicit ShipCatalogue(Debugging& log) : log_(log) {}

    // The counted entries, 0 .. Schiffstypen_length() - 1; never the pending one.
    std::span<const Schiffstyp> Schiffstypen() const { return state_.Schiffstypen; }
    std::int16_t Schiffstypen_length() const { return static_cast<std::int16_t>(state_.Schiffstypen.size()); }

    // The pending entry, or nullptr.
    const Schiffstyp* pending() const { return state_.pending ? &*state_.pending : nullptr; }

    // The entries a save writes: the counted ones, then the pending one.
    std::vector<Schiffstyp> entriesWithPending() const;

    // The entry at the index, counted or pending (at Schiffstypen_length());
    // nullptr for any other index.
    Schiffstyp* entryAt(std::int16_t index);

    const CatalogueState& state() const { return state_; }
    void restore(CatalogueState state) { state_ = std::move(state); }

    // The first counted entry whose name equals the text exactly, or nullptr.
    const Schiffstyp* find(std::string_view name) const;

    // Appends an entry in place of a pending one, logging "Start: addSchiff" /
    // "Ende: addSchiff". At 32767 entries the entry is refused and the
    // catalogue stays as it was: returns false (the end line is then not written).
    bool addSchiff(const std::string& name, std::int32_t erz, std::int32_t alu, std::int32_t leg, std::int32_t kri,
                   std::int32_t ene, std::int32_t speed, std::int32_t prod);

    // No entries and no pending one.
    void clear();

    // "Neues Schiff": an empty pending entry unless one is pending already;
    // returns its index (the count). nullopt when the catalogue is full, as the
    // entry could never be counted.
    std::optional<std::int16_t> makePending();

    // "Löschen": a pending entry is discarded; a counted one is removed, the
    // entries after it move down, and a pending entry goes with it.
    // An index that holds no entry changes nothing.
    void erase(std::int16_t index);

private:
    Debugging& log_;
    CatalogueState state_;
};

} // namespace krvx
