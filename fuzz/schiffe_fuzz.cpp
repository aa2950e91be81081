// schiffe.dat in both ways of reading (the start-up's 16-bit speed and the
// editor's 32-bit one): every ship a file yields is written by the program's
// own save so that the next load gives the same catalogue, with nothing left out.

#include <vector>

#include "Check.h"
#include "catalogue/SchiffeDat.h"
#include "common/debugging.h"

namespace {

using namespace krvx;

std::vector<Schiffstyp> ships(const ShipCatalogue& catalogue) {
    return {catalogue.Schiffstypen().begin(), catalogue.Schiffstypen().end()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Debugging log("/nonexistent/KRVXR.debug", RegionalSettings::german()); // never begun: silent
    const std::string input = fuzz::text(data, size);
    for (const SpeedWidth width : {SpeedWidth::Bits16, SpeedWidth::Bits32}) {
        ShipCatalogue catalogue(log);
        parseSchiffe(catalogue, input, width);
        const std::string written = schiffeContent(catalogue);
        ShipCatalogue again(log);
        const FileLoad back = parseSchiffe(again, written, width);
        FUZZ_CHECK(!back.damaged(), written);
        FUZZ_CHECK(ships(again) == ships(catalogue), written);
        FUZZ_CHECK(schiffeContent(again) == written, written);
    }
    return 0;
}
