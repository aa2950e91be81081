// tausch.dat: the five amount texts a file yields are written by the window's
// save so that the next load gives the same texts, on German and on
// '.'-decimal regional settings (chosen by the first byte); the rate files'
// trailing value on the second line reads back as the same value.

#include "Check.h"
#include "common/numbers.h"
#include "exchange/TauschDat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace krvx;
    const std::string input = fuzz::text(data, size);
    const RegionalSettings regional =
        !input.empty() && (input[0] & 1) ? RegionalSettings::english() : RegionalSettings::german();
    const Mengen amounts = parseTauschDat(input, regional);

    // Any value the rate files may end with: here the first general field.
    FieldReader values(input);
    FieldValue kursvermerk = values.readValue().value_or(FieldValue{});
    if (kursvermerk.isNumber()) // as the record writer stores it
        kursvermerk = FieldValue{fieldNumber(RecordWriter().number(std::get<double>(kursvermerk.value)).str()).value()};

    const std::string written = tauschDatContent(amounts, kursvermerk, regional);
    FUZZ_CHECK(parseTauschDat(written, regional) == amounts, written);

    FieldReader back(written);
    for (int i = 0; i < 5; ++i) FUZZ_CHECK(back.readWord().has_value(), written);
    FUZZ_CHECK(back.readValue() == std::optional<FieldValue>(kursvermerk), written);
    FUZZ_CHECK(back.atEnd(), written);
    return 0;
}
