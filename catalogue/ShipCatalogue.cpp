#include "catalogue/ShipCatalogue.h"

#include <algorithm>

#include "common/debugging.h"

namespace krvx {

std::size_t ShipCatalogue::counted() const {
    return std::min(Schiffstypen.size(), static_cast<std::size_t>(std::max<std::int16_t>(Schiffstypen_length, 0)));
}

std::span<const Schiffstyp> ShipCatalogue::entries() const {
    return std::span<const Schiffstyp>(Schiffstypen).first(counted());
}

const Schiffstyp* ShipCatalogue::pending() const {
    const std::size_t count = counted();
    return Schiffstypen.size() > count ? &Schiffstypen[count] : nullptr;
}

std::span<const Schiffstyp> ShipCatalogue::entriesWithPending() const {
    return std::span<const Schiffstyp>(Schiffstypen).first(counted() + (pending() != nullptr ? 1 : 0));
}

Schiffstyp* ShipCatalogue::entryAt(std::int16_t index) {
    if (index < 0 || index > Schiffstypen_length || static_cast<std::size_t>(index) >= Schiffstypen.size()) {
        return nullptr;
    }
    return &Schiffstypen[static_cast<std::size_t>(index)];
}

const Schiffstyp* ShipCatalogue::find(std::string_view name) const {
    for (const Schiffstyp& entry : entries()) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

bool ShipCatalogue::addSchiff(const std::string& name, std::int32_t erz, std::int32_t alu,
                              std::int32_t leg, std::int32_t kri, std::int32_t ene,
                              std::int32_t speed, std::int32_t prod) {
    LogRoutine logged(log_, "addSchiff");
    // A full catalogue refuses the entry before anything is touched, so the
    // last entry and a pending one stay as they were; the log shows the
    // routine broken off, without its end.
    if (Schiffstypen_length >= kMaxEntries) {
        logged.breakOff();
        return false;
    }
    const auto index = static_cast<std::size_t>(Schiffstypen_length);
    Schiffstypen.resize(index + 1);
    Schiffstypen[index] = Schiffstyp{name, erz, alu, leg, kri, ene, speed, prod};
    ++Schiffstypen_length;
    return true;
}

void ShipCatalogue::clear() {
    Schiffstypen_length = 0;
    Schiffstypen.clear();
}

std::optional<std::int16_t> ShipCatalogue::makePending() {
    if (Schiffstypen_length >= kMaxEntries) {
        return std::nullopt;
    }
    Schiffstypen.resize(static_cast<std::size_t>(Schiffstypen_length) + 1);
    return Schiffstypen_length;
}

void ShipCatalogue::erase(std::int16_t index) {
    if (entryAt(index) == nullptr) {
        return;
    }
    if (index < Schiffstypen_length) {
        Schiffstypen.erase(Schiffstypen.begin() + index);
        --Schiffstypen_length;
    }
    Schiffstypen.resize(static_cast<std::size_t>(Schiffstypen_length));
}

} // namespace krvx
