// kurse.dat and creditkurse.dat as the exchange reads them, and creditkurse.dat
// as the rate editor reads it. The input holds both files, split at the first
// form feed (without one, both files hold the whole input); its first byte
// chooses German or '.'-decimal regional settings for the editor.
// Properties: every rate read is a finite number; the tables written back
// with the record writer read back as the same tables; what the editor saves
// holds only numbers and empty fields, reads back as the same box texts, and
// gives the exchange the rates those texts show.

#include <cmath>

#include "Check.h"
#include "common/numbers.h"
#include "rates/CreditRatesFile.h"
#include "rates/Tausch.h"

namespace {

using namespace krvx;

struct Files {
    std::string kurse;
    std::string credit;
};

Tausch loaded(const Files& files) {
    Tausch tausch("/nonexistent");
    tausch.KurseLesen([&](std::string_view name) -> std::optional<std::string> {
        return name == "kurse.dat" ? files.kurse : files.credit;
    });
    return tausch;
}

// The tables as the record writer stores them, in the layout of both files.
Files written(const Tausch& t) {
    Files files;
    RecordWriter kurse;
    for (const auto& row : t.Kurse()) {
        for (double v : row) kurse.number(v);
        kurse.endLine();
    }
    kurse.value(t.Kursvermerk()).endLine();
    RecordWriter credit;
    for (const auto& row : t.Creditkurse()) {
        for (double v : row) credit.number(v);
        credit.endLine();
    }
    credit.value(t.Kursvermerk()).number(t.spareNumber()).endLine();
    return {kurse.str(), credit.str()};
}

void allFinite(const Tausch& t, const std::string& input) {
    for (const auto& row : t.Kurse())
        for (double v : row) FUZZ_CHECK(std::isfinite(v), input);
    for (const auto& row : t.Creditkurse())
        for (double v : row) FUZZ_CHECK(std::isfinite(v), input);
    FUZZ_CHECK(std::isfinite(t.spareNumber()), input);
    if (t.Kursvermerk().isNumber()) FUZZ_CHECK(std::isfinite(std::get<double>(t.Kursvermerk().value)), input);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input = fuzz::text(data, size);
    const std::size_t split = input.find('\f');
    const Files files =
        split == std::string::npos ? Files{input, input} : Files{input.substr(0, split), input.substr(split + 1)};

    // The exchange's reading.
    const Tausch first = loaded(files);
    allFinite(first, input);
    const Files once = written(first);
    const Tausch second = loaded(once);
    FUZZ_CHECK(written(second).kurse == once.kurse, once.kurse);
    FUZZ_CHECK(written(second).credit == once.credit, once.credit);
    FUZZ_CHECK(second.Kursvermerk().isNumber() == first.Kursvermerk().isNumber(), once.credit);

    // The rate editor's reading and saving.
    const RegionalSettings regional =
        !input.empty() && (input[0] & 1) ? RegionalSettings::english() : RegionalSettings::german();
    const CreditRateTexts boxes = parseCreditkurse(files.credit, regional);
    const std::string saved = creditkurseContent(boxes, regional);
    FieldReader fields(saved);
    while (const std::optional<FieldValue> v = fields.readValue()) FUZZ_CHECK(!v->isText(), saved);
    const CreditRateTexts reopened = parseCreditkurse(saved, regional);
    FUZZ_CHECK(creditkurseContent(reopened, regional) == saved, saved);
    const Tausch fromEditor = loaded(Files{files.kurse, saved});
    for (std::size_t row = 0; row < 3; ++row) {
        for (std::size_t k = 0; k < 5; ++k) {
            const std::string& box = reopened[row][k];
            const double rate = fromEditor.Creditkurse()[row][k];
            FUZZ_CHECK(box.empty() ? rate == 0.0 : formatLocaleNumber(rate, regional) == box, box + " in " + saved);
        }
    }
    return 0;
}
