// The file schiffe.dat: four record-style lines per ship (name; the five
// amounts; speed; build time), read by the field reader and written atomically.

#include <algorithm>
#include <array>

#include "catalogue/ShipCatalogue.h"
#include "common/fields.h"
#include "common/numbers.h"

namespace krvx {
namespace {

// One numeric field of a record, converted to the width it is stored in.
// An empty field is 0; text must be numeric; a value outside the range fails.
// nullopt also when the file ended before the field.
std::optional<std::int32_t> readWhole(FieldReader& reader, bool sixteenBits) {
    const std::optional<FieldValue> field = reader.readValue();
    if (!field) {
        return std::nullopt;
    }
    double value = 0.0;
    if (field->isNumber()) {
        value = std::get<double>(field->value);
    } else if (field->isText()) {
        const auto parsed = fieldNumber(std::get<std::string>(field->value));
        if (!parsed) {
            return std::nullopt;
        }
        value = *parsed;
    }
    if (sixteenBits) {
        const auto narrow = toInt16(value);
        if (!narrow) return std::nullopt;
        return static_cast<std::int32_t>(*narrow);
    }
    return toInt32(value);
}

} // namespace

void loadSchiffe(ShipCatalogue& catalogue, const std::filesystem::path& file, SpeedWidth speedWidth) {
    catalogue.Schiffstypen_length = 0;
    // The storage goes with the count: a pending entry or the rest of a longer
    // catalogue must not come back through the next save.
    catalogue.Schiffstypen.clear();

    const std::optional<std::string> content = readDataFile(file);
    if (!content) {
        return;
    }
    FieldReader reader(*content);
    while (!reader.atEnd()) {
        // Every field is read before the record is judged, so a bad field never
        // shifts the records after it. A record cut short by the end of the file
        // is dropped (it would otherwise take the previous ship's numbers).
        const std::optional<std::string> name = reader.readText();
        std::array<std::optional<std::int32_t>, 7> numbers;
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            const bool speedField = i == 5;
            numbers[i] = readWhole(reader, speedField && speedWidth == SpeedWidth::Bits16);
        }
        if (!name) {
            break;
        }
        bool complete = true;
        for (const auto& n : numbers) complete = complete && n.has_value();
        if (!complete) {
            continue;
        }
        if (!catalogue.addSchiff(*name, *numbers[0], *numbers[1], *numbers[2], *numbers[3],
                                 *numbers[4], *numbers[5], *numbers[6])) {
            break;  // the catalogue is full: every further record would be refused too
        }
    }
}

std::string schiffeDatContent(const ShipCatalogue& catalogue) {
    const auto counted = static_cast<std::size_t>(std::max<std::int16_t>(catalogue.Schiffstypen_length, 0));
    // Indexes 0 .. count: the last one only while the storage holds a pending entry.
    const std::size_t last = std::min(catalogue.Schiffstypen.size(), counted + 1);
    RecordWriter out;
    for (std::size_t i = 0; i < last; ++i) {
        const Schiffstyp& s = catalogue.Schiffstypen[i];
        out.text(s.name).endLine();  // a double quote in it becomes an apostrophe
        out.integer(s.erz).integer(s.alu).integer(s.leg).integer(s.kri).integer(s.ene).endLine();
        out.integer(s.speed).endLine();
        out.integer(s.prod).endLine();
    }
    return out.str();
}

std::optional<FileError> saveSchiffe(const ShipCatalogue& catalogue, const std::filesystem::path& file) {
    return saveDataFile(file, schiffeDatContent(catalogue));
}

} // namespace krvx
