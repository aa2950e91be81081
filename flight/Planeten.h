#pragma once
// The planet list of the flight time window: entries in the order they were
// added, indexed from 0, with a 16-bit count. Entries are never changed or
// removed by the program.

#include <cstdint>
#include <vector>

#include "flight/PlanetEintrag.h"

namespace krvx {

class Planeten {
public:
    static constexpr std::int16_t kMaxEntries = 32767;

    // Appends the entry; false (and the list unchanged) when it is full.
    bool add(PlanetEintrag entry);

    bool isFull() const { return count() >= kMaxEntries; }
    std::int16_t count() const { return static_cast<std::int16_t>(entries_.size()); }
    const PlanetEintrag& operator[](std::size_t index) const { return entries_[index]; }
    const std::vector<PlanetEintrag>& entries() const { return entries_; }

private:
    std::vector<PlanetEintrag> entries_;
};

} // namespace krvx
