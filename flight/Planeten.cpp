#include "flight/Planeten.h"

#include <utility>

namespace krvx {

bool Planeten::add(PlanetEintrag entry) {
    if (isFull()) {
        return false;
    }
    entries_.push_back(std::move(entry));
    return true;
}

} // namespace krvx
