#pragma once
// Checking what the user typed into the planet dialog before the planet joins
// the list.

#include <string>
#include <string_view>
#include <variant>

#include "flight/PlanetEintrag.h"

namespace krvx {

inline constexpr std::string_view kBitteGanzeZahlen = "Bitte ganze Zahlen eingeben";
inline constexpr std::string_view kListeVoll =
    "Die Planetenliste ist voll: mehr als 32767 Planeten können nicht aufgenommen werden.";

// The new entry, or the German message that refuses it. Each coordinate must
// be a number as a whole (blanks around it allowed; "3x" and an empty box are
// not) and must not be 0; a fraction goes to the nearest whole number, a half
// to the even neighbour; the value must fit 16 bits. Then the name must be one
// that planeten.dat can carry.
std::variant<PlanetEintrag, std::string> checkNewPlanet(std::string_view name, std::string_view galaxie,
                                                        std::string_view system, std::string_view planet);

} // namespace krvx
