#pragma once

#include <cstdint>
#include <string>

namespace krvx {

// One planet of the player: the name shown in the planet lists and its
// position. Any name, also empty; duplicates are allowed.
struct PlanetEintrag {
    std::string name;
    std::int16_t Galaxie = 0;
    std::int16_t System = 0;
    std::int16_t Planet = 0;

    bool operator==(const PlanetEintrag&) const = default;
};

} // namespace krvx
