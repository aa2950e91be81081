#pragma once
// kurse.dat: the resource exchange rates, one record of four rates per
// resource (Erz .. Ene), then one value kept as read. The program never writes it.
//
// Both rate files are read through five holders, one per field of a record,
// that carry their contents from one record to the next and from kurse.dat
// on into creditkurse.dat: a field the file does not give keeps the value
// the holder had.

#include <array>
#include <span>
#include <string>
#include <utility>

#include "common/fields.h"
#include "common/resources.h"

namespace krvx {

using RateHolders = std::array<FieldValue, kRessourcen>;
using KursTabelle = std::array<std::array<double, 4>, kRessourcen>;

// A holder stored into a rate: a number as it is; nothing, and a text as
// well, count as 0, so a rate the file does not give is a rate of 0.
inline double rateOf(const FieldValue& holder) {
    return holder.isNumber() ? std::get<double>(holder.value) : 0.0;
}

// One record per row of the table, through the holders.
template <typename Table>
void readRateTable(FieldReader& reader, RateHolders& holders, Table& table) {
    for (auto& row : table) {
        reader.readValues(std::span(holders).first(row.size()));
        for (std::size_t k = 0; k < row.size(); ++k) row[k] = rateOf(holders[k]);
    }
}

struct KurseDat {
    KursTabelle kurse{};
    FieldValue kursvermerk; // the value after the table
    RateHolders holders{}; // as the file left them, for creditkurse.dat
};

// Reads decoded file content, starting from empty holders.
inline KurseDat parseKurse(std::string content) {
    KurseDat dat;
    FieldReader reader(std::move(content));
    readRateTable(reader, dat.holders, dat.kurse);
    reader.readValues(std::span(dat.holders).first(1));
    dat.kursvermerk = dat.holders[0];
    return dat;
}

} // namespace krvx
