#pragma once
// The production time calculator's two computations over box texts:
// the time until a target amount is produced, and the amounts produced in a
// number of hours. Rows are always in the order Erz, Alu, Leg, Kri, Ene.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "common/regional.h"
#include "common/resources.h"

namespace krvx {

inline constexpr std::size_t kZeilenAnzahl = kRessourcen; // one row per resource

// Time until the target for one resource: target / production x 60 minutes
// (both read with their first comma as the decimal point, as the hours are),
// written as hours "0#", ':', minutes "0#". Minutes are rounded (a half to the
// even neighbour) and a rounding up to 60 carries into the hours; hours are
// not wrapped at 24 and a negative target gives a negative hour with the
// minutes counted up from it (-30 minutes give "-01:30").
// nullopt when the production does not read as a number above 0, or when the
// time is too large for a double: the time box then keeps its text.
std::optional<std::string> produktionszeitBerechnen(std::string_view produktion, std::string_view ziel);

// All five rows: each time that results replaces its entry in zeiten; the
// other entries stay as they are.
void produktionszeitBerechnen(const FuenfTexte& produktion, const FuenfTexte& ziel, FuenfTexte& zeiten);

// The hours text with its first comma turned into a point ("2,5" -> "2.5");
// every other character stays in place.
std::string dauerNormalisieren(std::string_view dauer);

// Amount produced in the (already normalised) hours text for one resource,
// by the locale number-to-text rule. nullopt when the product is beyond the
// double range: the target box then keeps its text.
std::optional<std::string> mengenBerechnen(std::string_view dauer, std::string_view produktion,
                                           const RegionalSettings& regional);

// All five rows: dauer is normalised in place, then each amount replaces its
// entry in ziel.
void mengenBerechnen(std::string& dauer, const FuenfTexte& produktion, FuenfTexte& ziel,
                     const RegionalSettings& regional);

} // namespace krvx
