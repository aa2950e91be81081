#include "rates/KurseDat.h"

#include <utility>
#include <variant>

namespace krvx {

double rateOf(const FieldValue& holder) {
    if (const double* number = std::get_if<double>(&holder.value)) return *number;
    return 0.0;
}

KurseDat parseKurse(std::string content) {
    KurseDat dat;
    FieldReader reader(std::move(content));
    readRateTable(reader, dat.holders, dat.kurse);
    reader.readValues(std::span(dat.holders).first(1));
    dat.kursvermerk = dat.holders[0];
    return dat;
}

} // namespace krvx
