#include "exchange/TauschDat.h"

#include <optional>

namespace krvx {

namespace {

// One field of the first line. An unquoted number becomes its regional text;
// a quoted field is a text even when it looks like a number.
std::optional<std::string> readAmount(FieldReader& reader, const RegionalSettings& regional) {
    const std::optional<std::string> word = reader.readWord();
    if (!word || reader.lastFieldQuoted()) {
        return word;
    }
    if (const std::optional<double> number = fieldNumber(*word)) {
        return formatLocaleNumber(*number, regional);
    }
    return word;
}

} // namespace

std::string tauschDatContent(const Mengen& amounts, const FieldValue& kursvermerk, const RegionalSettings& regional) {
    const Quoting quoting{.read = [&regional](FieldReader& reader) { return readAmount(reader, regional); },
                          .emptyIsNoField = true};
    PrintWriter line1;
    for (const std::string& amount : amounts) {
        line1.text(amount, quoting);
    }
    line1.endLine();
    RecordWriter line2;
    line2.value(kursvermerk).endLine();
    return line1.str() + line2.str();
}

Mengen parseTauschDat(std::string content, const RegionalSettings& regional) {
    Mengen amounts;
    FieldReader reader(std::move(content));
    for (std::string& amount : amounts) {
        std::optional<std::string> field = readAmount(reader, regional);
        if (!field) {
            break; // the file ended early: the rest stay empty
        }
        amount = std::move(*field);
    }
    return amounts;
}

} // namespace krvx
