// planeten.dat: every planet a file yields is written by the program's own
// save so that the next load gives the same list, whole and undamaged.

#include "Check.h"
#include "flight/PlanetenDat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace krvx;
    const std::string input = fuzz::text(data, size);
    const PlanetFileLoad load = parsePlanetenDat(input);
    const std::string written = planetenDatContent(load.entries);
    const PlanetFileLoad back = parsePlanetenDat(written);
    FUZZ_CHECK(back.state == PlanetFileState::Read, written);
    FUZZ_CHECK(back.entries == load.entries, written);
    FUZZ_CHECK(planetenDatContent(back.entries) == written, written);
    return 0;
}
