#include "flight/NewPlanet.h"

#include <optional>

#include "common/fields.h"
#include "common/numbers.h"
#include "flight/PlanetenDat.h"

namespace krvx {

std::variant<PlanetEintrag, std::string> checkNewPlanet(std::string_view name, std::string_view galaxie,
                                                        std::string_view system, std::string_view planet) {
    std::optional<double> values[3];
    const std::string_view texts[3] = {galaxie, system, planet};
    for (int i = 0; i < 3; ++i) {
        values[i] = fieldNumber(texts[i]);
        if (!values[i] || *values[i] == 0.0) {
            return std::string(kBitteGanzeZahlen);
        }
    }
    std::int16_t whole[3] = {};
    for (int i = 0; i < 3; ++i) {
        const std::optional<std::int16_t> value = toInt16(*values[i]);
        if (!value) {
            return std::string("Die Koordinaten müssen zwischen -32768 und 32767 liegen.");
        }
        whole[i] = *value;
    }
    if (std::optional<std::string> refusal = planetNameRefusal(name)) {
        return std::move(*refusal);
    }
    return PlanetEintrag{std::string(name), whole[0], whole[1], whole[2]};
}

} // namespace krvx
