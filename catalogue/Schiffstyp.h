#pragma once

#include <cstdint>
#include <string>

namespace krvx {

// One ship type of the catalogue; the file keeps the fields in this order.
struct Schiffstyp {
    std::string name;
    std::int32_t erz = 0;
    std::int32_t alu = 0;
    std::int32_t leg = 0;
    std::int32_t kri = 0;
    std::int32_t ene = 0;
    std::int32_t speed = 0;
    std::int32_t prod = 0; // build time of one ship in minutes

    bool operator==(const Schiffstyp&) const = default;
};

} // namespace krvx
