#pragma once
// What the catalogue editor does apart from its window: reading an entry from
// its boxes, keeping the catalogue as the file holds it while an edit is
// saved.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "catalogue/ShipCatalogue.h"
#include "common/textfile.h"

namespace krvx {

// The seven value boxes in the order erz, alu, leg, kri, ene, speed, prod.
inline constexpr std::size_t kEntryBoxes = 7;
using EntryBoxTexts = std::array<std::string, kEntryBoxes>;

// The numbers of an entry as the boxes show them: plain decimal.
EntryBoxTexts entryBoxTexts(const Schiffstyp& ship);

// Reads the name and the boxes as "Änderung speichern" takes them over: each
// box by the leading-number rule, rounded half to even to a 32-bit integer.
// A name the file cannot hold, or a number outside the 32-bit range, refuses
// the whole entry with a German message for the user.
std::variant<Schiffstyp, std::string> readEntry(std::string_view name, const EntryBoxTexts& boxes);

// The message for a name that schiffe.dat cannot hold, or nullopt.
std::optional<std::string> nameProblem(std::string_view name);

// The preset of the name question: one blank, then the index.
std::string newShipPreset(std::int16_t index);

inline constexpr std::string_view kCatalogueFullText = "Der Schiffskatalog ist voll: er fasst höchstens 32767 Schiffe.";

} // namespace krvx
