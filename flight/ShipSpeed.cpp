#include "flight/ShipSpeed.h"

#include "catalogue/ShipCatalogue.h"

namespace krvx {

std::vector<std::string> offeredShips(const ShipCatalogue& catalogue) {
    const std::span<const Schiffstyp> ships = catalogue.Schiffstypen();
    std::vector<std::string> names;
    for (std::size_t i = 1; i < ships.size(); ++i) {
        names.push_back(ships[i].name);
    }
    return names;
}

std::optional<std::string> speedTextForShip(const ShipCatalogue& catalogue, std::string_view shipText) {
    std::optional<std::string> speed;
    const std::span<const Schiffstyp> ships = catalogue.Schiffstypen();
    if (!ships.empty()) {
        const Schiffstyp* ship = catalogue.find(shipText);
        speed = std::to_string((ship != nullptr ? *ship : ships.back()).speed);
    }
    return speed;
}

} // namespace krvx
