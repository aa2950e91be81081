// The file schiffe.dat: four record-style lines per ship (name; the five
// amounts; speed; build time), read by the field reader and written atomically.

#include "catalogue/SchiffeDat.h"

#include <array>

#include "common/fields.h"
#include "common/numbers.h"

namespace krvx {
namespace {

// One numeric field of a record, converted to the width it is stored in.
// An empty field is 0; text must be numeric; a value outside the range fails.
// The value is nullopt also when the file ended before the field; blank tells
// that the field held nothing at all (the end of the file or an empty field).
struct WholeField {
    std::optional<std::int32_t> value;
    bool blank = true;
};

WholeField readWhole(FieldReader& reader, bool sixteenBits) {
    const std::optional<FieldValue> field = reader.readValue();
    if (!field) {
        return {};
    }
    if (field->isEmpty()) {
        return {0, true};
    }
    double value = 0.0;
    if (field->isNumber()) {
        value = std::get<double>(field->value);
    } else {
        const auto parsed = fieldNumber(std::get<std::string>(field->value));
        if (!parsed) {
            return {std::nullopt, false};
        }
        value = *parsed;
    }
    if (sixteenBits) {
        const auto narrow = toInt16(value);
        if (!narrow) return {std::nullopt, false};
        return {static_cast<std::int32_t>(*narrow), false};
    }
    return {toInt32(value), false};
}

} // namespace

FileLoad loadSchiffe(ShipCatalogue& catalogue, const std::filesystem::path& file, SpeedWidth speedWidth) {
    FileData<std::string> read = readDataFile(file);
    if (read.state == FileState::Read) return parseSchiffe(catalogue, std::move(read.data), speedWidth);
    catalogue.clear();
    return read;
}

FileLoad parseSchiffe(ShipCatalogue& catalogue, std::string content, SpeedWidth speedWidth) {
    // The storage goes with the count: a pending entry or the rest of a longer
    // catalogue must not come back through the next save.
    catalogue.clear();

    FileLoad load;
    FieldReader reader(std::move(content));
    bool full = false;
    while (!reader.atEnd()) {
        // Every field is read before the record is judged, so a bad field never
        // shifts the records after it. A record cut short by the end of the file
        // is dropped (it would otherwise take the previous ship's numbers).
        const std::optional<std::string> name = reader.readText();
        const bool nameBlank = !name || (name->empty() && !reader.lastFieldQuoted());
        std::array<WholeField, 7> numbers;
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            const bool speedField = i == 5;
            numbers[i] = readWhole(reader, speedField && speedWidth == SpeedWidth::Bits16);
        }
        if (!name) {
            break;
        }
        bool complete = true;
        bool blank = nameBlank;
        for (const WholeField& n : numbers) {
            complete = complete && n.value.has_value();
            blank = blank && n.blank;
        }
        if (!complete) {
            // Only blank lines after the last record hold nothing at all.
            if (!blank) ++load.skippedRecords;
            continue;
        }
        // Once the catalogue is full every further record is refused; they are
        // only counted.
        if (full || !catalogue.addSchiff(*name, *numbers[0].value, *numbers[1].value, *numbers[2].value,
                                         *numbers[3].value, *numbers[4].value, *numbers[5].value, *numbers[6].value)) {
            full = true;
            ++load.skippedRecords;
        }
    }
    load.state = load.skippedRecords > 0 ? FileState::Damaged : FileState::Read;
    return load;
}

std::string schiffeContent(const ShipCatalogue& catalogue) {
    RecordWriter out;
    for (const Schiffstyp& s : catalogue.entriesWithPending()) {
        out.text(s.name).endLine();
        out.integer(s.erz).integer(s.alu).integer(s.leg).integer(s.kri).integer(s.ene).endLine();
        out.integer(s.speed).endLine();
        out.integer(s.prod).endLine();
    }
    return out.str();
}

} // namespace krvx
