#include "catalogue/ShipCatalogue.h"

#include <algorithm>

#include "common/debugging.h"

namespace krvx {

bool ShipCatalogue::addSchiff(const std::string& name, std::int32_t erz, std::int32_t alu,
                              std::int32_t leg, std::int32_t kri, std::int32_t ene,
                              std::int32_t speed, std::int32_t prod) {
    log_.writeDebug("Start: addSchiff");
    // A full catalogue refuses the entry before anything is touched, so the
    // last entry and a pending one stay as they were.
    if (Schiffstypen_length >= kMaxEntries) {
        return false;
    }
    const auto index = static_cast<std::size_t>(Schiffstypen_length);
    Schiffstypen.resize(index + 1);
    Schiffstypen[index] = Schiffstyp{name, erz, alu, leg, kri, ene, speed, prod};
    ++Schiffstypen_length;
    log_.writeDebug("Ende: addSchiff");
    return true;
}

const Schiffstyp* ShipCatalogue::find(std::string_view name) const {
    const auto count = std::min(Schiffstypen.size(), static_cast<std::size_t>(Schiffstypen_length));
    for (std::size_t i = 0; i < count; ++i) {
        if (Schiffstypen[i].name == name) {
            return &Schiffstypen[i];
        }
    }
    return nullptr;
}

} // namespace krvx
