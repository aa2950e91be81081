#include "catalogue/ShipCatalogue.h"

#include "common/debugging.h"

namespace krvx {

std::vector<Schiffstyp> ShipCatalogue::entriesWithPending() const {
    std::vector<Schiffstyp> all = state_.Schiffstypen;
    if (state_.pending) {
        all.push_back(*state_.pending);
    }
    return all;
}

Schiffstyp* ShipCatalogue::entryAt(std::int16_t index) {
    if (index >= 0 && index < Schiffstypen_length()) {
        return &state_.Schiffstypen[static_cast<std::size_t>(index)];
    }
    return index == Schiffstypen_length() && state_.pending ? &*state_.pending : nullptr;
}

const Schiffstyp* ShipCatalogue::find(std::string_view name) const {
    for (const Schiffstyp& entry : Schiffstypen()) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

bool ShipCatalogue::addSchiff(const std::string& name, std::int32_t erz, std::int32_t alu, std::int32_t leg,
                              std::int32_t kri, std::int32_t ene, std::int32_t speed, std::int32_t prod) {
    LogRoutine logged(log_, "addSchiff");
    // A full catalogue refuses the entry before anything is touched, so the
    // last entry and a pending one stay as they were; the log shows the
    // routine broken off, without its end.
    if (Schiffstypen_length() >= kMaxEntries) {
        logged.breakOff();
        return false;
    }
    state_.pending.reset();
    state_.Schiffstypen.push_back(Schiffstyp{name, erz, alu, leg, kri, ene, speed, prod});
    return true;
}

void ShipCatalogue::clear() {
    state_ = {};
}

std::optional<std::int16_t> ShipCatalogue::makePending() {
    if (Schiffstypen_length() >= kMaxEntries) {
        return std::nullopt;
    }
    if (!state_.pending) {
        state_.pending.emplace();
    }
    return Schiffstypen_length();
}

void ShipCatalogue::erase(std::int16_t index) {
    if (entryAt(index) == nullptr) {
        return;
    }
    if (index < Schiffstypen_length()) {
        state_.Schiffstypen.erase(state_.Schiffstypen.begin() + index);
    }
    state_.pending.reset();
}

} // namespace krvx
