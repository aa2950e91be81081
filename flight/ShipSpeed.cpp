#include "flight/ShipSpeed.h"

#include <algorithm>

#include "common/debugging.h"
#include "catalogue/ShipCatalogue.h"

namespace krvx {

std::vector<std::string> offeredShips(const ShipCatalogue& catalogue) {
    std::vector<std::string> names;
    const std::size_t count = static_cast<std::size_t>(std::max<int>(catalogue.Schiffstypen_length, 0));
    for (std::size_t i = 1; i < count && i < catalogue.Schiffstypen.size(); ++i) {
        names.push_back(catalogue.Schiffstypen[i].name);
    }
    return names;
}

std::optional<std::string> speedTextForShip(const ShipCatalogue& catalogue, std::string_view shipText,
                                            Debugging& log) {
    log.writeDebug("Start: CmdSchiff_LostFocus()");
    std::optional<std::string> speed;
    const std::size_t count = std::min(static_cast<std::size_t>(std::max<int>(catalogue.Schiffstypen_length, 0)),
                                       catalogue.Schiffstypen.size());
    if (count > 0) {
        std::size_t i = 0;
        while (i + 1 < count && catalogue.Schiffstypen[i].name != shipText) {
            ++i;
        }
        speed = std::to_string(catalogue.Schiffstypen[i].speed);
    }
    log.writeDebug("Ende: CmdSchiff_LostFocus()");
    return speed;
}

} // namespace krvx
