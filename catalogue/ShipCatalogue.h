#pragma once
// The program-wide ship catalogue: the entries of schiffe.dat in file order.
// Storage may hold one entry more than the count: the catalogue editor's
// pending new entry at index Schiffstypen_length. The two fields keep their
// given names and stay open to the editor's snapshot and to tests; everything
// that reads or changes the catalogue goes through the members below, which
// keep storage and count in step and never read past either.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/Schiffstyp.h"

namespace krvx {

class Debugging;

class ShipCatalogue {
public:
    static constexpr std::int16_t kMaxEntries = 32767;

    explicit ShipCatalogue(Debugging& log)
        : log_(log) {}

    std::vector<Schiffstyp> Schiffstypen;
    std::int16_t Schiffstypen_length = 0;

    // The counted entries, 0 .. Schiffstypen_length - 1; never the pending one.
    std::span<const Schiffstyp> entries() const;

    // The pending entry while the storage holds one, or nullptr.
    const Schiffstyp* pending() const;

    // The entries a save writes: the counted ones, then the pending one.
    std::span<const Schiffstyp> entriesWithPending() const;

    // The entry at the index, counted or pending; nullptr for any other index.
    Schiffstyp* entryAt(std::int16_t index);

    // The first counted entry whose name equals the text exactly, or nullptr.
    const Schiffstyp* find(std::string_view name) const;

    // Appends an entry at index Schiffstypen_length (storage shrinks or grows
    // to exactly count + 1 first), logging "Start: addSchiff" / "Ende: addSchiff".
    // At 32767 entries the entry is refused and the catalogue stays as it was:
    // returns false (the end line is then not written).
    bool addSchiff(const std::string& name, std::int32_t erz, std::int32_t alu, std::int32_t leg,
                   std::int32_t kri, std::int32_t ene, std::int32_t speed, std::int32_t prod);

    // No entries and no pending one.
    void clear();

    // "Neues Schiff": the storage becomes exactly count + 1 entries long, keeping
    // an earlier pending entry; returns its index (the count). nullopt when the
    // catalogue is full, as the entry could never be counted.
    std::optional<std::int16_t> makePending();

    // "Löschen": a pending entry is discarded; a counted one is removed, the
    // entries after it move down, and the storage shrinks to the new count.
    // An index that holds no entry changes nothing.
    void erase(std::int16_t index);

private:
    std::size_t counted() const;

    Debugging& log_;
};

} // namespace krvx
