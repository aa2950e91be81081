#include "rates/KurseDat.h"

#include <utility>

namespace krvx {

KurseDat parseKurse(std::string content) {
    KurseDat dat;
    FieldReader reader(std::move(content));
    readRateTable(reader, dat.holders, dat.kurse);
    reader.readValues(std::span(dat.holders).first(1));
    dat.kursvermerk = dat.holders[0];
    return dat;
}

} // namespace krvx
