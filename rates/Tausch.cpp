#include "rates/Tausch.h"

#include <cmath>
#include <utility>

#include "common/datafiles.h"
#include "common/textfile.h"

namespace krvx {

Tausch::Tausch(std::filesystem::path dataDir) : dataDir_(std::move(dataDir)) {}

Meldungen Tausch::KurseLaden() {
    if (kurseGeladen_) {
        return {};
    }
    return KurseLesen([this](std::string_view name) { return readDataFile(dataDir_ / name).ifRead(); });
}

Meldungen Tausch::KurseLesen(const FileSource& source) {
    RateHolders holders{};
    Meldungen meldungen;

    if (std::optional<std::string> content = source(kKurseDat)) {
        KurseDat dat = parseKurse(std::move(*content));
        kurse_ = dat.kurse;
        kursvermerk_ = std::move(dat.kursvermerk);
        holders = std::move(dat.holders);
        kurseGeladen_ = true;
    } else {
        kurseGeladen_ = false;
        report(kKurseDat, meldungen);
    }

    std::optional<std::string> content = source(kCreditkurseDat);
    if (!content) {
        kurseGeladen_ = false;
        report(kCreditkurseDat, meldungen);
        return meldungen;
    }
    FieldReader reader(std::move(*content));
    readRateTable(reader, holders, creditkurse_);
    reader.readValues(std::span(holders).first(2));
    kursvermerk_ = holders[0];
    spareNumber_ = rateOf(holders[1]);
    return meldungen;
}

void Tausch::report(std::string_view file, Meldungen& meldungen) {
    std::string failure = "Fehler beim Laden von " + std::string(file);
    if (reported_.insert(failure).second) meldungen.push_back({std::move(failure)});
}

Umrechnung Tausch::umrechnen(Kursart row, std::string_view resource, double amount, Rechenart art) const {
    std::optional<int> column = ressourcenIndex(resource);
    if (!column) {
        return {};
    }
    const double rate = Creditkurs(row, *column);
    if (art == Rechenart::Durch && rate == 0.0) {
        // 0 / 0 has no value at all and counts as an overflow, like a
        // quotient too large for a double.
        return {0.0, amount == 0.0 ? Rechenfehler::Ueberlauf : Rechenfehler::DivisionDurchNull};
    }
    const double result = art == Rechenart::Mal ? amount * rate : amount / rate;
    if (!std::isfinite(result)) {
        return {0.0, Rechenfehler::Ueberlauf};
    }
    return {result, Rechenfehler::Keiner};
}

Umrechnung Tausch::KaufUmrechnen(std::string_view resource, double amount, Rechenart art, bool useRH) const {
    return umrechnen(useRH ? Kursart::RH : Kursart::Kauf, resource, amount, art);
}

Umrechnung Tausch::VerkaufUmrechnen(std::string_view resource, double amount, Rechenart art, bool useRH) const {
    return umrechnen(useRH ? Kursart::RH : Kursart::Verkauf, resource, amount, art);
}

} // namespace krvx
