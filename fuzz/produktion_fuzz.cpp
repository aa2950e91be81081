// produktion.dat: every box text a file yields is written by the window's save
// so that the next load gives the same texts; a box the file did not cover is
// saved with the empty text and reads back empty.

#include "Check.h"
#include "production/ProduktionDat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace krvx;
    const std::string input = fuzz::text(data, size);
    const ProduktionGelesen gelesen = parseProduktion(input);
    ProduktionEingaben boxes;
    for (std::size_t i = 0; i < kZeilenAnzahl; ++i) {
        boxes.produktion[i] = gelesen.produktion[i].value_or("");
        boxes.ziel[i] = gelesen.ziel[i].value_or("");
    }
    boxes.dauer = gelesen.dauer.value_or("");
    const std::string written = produktionContent(boxes);
    const ProduktionGelesen back = parseProduktion(written);
    for (std::size_t i = 0; i < kZeilenAnzahl; ++i) {
        FUZZ_CHECK(back.produktion[i] == boxes.produktion[i], written);
        FUZZ_CHECK(back.ziel[i] == boxes.ziel[i], written);
    }
    FUZZ_CHECK(back.dauer == boxes.dauer, written);
    FUZZ_CHECK(produktionContent(boxes) == written, written);
    return 0;
}
