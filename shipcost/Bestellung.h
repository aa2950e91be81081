#pragma once

#include <cstdint>
#include <string>

namespace krvx {

// One entry of the order list.
struct Bestellung {
    std::string schiff; // the ship field's text as it stood when added, untrimmed
    std::int32_t anzahl = 0; // number of ships
    float zuschlag = 0.0F; // individual surcharge in percent (10 = +10 %)

    bool operator==(const Bestellung&) const = default;
};

} // namespace krvx
