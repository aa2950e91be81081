// planeten.dat: every planet a file yields is written by the program's own
// save so that the next load gives the same list, whole and undamaged.

#include "Check.h"
#include "flight/PlanetenDat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace krvx;
    const std::string input = fuzz::text(data, size);
    const FileData<std::vector<PlanetEintrag>> load = parsePlaneten(input);
    const std::string written = planetenContent(load.data);
    const FileData<std::vector<PlanetEintrag>> back = parsePlaneten(written);
    FUZZ_CHECK(back.state == FileState::Read, written);
    FUZZ_CHECK(back.data == load.data, written);
    FUZZ_CHECK(planetenContent(back.data) == written, written);
    return 0;
}
