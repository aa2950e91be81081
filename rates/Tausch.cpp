#include "rates/Tausch.h"

#include <cmath>
#include <span>
#include <utility>
#include <variant>

#include "common/datafiles.h"
#include "common/textfile.h"

namespace krvx {

namespace {

// Five values of any kind, shared by both files of one loading: field k of a
// record goes into holder k (FieldReader::readValues).
using Holders = std::array<FieldValue, kRessourcen>;

// A holder stored into a double: a number as it is; nothing, and a text as
// well, count as 0, so a rate the file does not give is a rate of 0.
double asNumber(const FieldValue& holder) {
    if (const double* number = std::get_if<double>(&holder.value)) {
        return *number;
    }
    return 0.0;
}

// One record per row of the table, through the holders.
template <typename Table>
void readTable(FieldReader& reader, Holders& holders, Table& table) {
    for (auto& row : table) {
        reader.readValues(std::span(holders).first(row.size()));
        for (std::size_t k = 0; k < row.size(); ++k) row[k] = asNumber(holders[k]);
    }
}

} // namespace

Tausch::Tausch(std::filesystem::path dataDir)
    : dataDir_(std::move(dataDir)) {}

Meldungen Tausch::KurseLaden() {
    if (kurseGeladen_) {
        return {};
    }
    return KurseLesen([this](std::string_view name) { return readDataFile(dataDir_ / name).ifRead(); });
}

Meldungen Tausch::KurseLesen(const FileSource& source) {
    Holders holders{};
    Meldungen meldungen;

    if (std::optional<std::string> content = source(kKurseDat)) {
        FieldReader reader(std::move(*content));
        readTable(reader, holders, kurse_);
        reader.readValues(std::span(holders).first(1));
        kursvermerk_ = holders[0];
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
    readTable(reader, holders, creditkurse_);
    reader.readValues(std::span(holders).first(2));
    kursvermerk_ = holders[0];
    spareNumber_ = asNumber(holders[1]);
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
