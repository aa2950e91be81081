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

Tausch::Tausch(std::filesystem::path dataDir, MessageService& messages)
    : dataDir_(std::move(dataDir)), messages_(messages) {}

void Tausch::KurseLaden() {
    if (kurseGeladen_) {
        return;
    }
    KurseLesen([this](std::string_view name) { return readDataFile(dataDir_ / name).ifRead(); });
}

void Tausch::KurseLesen(const FileSource& source) {
    Holders holders{};

    if (std::optional<std::string> content = source(kKurseDat)) {
        FieldReader reader(std::move(*content));
        readTable(reader, holders, kurse_);
        reader.readValues(std::span(holders).first(1));
        kursvermerk_ = holders[0];
        kurseGeladen_ = true;
    } else {
        kurseGeladen_ = false;
        report("Fehler beim Laden von " + std::string(kKurseDat));
    }

    std::optional<std::string> content = source(kCreditkurseDat);
    if (!content) {
        kurseGeladen_ = false;
        report("Fehler beim Laden von " + std::string(kCreditkurseDat));
        return;
    }
    FieldReader reader(std::move(*content));
    readTable(reader, holders, creditkurse_);
    reader.readValues(std::span(holders).first(2));
    kursvermerk_ = holders[0];
    spareNumber_ = asNumber(holders[1]);
}

void Tausch::report(const std::string& failure) {
    if (reported_.insert(failure).second) messages_.message(failure);
}

Umrechnung Tausch::umrechnen(Kursart row, std::string_view resource, double amount, std::string_view op) {
    std::optional<int> column = ressourcenIndex(resource);
    if (!column) {
        return {};
    }
    const double rate = Creditkurs(row, *column);
    double result = 0.0;
    if (op == "*") {
        result = amount * rate;
    } else if (op == "/") {
        if (rate == 0.0) {
            // 0 / 0 has no value at all and counts as an overflow, like a
            // quotient too large for a double.
            return {0.0, amount == 0.0 ? Rechenfehler::Ueberlauf : Rechenfehler::DivisionDurchNull};
        }
        result = amount / rate;
    } else {
        return {};
    }
    if (!std::isfinite(result)) {
        return {0.0, Rechenfehler::Ueberlauf};
    }
    return {result, Rechenfehler::Keiner};
}

Umrechnung Tausch::KaufUmrechnen(std::string_view resource, double amount, std::string_view op, bool useRH) {
    KurseLaden();
    return umrechnen(useRH ? Kursart::RH : Kursart::Kauf, resource, amount, op);
}

Umrechnung Tausch::VerkaufUmrechnen(std::string_view resource, double amount, std::string_view op, bool useRH) {
    KurseLaden();
    return umrechnen(useRH ? Kursart::RH : Kursart::Verkauf, resource, amount, op);
}

} // namespace krvx
