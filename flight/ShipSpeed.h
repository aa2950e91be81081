#pragma once
// The flight time window's ship list: which catalogue entries it offers, and
// the speed that the chosen ship puts into the speed box.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace krvx {

class ShipCatalogue;

// Names of catalogue entries 1 to Schiffstypen_length() - 1 in catalogue order;
// the first entry is not offered.
std::vector<std::string> offeredShips(const ShipCatalogue& catalogue);

// The speed of the first entry whose name equals the text exactly; a text
// that matches no ship yields the last entry's speed. Decimal text without
// blanks; nullopt for an empty catalogue.
std::optional<std::string> speedTextForShip(const ShipCatalogue& catalogue, std::string_view shipText);

} // namespace krvx
